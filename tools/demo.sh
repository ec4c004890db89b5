#!/usr/bin/env bash
# Runs the remote panel against a simulated printer "TK-1" in a fresh Wine
# prefix. With a usable $DISPLAY the panel opens there and the script waits
# until you close it; without one it runs on a private Xvfb display, saves a
# screenshot to build/demo.png, closes the panel and reports its exit code.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null; then tools/install-deps.sh; fi
tools/build.sh >/dev/null
bin="$root/build/win32/bin"

interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then interactive=1; fi
export RP_USE_DISPLAY=$interactive
source tools/wine-session.sh
wine_session_start
trap wine_session_stop EXIT

wine "$bin/srmctl.exe" add TK-1 --port LPT1: >/dev/null
echo "simulated printer TK-1:"
wine "$bin/srmctl.exe" list

if [ "$interactive" = 1 ]; then
    echo "Starting the panel on $DISPLAY; steer the printer from another shell with"
    echo "  WINEPREFIX=$WINEPREFIX wine $bin/srmctl.exe ..."
    set +e; wine "$bin/RemotePanel.exe"; code=$?; set -e
    echo "RemotePanel.exe ended with exit code $code"
    exit 0
fi

wine "$bin/RemotePanel.exe" &
panel=$!
# Wait for the main window (up to 30 s), then look at it.
window=""
for _ in $(seq 1 300); do
    window=$(xdotool search --name "Pavonet" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$panel" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "the panel did not open a window"; wait "$panel" || true; exit 1
fi
# Let the first read of the printer's settings finish: the pages fill in.
for _ in $(seq 1 50); do
    import -window root "$root/build/demo.png" 2>/dev/null && break
    sleep 0.1
done
sleep 1
import -window "$window" "$root/build/demo.png"
echo "screenshot: build/demo.png"
echo "window title: $(xdotool getwindowname "$window")"
# Close it as a user would: Esc in the panel.
xdotool windowfocus --sync "$window" key Escape 2>/dev/null || xdotool key Escape
set +e; wait "$panel"; code=$?; set -e
echo "RemotePanel.exe ended with exit code $code"
