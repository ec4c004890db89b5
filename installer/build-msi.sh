#!/usr/bin/env bash
# Builds the Windows Installer package of the remote panel with wixl:
#   installer/build-msi.sh VERSION OUT.msi REMOTEPANEL_EXE RPSETTINGS_EXE SEARCH_DLL
# VERSION is the programs' version (1.406); the package's ProductVersion is
# MAJOR.0.MINOR (1.0.406), since the minor field of a package version stops
# at 255 and the build field goes to 65535. SEARCH_DLL is the installer's
# custom action (installer/suite_search.cpp).
# The programs, the custom action and the package are signed with
# tools/sign.sh (nothing is signed without a certificate; it says so).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
version=$1 out=$2 panel=$3 tool=$4 search=$5

major=${version%%.*}
minor=${version#*.}
msiversion="$major.0.$minor"
# One product code per version, whoever builds it: the same version again is
# the same product (a repair), a newer one replaces it (a major upgrade).
upgrade_code=8E0F6C52-3A7D-4B19-9C2E-5D41A7F0B550
product_code=$(python3 -c "import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())" \
    "$upgrade_code" "$msiversion")

# wixl takes its sources from the folder it runs in.
stage="$out.stage"
rm -rf "$stage"
mkdir -p "$stage"
cp "$panel" "$stage/RemotePanel.exe"
cp "$tool" "$stage/rpsettings.exe"
cp "$search" "$stage/SuiteSearch.dll"
cp "$here/../res/art/program.ico" "$stage/"
# The package code names the package's content: the files it installs (as
# built, before signing), its definition and this script's texts, and the
# version. A rebuild of the same sources is the same package, so that msiexec
# /i of it over the installed one is not refused (1638) as another package of
# the same product; anything else in the content makes another package code.
# (The programs carry no link time, so that a rebuild is byte for byte the same.)
content=$(cat "$stage/RemotePanel.exe" "$stage/rpsettings.exe" "$stage/SuiteSearch.dll" "$stage/program.ico" \
    "$here/RemotePanel.wxs" "$0" | sha256sum | cut -c1-64)
package_code=$(python3 -c "import sys, uuid; print('{%s}' % str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())" \
    "$upgrade_code" "package $msiversion $content")
"$here/../tools/sign.sh" "$stage/RemotePanel.exe" "$stage/rpsettings.exe" "$stage/SuiteSearch.dll"

package="$stage/$(basename "$out")"
(cd "$stage" && wixl -a x86 -D Version="$msiversion" -D ProductCode="$product_code" -D UpgradeCode="$upgrade_code" -o "$package" "$here/RemotePanel.wxs" 2>wixl.log) || {
    cat "$stage/wixl.log" >&2
    exit 1
}

# wixl 0.101 writes only ASCII into the tables. The database goes to code
# page 932 first; then the Japanese texts go in.
name="Tilbury 550TK リモートパネル"
model_key='HKEY_LOCAL_MACHINE\Software\Quarl\Pavonet\Printers\Tilbury 550TK'
printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$stage/_ForceCodepage.idt"
texts=(
    "UPDATE Property SET Value='$name' WHERE Property='ProductName'"
    "UPDATE Property SET Value='SUITEDIR;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE Property='SecureCustomProperties'"
    "UPDATE Shortcut SET Name='RPANEL|$name', Target='[#RemotePanel.exe]', Description='Tilbury 550TK の操作パネルの設定を読み込み、変更します。' WHERE Shortcut='PanelShortcut'"
    "UPDATE LaunchCondition SET Description='Pavonet に Tilbury 550TK が登録されていません（レジストリ キー $model_key がありません）。先に Pavonet をインストールしてください。' WHERE Description='SuiteModelMissing'"
    "UPDATE LaunchCondition SET Description='Pavonet のフォルダが見つかりません（QUARLSRM.DLL がありません: [SUITEDIR]）。Pavonet のフォルダを SUITEDIR で指定してください。' WHERE Description='SuiteFolderMissing'"
    "UPDATE LaunchCondition SET Description='より新しい版のリモートパネルがインストールされています。' WHERE Description='DowngradeRefused'"
)
# The older version is removed first, then this one installed (wixl puts it
# after InstallFinalize): a file of this version whose version resource or
# date says it is no newer than the installed one is then still copied, and
# nothing of the older version is left behind.
texts+=("UPDATE InstallExecuteSequence SET Sequence=1501 WHERE Action='RemoveExistingProducts'")
queries=()
for text in "${texts[@]}"; do queries+=(-q "$text"); done
msibuild "$package" -i "$stage/_ForceCodepage.idt" "${queries[@]}" \
    -s "Tilbury 550TK Remote Panel $version" Quarl "Intel;1041" "$package_code"

"$here/../tools/sign.sh" "$package"
mv "$package" "$out"
rm -rf "$stage"
