#!/usr/bin/env bash
# ctest pe_flags: every .exe and .DLL (.dll) in BIN is marked DYNAMIC_BASE, NX_COMPAT,
# TERMINAL_SERVER_AWARE and NO_SEH, and no shipped binary touches %fs:0, where
# i686 code registers a structured exception handler (docs/building.md).
#   tools/check-pe-flags.sh OBJDUMP BIN
set -uo pipefail
objdump=$1
bin=$2
shipped=" RemotePanel.exe QUARLSRM.DLL srmctl.exe rpsettings.exe SuiteSearch.dll "
failed=0
count=0
for file in "$bin"/*.exe "$bin"/*.DLL "$bin"/*.dll; do
    [ -f "$file" ] || continue
    name=$(basename "$file")
    count=$((count + 1))
    flags=$("$objdump" -p "$file" | sed -n '/^DllCharacteristics/,/^[A-Z]/p')
    for flag in DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE NO_SEH; do  # objdump's names
        if ! grep -qw "$flag" <<<"$flags"; then
            echo "$name: $flag missing"
            failed=1
        fi
    done
    if [[ "$shipped" == *" $name "* ]] && "$objdump" -d "$file" | grep -qE '%fs:0x0(,|$)'; then
        echo "$name: code that touches %fs:0 (a structured exception handler?) beside NO_SEH"
        failed=1
    fi
done
if [ "$count" -eq 0 ]; then echo "no binaries in $bin"; exit 1; fi
echo "$count binaries checked"
exit "$failed"
