# Runs "rpsettings check <site file> --all --json" (or, with -Apply,
# "apply <site file> --all --backup <folder> --json") on many PCs through
# PowerShell remoting, and returns one site-wide table (rows to the pipeline
# and, with -Csv, a CSV file in UTF-8 with its mark) with a row for every PC
# named, whatever became of it. Windows PowerShell 5.1 and PowerShell 7.
#
#   .\Invoke-SiteRpSettings.ps1 -ComputerName (Get-Content pcs.txt) -SiteFile .\site.txt -Csv site-check.csv
#   .\Invoke-SiteRpSettings.ps1 -ComputerName PC01,PC02 -SiteFile .\site.txt -Apply -WhatIf | Format-Table
#   .\Invoke-SiteRpSettings.ps1 -ComputerName PC01 -SiteFile .\site.txt -Apply -Password (Read-Host -AsSecureString)
#
# On each PC: the folders <program data>\rpsettings-site\run (and the backup
# folder) are made with an ACL of Administrators and SYSTEM only, the site file
# is copied there under a name of this run's own and checked against its
# SHA-256, rpsettings runs with a time limit, and the copy is removed. Any
# failed step stops that PC only, and its row says why.
[CmdletBinding(SupportsShouldProcess = $true)]
param(
    [Parameter(Mandatory = $true)] [string[]] $ComputerName,  # blank lines and lines starting with # are skipped
    [Parameter(Mandatory = $true)] [string] $SiteFile,
    [switch] $Apply,                       # with -WhatIf: apply --dry-run, nothing written
    [string] $Exe = 'rpsettings.exe',      # on the PCs: its full path where it is not on PATH
    [string] $LocalExe = '',               # here, to build the table: default rpsettings.exe beside this script, else on PATH
    [string] $BackupDir = '',              # default <program data>\rpsettings-site\backup-<run> on each PC
    [securestring] $Password,              # the suite's panel password, if it has one
    [pscredential] $Credential,            # for the sessions; default: the current user
    [ValidateRange(1, 1000)] [int] $ThrottleLimit = 32,   # PCs at once
    [ValidateRange(1, 86400)] [int] $TimeoutSeconds = 900,  # per PC: past it rpsettings is stopped
    [ValidateRange(0, 32)] [int] $Jobs = 0,               # rpsettings --jobs (0: its default)
    [ValidateRange(0, 86400)] [int] $PrinterTimeout = 0,  # rpsettings --timeout (0: its default)
    [string] $Csv,
    [string] $ChangesDir = ''  # each PC's change log copied there as <PC>.jsonl (rpsettings merge --changes reads them)
)
$ErrorActionPreference = 'Stop'
$dryRun = [bool]$WhatIfPreference
$WhatIfPreference = $false  # -WhatIf is the dry run on the PCs; the copies and the table are still made
. (Join-Path $PSScriptRoot 'SiteTable.ps1')

$computers = @($ComputerName | ForEach-Object { "$_".Trim() } | Where-Object { $_ -and -not $_.StartsWith('#') } |
    Select-Object -Unique)
if ($computers.Count -eq 0) { throw 'No computer is named.' }
if (-not $LocalExe) {
    $beside = Join-Path $PSScriptRoot 'rpsettings.exe'
    $LocalExe = if (Test-Path -LiteralPath $beside) { $beside } else { 'rpsettings.exe' }
}
$site = (Resolve-Path -LiteralPath $SiteFile).ProviderPath
$siteHash = (Get-FileHash -LiteralPath $site -Algorithm SHA256).Hash
$runId = '{0}-{1}' -f (Get-Date -Format 'yyyyMMdd-HHmmss'), ([guid]::NewGuid().ToString('N').Substring(0, 8))
$workDir = 'rpsettings-site\run'
$backup = if ($BackupDir) { $BackupDir } else { "rpsettings-site\backup-$runId" }
$folders = @('rpsettings-site', $workDir) + @(if ($Apply -and -not $dryRun) { $backup })  # a dry run makes none
$results = @{}  # computer -> result

function New-Failure([string] $Computer, [string] $Reason) {
    [pscustomobject]@{ Computer = $Computer; Time = (Get-Date).ToString('s'); ExitCode = ''; Json = ''; Errors = $Reason }
}
# The PC an error of remoting is about.
function Get-ErrorComputer($ErrorRecord) {
    if ($ErrorRecord.OriginInfo -and $ErrorRecord.OriginInfo.PSComputerName) { return $ErrorRecord.OriginInfo.PSComputerName }
    $target = $ErrorRecord.TargetObject
    if ($target -is [string]) { return $target }
    if ($target -and $target.ConnectionInfo) { return $target.ConnectionInfo.ComputerName }
    if ("$ErrorRecord" -match '^\[([^\]]+)\]') { return $Matches[1] }
    return ''
}

# Sessions, all PCs at once; an unreachable PC gets its reason.
$sessionArgs = @{ ComputerName = $computers; ThrottleLimit = $ThrottleLimit; ErrorAction = 'SilentlyContinue'
    ErrorVariable = 'sessionErrors'; SessionOption = (New-PSSessionOption -OpenTimeout 60000) }
if ($Credential) { $sessionArgs.Credential = $Credential }
$sessionErrors = @()
$sessions = @(New-PSSession @sessionArgs)
foreach ($record in $sessionErrors) {
    $computer = Get-ErrorComputer $record
    if ($computer -and -not $results.ContainsKey($computer)) { $results[$computer] = New-Failure $computer "No session: $record" }
}

# Each PC's folders and its copy of the site file.
$ready = @()
foreach ($session in $sessions) {
    $computer = $session.ComputerName
    $copy = ''
    try {
        $made = @(Invoke-Command -Session $session -ScriptBlock ${function:Initialize-RpSettingsFolder} -ArgumentList (, $folders))
        $copy = "$($made[1])\site-$runId.txt"
        Copy-Item -ToSession $session -LiteralPath $site -Destination $copy
        $ready += $session
    } catch {
        $results[$computer] = New-Failure $computer "Not prepared: $($_.Exception.Message)"
        if ($copy) {  # what a failed copy left
            Invoke-Command -Session $session -ScriptBlock { param($path) Remove-Item -LiteralPath $path -Force -ErrorAction SilentlyContinue } `
                -ArgumentList $copy -ErrorAction SilentlyContinue
        }
    }
}

$run = @{ Exe = $Exe; Command = $(if ($Apply) { 'apply' } else { 'check' }); SiteFile = "$workDir\site-$runId.txt"
    SiteHash = $siteHash; RemoveSiteFile = $true; BackupDir = $backup; DryRun = $dryRun; Jobs = $Jobs
    PrinterTimeout = $PrinterTimeout; TimeoutSeconds = $TimeoutSeconds; Password = $Password }
try {
    if ($ready.Count -gt 0) {
        $runErrors = @()
        $returned = @(Invoke-Command -Session $ready -ThrottleLimit $ThrottleLimit -ScriptBlock ${function:Invoke-RpSettingsJson} `
            -ArgumentList $run -ErrorAction SilentlyContinue -ErrorVariable runErrors)
        foreach ($result in $returned) { $results[$result.PSComputerName] = $result }
        foreach ($record in $runErrors) {
            $computer = Get-ErrorComputer $record
            if ($computer -and -not $results.ContainsKey($computer)) { $results[$computer] = New-Failure $computer "Run failed: $record" }
        }
    }
    if ($ChangesDir) {
        $changes = $ExecutionContext.SessionState.Path.GetUnresolvedProviderPathFromPSPath($ChangesDir)
        New-Item -ItemType Directory -Force -Path $changes | Out-Null
        foreach ($session in $ready) {
            try {
                $log = Invoke-Command -Session $session -ScriptBlock {
                    $path = Join-Path ([Environment]::GetFolderPath('CommonApplicationData')) 'rpsettings\changes.jsonl'
                    if (Test-Path -LiteralPath $path) { $path } }
                if (-not $log) { continue }
                $target = Join-Path $changes "$($session.ComputerName).jsonl"
                Copy-Item -FromSession $session -LiteralPath $log -Destination "$target.$PID.tmp"
                Move-FileReplacing -From "$target.$PID.tmp" -To $target
            } catch {
                Write-Warning "$($session.ComputerName): the change log was not collected: $($_.Exception.Message)"
            }
        }
    }
} finally {
    if ($sessions.Count -gt 0) { $sessions | Remove-PSSession }
}

# One result file a PC (named after its place in the list, so that any name
# will do), then rpsettings builds the table.
$tableDir = Join-Path ([System.IO.Path]::GetTempPath()) "rpsettings-site-$runId"
New-Item -ItemType Directory -Path $tableDir | Out-Null
try {
    for ($i = 0; $i -lt $computers.Count; ++$i) {
        $computer = $computers[$i]
        $result = if ($results.ContainsKey($computer)) { $results[$computer] } else { New-Failure $computer 'No result came back.' }
        $result | Add-Member -NotePropertyName Computer -NotePropertyValue $computer -Force  # as the list names it
        Write-RunResult -Result $result -Path (Join-Path $tableDir ('{0:D5}.json' -f $i))
    }
    $table = if ($Csv) { $ExecutionContext.SessionState.Path.GetUnresolvedProviderPathFromPSPath($Csv) } else { Join-Path $tableDir 'table.csv' }
    Invoke-RpSettingsMerge -Exe $LocalExe -Folder $tableDir -Csv $table
} finally {
    Remove-Item -LiteralPath $tableDir -Recurse -Force
}
