# Run on each PC by a scheduled task (deployed by group policy): checks every
# printer of this PC against the site file and writes the result to
# <OutDir>\<COMPUTERNAME>.json, which Merge-NightlyChecks.ps1 reads.
#
#   powershell.exe -NoProfile -ExecutionPolicy Bypass -File \\srv\rpsettings$\Check-Nightly.ps1
#       -SiteFile \\srv\rpsettings$\site.txt -OutDir \\srv\rpsettings$\checks
param(
    [Parameter(Mandatory = $true)] [string] $SiteFile,
    [Parameter(Mandatory = $true)] [string] $OutDir,
    [string] $Exe = 'rpsettings.exe',  # its full path where it is not on PATH
    [string] $PasswordFile  # a local file only Administrators and SYSTEM can read, for a suite with a password
)
. (Join-Path $PSScriptRoot 'SiteTable.ps1')

$password = if ($PasswordFile) { Get-Content -Path $PasswordFile -TotalCount 1 } else { '' }
$result = Invoke-RpSettingsJson -Exe $Exe -Arguments 'check', $SiteFile, '--all', '--json' -Password $password
# Written under a temporary name and then renamed, so that a merge never reads half a file.
$target = Join-Path $OutDir "$env:COMPUTERNAME.json"
$result | ConvertTo-Json | Set-Content -Path "$target.tmp" -Encoding UTF8
Move-Item -Path "$target.tmp" -Destination $target -Force
exit $result.ExitCode
