# Source this file: sets up a fresh Wine prefix in the Japanese locale, an Xvfb
# display and a persistent wineserver for one run, and stops them again.
#   wine_session_start [DIR]   # DIR: where the prefix goes (default: a temp dir)
#   wine_session_stop
# Afterwards WINEPREFIX, DISPLAY, LANG, WINEDEBUG and WINEDLLOVERRIDES are exported.

wine_session_start() {
    local base="${1:-}"
    if [ -z "$base" ]; then base=$(mktemp -d /tmp/rp-wine.XXXXXX); fi
    mkdir -p "$base"
    export RP_WINE_BASE="$base"
    export WINEPREFIX="$base/prefix"
    export WINEARCH=win32
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

    # A display of our own (Xvfb picks a free number and reports it), unless
    # RP_USE_DISPLAY=1 asks for the caller's $DISPLAY.
    if [ "${RP_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
        _rp_wine_prefix_init "$base"
        return
    fi
    local fdfile="$base/display"
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >"$base/xvfb.log" 2>&1 &
    RP_XVFB_PID=$!
    local i
    for i in $(seq 1 200); do
        [ -s "$fdfile" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
    _rp_wine_prefix_init "$base"
}

_rp_wine_prefix_init() {
    local base="$1"

    wineboot -i >"$base/wineboot.log" 2>&1 || true
    wineserver -p || true
    # Dialog fonts: the Japanese UI fonts are rendered with the IPA fonts.
    local subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    wine reg add "$subst" /v "ＭＳ Ｐゴシック" /t REG_SZ /d "IPAPGothic" /f >/dev/null 2>&1 || true
    wine reg add "$subst" /v "ＭＳ ゴシック" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1 || true
    wine reg add "$subst" /v "ＭＳ Ｐ明朝" /t REG_SZ /d "IPAPMincho" /f >/dev/null 2>&1 || true
    wine reg add "$subst" /v "ＭＳ 明朝" /t REG_SZ /d "IPAMincho" /f >/dev/null 2>&1 || true
    # Xvfb has no window manager: unmanaged windows spare Wine its 2-second
    # wait whenever a captioned window is hidden.
    if [ -n "${RP_XVFB_PID:-}" ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    fi
}

wine_session_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    if [ -n "${RP_XVFB_PID:-}" ]; then kill "$RP_XVFB_PID" 2>/dev/null || true; wait "$RP_XVFB_PID" 2>/dev/null || true; fi
    if [ -n "${RP_WINE_BASE:-}" ] && [ -z "${RP_KEEP_WINE:-}" ]; then rm -rf "$RP_WINE_BASE"; fi
    unset RP_XVFB_PID
}
