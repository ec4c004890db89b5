# Runs "rpsettings check <site file> --all --json" (or, with -Apply,
# "apply <site file> --all --backup <dir> --json") on many PCs through
# PowerShell remoting, and builds one site-wide table from every PC's JSON.
#
#   .\Invoke-SiteRpSettings.ps1 -ComputerName (Get-Content pcs.txt) -SiteFile .\site.txt -Csv site-check.csv
#   .\Invoke-SiteRpSettings.ps1 -ComputerName PC01,PC02 -SiteFile .\site.txt -Apply | Format-Table
#
# The site file is copied to each PC first (a share would need delegation of
# the credentials: the second hop). Rows go to the pipeline and, with -Csv,
# to a UTF-8 CSV file.
param(
    [Parameter(Mandatory = $true)] [string[]] $ComputerName,
    [Parameter(Mandatory = $true)] [string] $SiteFile,
    [switch] $Apply,
    [string] $Exe = 'rpsettings.exe',  # its full path on the PCs where it is not on PATH
    [string] $BackupDir = "C:\ProgramData\rpsettings\backup-$(Get-Date -Format yyyyMMdd-HHmmss)",
    [string] $Password = $env:RPSETTINGS_PASSWORD,  # the suite's panel password, if it has one
    [string] $Csv
)
. (Join-Path $PSScriptRoot 'SiteTable.ps1')

$sessions = @(New-PSSession -ComputerName $ComputerName)
$remoteDir = 'C:\ProgramData\rpsettings'
$remoteFile = "$remoteDir\site.txt"
$directories = @($remoteDir) + @(if ($Apply) { $BackupDir })
foreach ($session in $sessions) {
    Invoke-Command -Session $session -ScriptBlock { param($d) New-Item -ItemType Directory -Force -Path $d | Out-Null } `
        -ArgumentList (, $directories)
    Copy-Item -ToSession $session -Path $SiteFile -Destination $remoteFile -Force
}

$arguments = if ($Apply) { 'apply', $remoteFile, '--all', '--backup', $BackupDir, '--json' } else { 'check', $remoteFile, '--all', '--json' }
# All PCs at once; each PC works on its printers in parallel itself.
$results = @()
if ($sessions.Count -gt 0) {
    $results = @(Invoke-Command -Session $sessions -ScriptBlock ${function:Invoke-RpSettingsJson} `
        -ArgumentList $Exe, $arguments, $Password)
    $sessions | Remove-PSSession
}
# A PC that could not be reached, or where rpsettings could not be started,
# is a row of its own (its errors were shown above), not a silent gap.
foreach ($computer in $ComputerName) {
    if (@($results.PSComputerName) -notcontains $computer) {
        $results += [pscustomobject]@{ Computer = $computer; Time = ''; ExitCode = ''; Json = ''; Errors = 'no result' }
    }
}

$table = $results | ConvertTo-SiteTable
if ($Csv) { $table | Export-Csv -Path $Csv -NoTypeInformation -Encoding UTF8 }
$table
