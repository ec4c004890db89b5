#!/usr/bin/env bash
# ctest package_tables: the package's tables, read with msiinfo, hold what
# docs/deploying.md says; it holds the two programs, nothing of the suite, and
# writes no registry value; a rebuild of the same programs is the same package.
#   tests/package/check-tables.sh PACKAGE.msi VERSION REMOTEPANEL_EXE RPSETTINGS_EXE SEARCH_DLL
set -uo pipefail
msi=$1
version=$2
shift 2
msiversion="${version%%.*}\\.0\\.${version#*.}"
upgrade='\{8E0F6C52-3A7D-4B19-9C2E-5D41A7F0B550\}'
name='Tilbury 550TK リモートパネル'
failed=0
# Each row: a table (or "suminfo"), then a line it must hold (Perl regex).
while IFS='|' read -r table pattern; do
    if [ "$table" = suminfo ]; then content=$(msiinfo suminfo "$msi"); else content=$(msiinfo export "$msi" "$table"); fi
    if ! tr -d '\r' <<<"$content" | grep -qP -- "$pattern"; then
        echo "$table: no line matches $pattern"
        failed=1
    fi
done <<ROWS
Property|^ProductVersion\t$msiversion$
Property|^UpgradeCode\t$upgrade$
Property|^ProductName\t$name$
Property|^ProductLanguage\t1041$
Property|^ALLUSERS\t1$
Property|^SUITEMODELKEY\tSoftware\\\\Quarl\\\\Pavonet\\\\Printers\\\\Tilbury 550TK$
Property|^SecureCustomProperties\t(.*;)?SUITEDIR(;|$)
Upgrade|^$upgrade\t\t$msiversion\t\t1\t\tWIX_UPGRADE_DETECTED$
LaunchCondition|^Installed OR SUITEMODEL\t.*Software\\\\Quarl\\\\Pavonet\\\\Printers\\\\Tilbury 550TK
LaunchCondition|^Installed OR SUITELIBRARY\t.*\[SUITEDIR\]
CustomAction|^FindSuite\t\d+\tSuiteSearch\tFindSuite\t
InstallExecuteSequence|^FindSuite\t\t30$
InstallExecuteSequence|^LaunchConditions\t\t100$
InstallExecuteSequence|^RemoveExistingProducts\t\t1501$
Directory|^SUITEDIR\tQuarlFolder\tPavonet$
Shortcut|^PanelShortcut\tProgramMenuFolder\t[^\t|]+\|$name\tPanel\t\[#RemotePanel\.exe\]\t.*\tprogram\.ico\t
suminfo|^Template: Intel;1041$
ROWS
# Exactly these rows, by their third column (the File table: file names).
while IFS='|' read -r table expected; do
    rows=$(msiinfo export "$msi" "$table" | tail -n +4 | cut -f3 | sort | tr '\n' ' ')
    if [ "$rows" != "$expected" ]; then
        echo "$table: rows '$rows', expected '$expected'"
        failed=1
    fi
done <<ROWS
File|RemotePanel.exe rpsettings.exe 
Registry|
ROWS
# The package code: the same for a rebuild, another for other programs.
code() { msiinfo suminfo "$1" | sed -n 's/^Revision number (UUID): //p'; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build="$(dirname "$0")/../../installer/build-msi.sh"
env -u RP_SIGN_PFX bash "$build" "$version" "$work/same.msi" "$1" "$2" "$3" >/dev/null || failed=1
env -u RP_SIGN_PFX bash "$build" "$version" "$work/other.msi" "$2" "$1" "$3" >/dev/null || failed=1
[ "$(code "$work/same.msi")" = "$(code "$msi")" ] || { echo "a rebuild has another package code"; failed=1; }
[ "$(code "$work/other.msi")" != "$(code "$msi")" ] || { echo "other programs have the same package code"; failed=1; }
[ "$failed" -eq 0 ] && echo "package tables as documented"
exit "$failed"
