# Merges the files Check-Nightly.ps1 wrote (one per PC) into one site-wide table.
#
#   .\Merge-NightlyChecks.ps1 -InDir \\srv\rpsettings$\checks -Csv site-check.csv | Format-Table
param(
    [Parameter(Mandatory = $true)] [string] $InDir,
    [string] $Csv
)
. (Join-Path $PSScriptRoot 'SiteTable.ps1')

$table = Get-ChildItem -Path $InDir -Filter '*.json' |
    ForEach-Object { Get-Content -Path $_.FullName -Raw -Encoding UTF8 | ConvertFrom-Json } |
    ConvertTo-SiteTable
if ($Csv) { $table | Export-Csv -Path $Csv -NoTypeInformation -Encoding UTF8 }
$table
