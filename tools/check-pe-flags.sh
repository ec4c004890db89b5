#!/usr/bin/env bash
# Checks the headers of the Win32 binaries (a ctest test of build/win32):
# every .exe and .DLL in BIN marks itself DYNAMIC_BASE (address randomisation),
# NX_COMPAT (no execution of data), TERMINAL_SERVER_AWARE (it runs unchanged
# in a Remote Desktop session) and NO_SEH. NO_SEH is true only while no code of
# a binary registers a frame-based structured exception handler, which on
# i686 is a write to %fs:0 (C++ exceptions here unwind with DWARF tables, and
# neither the runtime nor GoogleTest registers one); the shipped binaries are
# disassembled to keep it so.
#   tools/check-pe-flags.sh OBJDUMP BIN
set -uo pipefail
objdump=$1
bin=$2
shipped=" RemotePanel.exe QUARLSRM.DLL srmctl.exe rpsettings.exe "
failed=0
count=0
for file in "$bin"/*.exe "$bin"/*.DLL; do
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
