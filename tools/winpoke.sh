# Source this file after tools/wine-session.sh's wine_session_start: steering
# and photographing the panel from outside, for tools/demo.sh and
# tools/screenshots.sh.
#   winpoke ARGS...             runs tools/winpoke.cpp (built on first use)
#   window_shot FILE CAPTION    the window whose caption holds CAPTION, cropped,
#                               once two captures in a row are equal
#   use_caption_font            gives the prefix the caption-button font

_rp_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
_rp_poke="$_rp_root/build/win32/bin/winpoke.exe"

winpoke() {
    if [ ! "$_rp_poke" -nt "$_rp_root/tools/winpoke.cpp" ]; then
        i686-w64-mingw32-g++ -O2 -municode -static -Wall -o "$_rp_poke" "$_rp_root/tools/winpoke.cpp" -luser32
    fi
    wine "$_rp_poke" "$@"
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
