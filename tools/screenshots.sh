#!/usr/bin/env bash
# Takes the screenshots of docs/screenshots/: the password dialog, the printer
# selection with two printers, the main window on each of the six tabs, the
# six sub-dialogs and the about box. Runs the real program against two
# simulated printers on a private Xvfb display and steers it with
# tools/winpoke.cpp. Each picture is cropped to its window and taken once the
# screen has stopped changing.
#   tools/screenshots.sh [--dpi N] [OUTDIR]      (default docs/screenshots)
# With --dpi other than 96 the display runs at N dots per inch (Wine's
# LogPixels; 144 is 150 %) and only the printer selection, the six tabs and
# the status picture's three overlays are taken, named NAME-Ndpi.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
dpi=96
if [ "${1:-}" = --dpi ]; then dpi=$2; shift 2; fi
out="$(realpath -m "${1:-docs/screenshots}")"
suffix=""
[ "$dpi" = 96 ] || suffix="-${dpi}dpi"
mkdir -p "$out"

if [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null; then tools/install-deps.sh; fi
if [ -f build/win32/CMakeCache.txt ]; then
    cmake --build build/win32 --target RemotePanel srmctl winpoke -j2 >/dev/null
else
    tools/build.sh >/dev/null
fi
bin="$root/build/win32/bin"

export RP_USE_DISPLAY=0
source tools/winpoke.sh
script_session_start
shot() {
    window_shot "$out/$1$suffix.png" "$2"
    echo "$out/$1$suffix.png"
}
if [ "$dpi" != 96 ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
fi

# dialog NAME BUTTON CAPTION: opens a sub-dialog with its button, takes it,
# and closes it with Cancel.
dialog() {
    winpoke click "$2"
    shot "$1" "$3"
    winpoke command "$3" 2
    winpoke gone "$3"
}

srmctl add TK-1
srmctl add TK-2 --port COM1: --detail "2F 事務室"
srmctl password demo
# Feed positions that match no row of the Format page's lists show as custom
# rows ("46/120インチ", "100/120インチ"): the longest texts those lists hold.
# Bytes 26 and 27 are the continuous-paper feeds, 72 and 73 those of format 1.
block=$(wine "$bin/srmctl.exe" get TK-1 settings | tr -d '\r\n')
for change in 26:2E 27:64 72:2E 73:64; do
    at=$((${change%:*} * 2))
    block="${block:0:at}${change#*:}${block:at+2}"
done
srmctl set TK-1 settings "$block"

wine "$bin/RemotePanel.exe" &

winpoke settext 1105 demo
shot password "パスワードの入力"
winpoke command "パスワードの入力" 1

shot select-printer "プリンタの選択"
winpoke command "プリンタの選択" 1052

main="リモートパネル - TK-"
# Per tab: its picture, the control that shows the page is ready, and its
# steps: key:ID:VK presses a key before the picture, ID:picture:caption opens
# a sub-dialog with the button ID after it ("_" stands for a blank).
pages=(
    "1-paper 1160 1166:paper-advanced:高度な設定：_用紙"
    "2-format 1142 key:1134:40 1142:format-settings:書式の設定"
    "3-font 1191 1191:font-advanced:高度な設定：_フォント"
    "4-print 1197 1197:print-dos:DOS環境 1198:print-advanced:高度な設定：_印刷"
    "5-environment 1213 1213:environment-advanced:高度な設定：_動作環境"
    "6-other 1219"
)
first=1
for page in "${pages[@]}"; do
    read -r name marker steps <<<"$page"
    [ "$first" = 1 ] || winpoke key 284 39    # Right arrow on the tab strip
    first=0
    for step in $steps; do    # the format page's choice of a stored format (Down arrow)
        IFS=: read -r kind id key <<<"$step"
        if [ "$kind" = key ]; then winpoke key "$id" "$key"; fi
    done
    winpoke enabled "$marker"
    shot "main-$name" "$main"
    for step in $steps; do
        IFS=: read -r button picture caption <<<"$step"
        if [ "$button" != key ] && [ "$dpi" = 96 ]; then dialog "dialog-$picture" "$button" "${caption//_/ }"; fi
    done
done

if [ "$dpi" != 96 ]; then
    # The status picture with each overlay: read only (a lock), update only,
    # neither right (with two printers the panel stays and says why).
    srmctl set TK-1 authority 0x08
    shot main-status-readonly "$main"
    srmctl set TK-1 authority 0x18
    srmctl set TK-1 ext-status 1
    shot main-status-updateonly "$main"
    srmctl set TK-1 ext-status 3
    srmctl set TK-1 authority 0
    shot main-status-norights "$main"
    exit 0
fi
winpoke syscommand "$main" 0xE000          # the system menu's about item
shot about "バージョン情報"
winpoke command "バージョン情報" 1
winpoke gone "バージョン情報"

# The format choice above is an unsent change: the session's end closes the panel.
