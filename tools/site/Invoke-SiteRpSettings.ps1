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
# is written there under a name of this run's own and checked against its
# SHA-256, rpsettings runs with a time limit, and the copy is removed (by the
# run, and again from here afterwards). Any failed step stops that PC only,
# and its row says why. Every step runs on -ThrottleLimit PCs at once and has
# a time limit: a PC that does not answer in time is given up on.
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

$computers = @(Get-ComputerList -Name $ComputerName)
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
$results = @{}  # computer -> result (the keys compared without regard to letter case)
$copyName = "site-$runId.txt"
$stepSeconds = 300  # a PC's part of a step other than the run: folders, the copy, the change log

function New-Failure([string] $Computer, [string] $Reason) {
    [pscustomobject]@{ Computer = $Computer; Time = (Get-Date).ToString('s'); ExitCode = ''; Json = ''; Errors = $Reason }
}
# The PC an error of remoting is about.
function Get-ErrorComputer($ErrorRecord) {
    if ($ErrorRecord.OriginInfo -and $ErrorRecord.OriginInfo.PSComputerName) { return $ErrorRecord.OriginInfo.PSComputerName }
    $target = $ErrorRecord.TargetObject
    if ($target -is [string]) { return $target }
    if ($target -is [System.Management.Automation.Runspaces.PSSession]) { return $target.ComputerName }
    if ($target -and $target.Runspace -and $target.Runspace.ConnectionInfo) { return $target.Runspace.ConnectionInfo.ComputerName }
    if ($target -and $target.ConnectionInfo) { return $target.ConnectionInfo.ComputerName }
    if ("$ErrorRecord" -match '^\[([^\]]+)\]') { return $Matches[1] }
    return ''
}

# Runs the script block on the sessions, -ThrottleLimit at once, and returns
# one row a PC as each ends: Computer, Output and Error ('' when none). The
# step may take $Seconds for each round of -ThrottleLimit PCs; a PC that has
# not answered by then is stopped, and its Error says so.
function Invoke-OnSessions {
    param([object[]] $Session, [scriptblock] $ScriptBlock, [object[]] $ArgumentList = @(), [int] $Seconds)
    if ($Session.Count -eq 0) { return }
    $limit = $Seconds * [int][Math]::Ceiling($Session.Count / $ThrottleLimit)
    $invoke = @{ Session = $Session; ThrottleLimit = $ThrottleLimit; ScriptBlock = $ScriptBlock; AsJob = $true }
    if ($ArgumentList.Count -gt 0) { $invoke.ArgumentList = $ArgumentList }
    $job = Invoke-Command @invoke
    $ended = @('Completed', 'Failed', 'Stopped')
    try {
        $deadline = (Get-Date).AddSeconds($limit)
        $pending = @($job.ChildJobs)
        while ($pending.Count -gt 0) {
            $left = [int][Math]::Ceiling(($deadline - (Get-Date)).TotalSeconds)
            if ($left -le 0 -or -not (Wait-Job -Job $pending -Any -Timeout $left)) { break }
            foreach ($child in $pending.Where({ $ended -contains "$($_.JobStateInfo.State)" })) {
                $failures = @()
                $output = @()
                try { $output = @(Receive-Job -Job $child -ErrorAction SilentlyContinue -ErrorVariable failures) }
                catch { $failures += $_ }
                $why = @($failures | ForEach-Object { "$_" }) + @("$($child.JobStateInfo.Reason.Message)" | Where-Object { $_ })
                [pscustomobject]@{ Computer = $child.Location; Output = $output; Error = $why -join ' ' }
            }
            $pending = @($pending.Where({ $ended -notcontains "$($_.JobStateInfo.State)" }))
        }
        foreach ($child in $pending) {
            [pscustomobject]@{ Computer = $child.Location; Output = @(); Error = "No answer within $limit s: given up." }
        }
    } finally {
        Stop-Job -Job $job -ErrorAction SilentlyContinue
        Remove-Job -Job $job -Force -ErrorAction SilentlyContinue
    }
}

# Sessions, -ThrottleLimit PCs at once; an unreachable PC gets its reason.
# Opening one waits at most a minute, and any single exchange with a PC five
# minutes (the steps below have limits of their own as a whole).
$sessionArgs = @{ ThrottleLimit = $ThrottleLimit; ErrorAction = 'SilentlyContinue'; ErrorVariable = 'sessionErrors'
    SessionOption = (New-PSSessionOption -OpenTimeout 60000 -OperationTimeout 300000) }
if ($Credential) { $sessionArgs.Credential = $Credential }
$sessionErrors = @()
$sessions = @(New-PSSession -ComputerName $computers @sessionArgs)
foreach ($record in $sessionErrors) {
    $computer = Get-ErrorComputer $record
    if ($computer -and -not $results.ContainsKey($computer)) { $results[$computer] = New-Failure $computer "No session: $record" }
}

# Each PC's folders and its copy of the site file, written there by the PC
# itself (what a failed write left is removed).
$prepare = [scriptblock]::Create(@'
param([string[]] $Folders, [string] $Name, [byte[]] $Bytes)
$ErrorActionPreference = 'Stop'
'@ + "`nfunction Initialize-RpSettingsFolder {`n${function:Initialize-RpSettingsFolder}`n}`n" + @'
$made = @(Initialize-RpSettingsFolder -Path $Folders)
$copy = Join-Path -Path $made[1] -ChildPath $Name
try { [System.IO.File]::WriteAllBytes($copy, $Bytes) }
catch { Remove-Item -LiteralPath $copy -Force -ErrorAction SilentlyContinue; throw }
$copy
'@)
$siteBytes = [System.IO.File]::ReadAllBytes($site)
$prepared = @{}
foreach ($row in Invoke-OnSessions -Session $sessions -ScriptBlock $prepare -ArgumentList $folders, $copyName, $siteBytes -Seconds $stepSeconds) {
    if ($row.Error -or $row.Output.Count -eq 0) {
        $results[$row.Computer] = New-Failure $row.Computer "Not prepared: $(if ($row.Error) { $row.Error } else { 'nothing came back.' })"
    }
    else { $prepared[$row.Computer] = $true }
}
$ready = @($sessions | Where-Object { $prepared.ContainsKey($_.ComputerName) })

$run = @{ Exe = $Exe; Command = $(if ($Apply) { 'apply' } else { 'check' }); SiteFile = "$workDir\$copyName"
    SiteHash = $siteHash; RemoveSiteFile = $true; BackupDir = $backup; DryRun = $dryRun; Jobs = $Jobs
    PrinterTimeout = $PrinterTimeout; TimeoutSeconds = $TimeoutSeconds; Password = $Password }
try {
    # rpsettings' own limit, and the time to stop it and collect what it said.
    foreach ($row in Invoke-OnSessions -Session $ready -ScriptBlock ${function:Invoke-RpSettingsJson} -ArgumentList $run `
            -Seconds ($TimeoutSeconds + 60)) {
        $result = @($row.Output | Where-Object { $_.PSObject.Properties['ExitCode'] })
        $results[$row.Computer] = if ($result.Count -gt 0) { $result[0] } else { New-Failure $row.Computer "Run failed: $($row.Error)" }
    }
    # The copy of the site file goes, also where the run or a stopped step
    # could not remove it: through a new session where the old one is gone.
    $gone = @($sessions | Where-Object { "$($_.State)" -ne 'Opened' } | ForEach-Object { $_.ComputerName })
    $cleanup = @($sessions | Where-Object { "$($_.State)" -eq 'Opened' })
    if ($gone.Count -gt 0) {
        $again = @(New-PSSession -ComputerName $gone @sessionArgs)
        $sessions += $again
        $cleanup += $again
    }
    $remove = {
        param([string] $Path)
        $copy = Join-Path ([Environment]::GetFolderPath('CommonApplicationData')) $Path
        if (Test-Path -LiteralPath $copy) { Remove-Item -LiteralPath $copy -Force }
    }
    foreach ($row in Invoke-OnSessions -Session $cleanup -ScriptBlock $remove -ArgumentList "$workDir\$copyName" -Seconds $stepSeconds) {
        if ($row.Error) { Write-Warning "$($row.Computer): the copy of the site file may be left in $workDir: $($row.Error)" }
    }
    if ($ChangesDir) {
        $changes = $ExecutionContext.SessionState.Path.GetUnresolvedProviderPathFromPSPath($ChangesDir)
        New-Item -ItemType Directory -Force -Path $changes | Out-Null
        $collect = {
            $path = Join-Path ([Environment]::GetFolderPath('CommonApplicationData')) 'rpsettings\changes.jsonl'
            if (Test-Path -LiteralPath $path) { [Convert]::ToBase64String([System.IO.File]::ReadAllBytes($path)) }
        }
        $opened = @($ready | Where-Object { "$($_.State)" -eq 'Opened' })
        # Each log written as it comes (a pipeline, not a list of them all).
        Invoke-OnSessions -Session $opened -ScriptBlock $collect -Seconds $stepSeconds | ForEach-Object {
            $row = $_
            try {
                if ($row.Error) { throw $row.Error }
                if ($row.Output.Count -eq 0) { return }  # no change log on that PC
                $target = Join-Path $changes "$($row.Computer).jsonl"
                [System.IO.File]::WriteAllBytes("$target.$PID.tmp", [Convert]::FromBase64String([string]$row.Output[0]))
                Move-FileReplacing -From "$target.$PID.tmp" -To $target
            } catch {
                Write-Warning "$($row.Computer): the change log was not collected: $($_.Exception.Message)"
            }
        }
    }
} finally {
    if ($sessions.Count -gt 0) { $sessions | Remove-PSSession -ErrorAction SilentlyContinue }
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
