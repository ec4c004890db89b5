#!/usr/bin/env bash
# Checks the program's structure (docs/layers.md) from its sources:
#   - each folder includes only its own headers, those of the layers below
#     it and the resource ids (the build checks the same for what it compiles;
#     this also covers sources no configuration builds);
#   - each program-wide variable is written only inside its owner folder;
#   - no program file over 600 lines, no function over 80.
# Prints each breach and exits 1 when there is one.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
program=(base settings session pages panel app rpsettings)
declare -A allowed=(
    [base]="base res"
    [settings]="settings base res"
    [session]="session settings base res"
    [pages]="pages session settings base res"
    [panel]="panel pages session settings base res"
    [app]="app panel pages session settings base res"
    [rpsettings]="rpsettings session settings base res"
)

# ---- includes ----
for folder in "${program[@]}"; do
    for file in "$folder"/*.cpp "$folder"/*.h; do
        [ -f "$file" ] || continue
        while IFS= read -r header; do
            home=""
            for candidate in */"$header"; do
                [ -f "$candidate" ] && home=${candidate%%/*} && break
            done
            [ -n "$home" ] || continue   # a system or generated header
            if [[ " ${allowed[$folder]} " != *" $home "* ]]; then
                echo "include: $file includes $home/$header"
                status=1
            fi
        done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file")
    done
done

# ---- owners: variable, owner folder ----
owners=(
    AppInstance:base ForegroundRoleWindow:base MessageCaption:base HelpFilePath:base HtmlHelpModule:base
    Settings:settings CustomFeeds:settings
    PrinterList:session PrinterCount:session MultiplePrinters:session CurrentPrinter:session
    PanelWindow:panel ReadAllowed:panel UpdateAllowed:panel PrinterNotReady:panel ReadPending:panel
    WritePending:panel ChangesPending:panel ReadRetries:panel SrmHandle:panel WriteRequestId:panel
    ExtStatusValue:panel StatusValues:panel AuthorityValue:panel StatusText:panel SwitchFlag:panel
    Notifications:panel
    InstanceMapping:app MainWindow:app ToolbarWindow:app HelpModeWindow:app
)
for pair in "${owners[@]}"; do
    name=${pair%%:*} owner=${pair##*:}
    # An assignment (not a comparison), ++/--, a member or element assigned,
    # or the variable's address handed on (a read into it, a fill).
    pattern="(^|[^A-Za-z0-9_.>])(${name}(\[[^]]*\]|\.[A-Za-z0-9_]+(\[[^]]*\])*|->[A-Za-z0-9_]+)*[[:space:]]*([-+*/|&^]?=[^=]|\+\+|--)|(\+\+|--)${name}\b|&${name}\b)"
    for folder in "${program[@]}"; do
        [ "$folder" = "$owner" ] && continue
        hits=$(grep -nE "$pattern" "$folder"/*.cpp "$folder"/*.h 2>/dev/null | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//')
        if [ -n "$hits" ]; then
            echo "owner: $name belongs to $owner/ but is written in:"
            echo "$hits" | sed 's/^/    /'
            status=1
        fi
    done
done

# ---- sizes ----
# A function starts at a line that opens its body at column 0 scope (its
# signature starts at column 0; it may run over several lines) and ends at the
# next "}" at column 0.
function_sizes='
    /^(namespace|struct|class|enum|union|extern|typedef|template)/ { sig = 0; next }
    /^[A-Za-z].*,$/ { sig = NR; name = $0; next }
    /^[A-Za-z].*\)[^;]*\{$/ { start = NR; name = $0; sig = 0; next }
    sig == NR - 1 && /\)[^;]*\{$/ { start = NR; sig = 0; next }
    sig == NR - 1 && /,$/ { sig = NR; next }
    /^}/ && start {
        if (NR - start - 1 > 80) printf "size: %s:%d has a function of %d lines: %s\n", FILENAME, start, NR - start - 1, name
        start = 0
    }'
for folder in "${program[@]}"; do
    for file in "$folder"/*.cpp "$folder"/*.h; do
        [ -f "$file" ] || continue
        lines=$(wc -l <"$file")
        if [ "$lines" -gt 600 ]; then echo "size: $file has $lines lines"; status=1; fi
        long=$(awk "$function_sizes" "$file")
        if [ -n "$long" ]; then echo "$long"; status=1; fi
    done
done

[ "$status" -eq 0 ] && echo "structure: layers, owners and sizes hold"
exit "$status"
