# Source this file: steering and photographing the panel from outside, for
# tools/demo.sh and tools/screenshots.sh.
#   script_session_start       a Wine session for the script (wine_session_start,
#                               stopped on exit, caption font, an srmctl function)
#   winpoke ARGS...             runs winpoke.exe (tools/winpoke.cpp, built by tools/build.sh)
#   window_shot FILE CAPTION    the window whose caption holds CAPTION, cropped,
#                               once two captures in a row are equal
#   use_caption_font            gives the prefix the caption-button font

_rp_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
_rp_poke="$_rp_root/build/win32/bin/winpoke.exe"

winpoke() { wine "$_rp_poke" "$@"; }

script_session_start() {
    source "$_rp_root/tools/wine-session.sh"
    wine_session_start
    trap wine_session_stop EXIT
    use_caption_font
    srmctl() { wine "$_rp_root/build/win32/bin/srmctl.exe" "$@" >/dev/null; }
}

window_shot() {
    local file=$1 geometry previous="$RP_WINE_BASE/previous.ppm" current="$RP_WINE_BASE/current.ppm"
    geometry=$(winpoke wait "$2" | tr -d '\r') || return 1
    rm -f "$previous"
    for _ in $(seq 1 100); do
        import -window root -crop "$geometry" +repage "$current"
        if [ -f "$previous" ] && cmp -s "$previous" "$current"; then
            convert "$current" -strip "$file"
            return 0
        fi
        mv "$current" "$previous"
        sleep 0.1
    done
    echo "$file: the window did not settle" >&2
    return 1
}

# Wine draws the caption buttons with the Marlett font; Debian's fonts-wine
# ships it where this Wine does not look, so the prefix gets a copy.
use_caption_font() {
    local font=/usr/share/wine/fonts/marlett.ttf
    if [ -f "$font" ]; then cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"; fi
}
