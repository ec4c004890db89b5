# Merges the files Check-Nightly.ps1 wrote (one per PC) into one site-wide
# table: rpsettings merge builds it, with a row for every PC of -ComputerList
# that sent nothing (outcome no_file), sent a file it cannot read (bad_file)
# or whose rpsettings gave no result (no_result, with the reason). With
# -Changes, the PCs' change logs instead: one row per setting changed.
# Windows PowerShell 5.1 and PowerShell 7.
#
#   .\Merge-NightlyChecks.ps1 -InDir \\srv\rpsettings$\checks -ComputerList pcs.txt -Csv site-check.csv | Format-Table
#   .\Merge-NightlyChecks.ps1 -InDir \\srv\rpsettings$\checks -ComputerList pcs.txt -Changes -Csv changes.csv
[CmdletBinding()]
param(
    [Parameter(Mandatory = $true)] [string] $InDir,
    [string] $ComputerList,  # the PCs that should have reported, one a line (blank lines and # lines skipped)
    [switch] $Changes,
    [string] $Csv,
    [string] $Exe = ''       # default rpsettings.exe beside this script, else on PATH
)
$ErrorActionPreference = 'Stop'
. (Join-Path $PSScriptRoot 'SiteTable.ps1')

if (-not $Exe) {
    $beside = Join-Path $PSScriptRoot 'rpsettings.exe'
    $Exe = if (Test-Path -LiteralPath $beside) { $beside } else { 'rpsettings.exe' }
}
$computers = @()
if ($ComputerList) {
    $computers = @(Get-ComputerList -Name @(Get-Content -LiteralPath $ComputerList))
}
$folder = (Resolve-Path -LiteralPath $InDir).ProviderPath
$temporary = $null
if ($Csv) {
    $table = $ExecutionContext.SessionState.Path.GetUnresolvedProviderPathFromPSPath($Csv)
} else {
    $temporary = Join-Path ([System.IO.Path]::GetTempPath()) "rpsettings-merge-$PID.csv"
    $table = $temporary
}
try {
    Invoke-RpSettingsMerge -Exe $Exe -Folder $folder -Computer $computers -Changes:$Changes -Csv $table
} finally {
    if ($temporary) { Remove-Item -LiteralPath $temporary -Force -ErrorAction SilentlyContinue }
}
