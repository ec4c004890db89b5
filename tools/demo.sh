#!/usr/bin/env bash
# Runs the remote panel against a simulated printer "TK-1" in a fresh Wine
# prefix. With a usable $DISPLAY the panel opens there and the script waits
# until you close it; without one it runs on a private Xvfb display, saves a
# screenshot to build/demo.png, closes the panel and reports its exit code.
#   tools/demo.sh [--two] [--password TEXT] [--state STATE]
#     --two             a second ready printer TK-2: the selection dialog comes up
#     --password TEXT   the panel asks for this password first
#     --state STATE     TK-1 starts busy, read-only, no-rights, offline or unknown
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() { sed -n '6,9s/^# \{0,1\}//p' "$0" >&2; exit 2; }
two=0
password=""
state=""
while [ $# -gt 0 ]; do
    case "$1" in
        --two) two=1; shift ;;
        --password) [ $# -ge 2 ] && [ -n "$2" ] || usage; password=$2; shift 2 ;;
        --state) [ $# -ge 2 ] || usage; state=$2; shift 2 ;;
        *) usage ;;
    esac
done
# What srmctl sets for each state (a fresh printer is ready and online).
case "$state" in
    "") change=() ;;
    busy) change=(status 0 0 0x5) ;;          # online, and processing (0x4)
    read-only) change=(authority 0x08) ;;
    no-rights) change=(authority 0) ;;
    offline) change=(status 0 0x80 0) ;;      # "未接続" in the list; busy to the panel
    unknown) change=(status 0 0 0) ;;         # "不明" in the list; ready to the panel
    *) usage ;;
esac

if [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null; then tools/install-deps.sh; fi
tools/build.sh >/dev/null
bin="$root/build/win32/bin"

interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then interactive=1; fi
export RP_USE_DISPLAY=$interactive
source tools/winpoke.sh
script_session_start
srmctl add TK-1 --port LPT1:
if [ "$two" = 1 ]; then srmctl add TK-2 --port COM1: --detail "2F 事務室"; fi
if [ ${#change[@]} -gt 0 ]; then srmctl set TK-1 "${change[@]}"; fi
if [ -n "$password" ]; then srmctl password "$password"; fi
echo "simulated printers:"
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
# Through the password and the choice of printer as a user would.
if [ -n "$password" ]; then
    winpoke settext 1105 "$password"
    winpoke command "パスワードの入力" 1
fi
if [ "$two" = 1 ]; then winpoke command "プリンタの選択" 1052; fi
# The main window, or the panel's message about the printer: once it settles.
if ! window_shot "$root/build/demo.png" "リモートパネル"; then
    echo "the panel did not open a window"; wait "$panel" || true; exit 1
fi
echo "screenshot: build/demo.png"
# Close it with the close box: the panel's message first, if any, then the panel.
for _ in $(seq 1 5); do
    kill -0 "$panel" 2>/dev/null || break
    winpoke syscommand "リモートパネル" 0xF060 || true   # SC_CLOSE
    for _ in $(seq 1 20); do kill -0 "$panel" 2>/dev/null || break; sleep 0.1; done
done
set +e; wait "$panel"; code=$?; set -e
echo "RemotePanel.exe ended with exit code $code"
