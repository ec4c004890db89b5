# Shared by the site scripts (Windows PowerShell 5.1 and PowerShell 7). Dot-source it:
#   . (Join-Path $PSScriptRoot 'SiteTable.ps1')
# Only what needs PowerShell lives here: folders with their ACL on the PCs, a
# run of rpsettings with a time limit, and the result files. rpsettings itself
# builds every table (--csv, and "merge" over a folder of result files).
#
# Initialize-RpSettingsFolder and Invoke-RpSettingsJson are self-contained, so
# that Invoke-Command can run them on another PC:
#   Invoke-Command -Session $s -ScriptBlock ${function:Invoke-RpSettingsJson} -ArgumentList $run

# The names of a list of computers: trimmed, blank lines and lines starting
# with # skipped, each PC once (names compared without regard to letter case,
# as Windows compares them; the first spelling stays), in order.
function Get-ComputerList {
    param([AllowEmptyCollection()] [AllowEmptyString()] [string[]] $Name = @())
    $seen = New-Object 'System.Collections.Generic.HashSet[string]' ([System.StringComparer]::OrdinalIgnoreCase)
    foreach ($line in $Name) {
        $computer = "$line".Trim()
        if ($computer -and -not $computer.StartsWith('#') -and $seen.Add($computer)) { $computer }
    }
}

# Makes each folder (a relative path is taken under the machine's program
# data folder) with an ACL of its own: Administrators and SYSTEM, full
# control, nothing inherited, owner Administrators; so no other user can
# create, replace or plant a file in it. A folder that exists already is
# never changed: it is refused unless Administrators or SYSTEM own it and no
# one else may write to it. Returns the full paths, in order; throws with
# the reason otherwise.
function Initialize-RpSettingsFolder {
    param([Parameter(Mandatory = $true)] [string[]] $Path)
    $ErrorActionPreference = 'Stop'
    $sidType = [System.Security.Principal.SecurityIdentifier]
    $admins = New-Object System.Security.Principal.SecurityIdentifier('S-1-5-32-544')
    $system = New-Object System.Security.Principal.SecurityIdentifier('S-1-5-18')
    $trusted = @($admins.Value, $system.Value, 'S-1-3-0')  # and CREATOR OWNER: it gives only what the owner has
    # Write, append, create, delete, change rights or owner; GENERIC_WRITE and GENERIC_ALL.
    $writeRights = 0x2 -bor 0x4 -bor 0x10 -bor 0x40 -bor 0x100 -bor 0x10000 -bor 0x40000 -bor 0x80000 -bor 0x40000000 -bor 0x10000000
    $root = [Environment]::GetFolderPath('CommonApplicationData')
    foreach ($folder in $Path) {
        $full = if ([System.IO.Path]::IsPathRooted($folder)) { $folder } else { Join-Path -Path $root -ChildPath $folder }
        if (-not (Test-Path -LiteralPath $full)) {
            $acl = New-Object System.Security.AccessControl.DirectorySecurity
            $acl.SetAccessRuleProtection($true, $false)
            foreach ($sid in $admins, $system) {
                $acl.AddAccessRule((New-Object System.Security.AccessControl.FileSystemAccessRule($sid, 'FullControl',
                    'ContainerInherit, ObjectInherit', 'None', 'Allow')))
            }
            $acl.SetOwner($admins)
            # Made with its ACL in one step: there is no moment in which another user may write to it.
            if ($PSVersionTable.PSEdition -eq 'Core') {
                [void][System.IO.FileSystemAclExtensions]::CreateDirectory($acl, $full)
            } else {
                [void][System.IO.Directory]::CreateDirectory($full, $acl)
            }
        }
        $item = Get-Item -LiteralPath $full -Force
        if (-not $item.PSIsContainer) { throw "$full is not a folder." }
        $current = Get-Acl -LiteralPath $full
        $owner = $current.GetOwner($sidType)
        if (@($admins.Value, $system.Value) -notcontains $owner.Value) {
            throw "$full is owned by $owner, not by Administrators or SYSTEM: refused (remove it, or choose another folder)."
        }
        foreach ($rule in $current.GetAccessRules($true, $true, $sidType)) {
            if ($rule.AccessControlType -ne 'Allow' -or $trusted -contains $rule.IdentityReference.Value) { continue }
            if (([int64]$rule.FileSystemRights -band $writeRights) -ne 0) {
                throw "$full may be written by $($rule.IdentityReference): refused (remove it, or choose another folder)."
            }
        }
        $full
    }
}

# Runs rpsettings once and returns Computer, Time, ExitCode, Json and Errors.
# $Run holds: Exe; Command ('check' or 'apply'); SiteFile (relative: under the
# program data folder) with SiteHash (its SHA-256, checked before the run) and
# RemoveSiteFile (a copy made for this run, removed afterwards); BackupDir
# (apply); DryRun; Jobs and PrinterTimeout (rpsettings' --jobs and --timeout,
# 0 for its defaults); TimeoutSeconds (the whole run: past it rpsettings is
# stopped; 900 when not given, and 0 or less is refused); Password (a
# SecureString or null), put only into rpsettings' environment (as a .NET
# string it stays in this process's memory until the process ends: it cannot
# be wiped). rpsettings never asks for anything: its standard input is
# closed and it gets --no-prompt. A failure of any step, a start failure
# included, leaves ExitCode empty and says why in Errors.
function Invoke-RpSettingsJson {
    param([Parameter(Mandatory = $true)] [hashtable] $Run)
    $ErrorActionPreference = 'Stop'
    # Quoted for the C runtime: backslashes before a quote and at the end are doubled.
    function ConvertTo-Argument([string] $Text) {
        if ($Text -and $Text -notmatch '[\s"]') { return $Text }
        $escaped = [regex]::Replace($Text, '(\\*)"', '$1$1\"')
        return '"' + [regex]::Replace($escaped, '(\\+)$', '$1$1') + '"'
    }
    $result = [pscustomobject]@{ Computer = $env:COMPUTERNAME; Time = (Get-Date).ToString('s'); ExitCode = ''; Json = ''; Errors = '' }
    $root = [Environment]::GetFolderPath('CommonApplicationData')
    $siteFile = if ([System.IO.Path]::IsPathRooted($Run.SiteFile)) { $Run.SiteFile } else { Join-Path -Path $root -ChildPath $Run.SiteFile }
    $plain = $null
    try {
        $limit = if ($null -eq $Run.TimeoutSeconds) { 900 } else { [int]$Run.TimeoutSeconds }
        if ($limit -le 0) { throw "TimeoutSeconds $limit: rpsettings needs some time to run: not run." }
        if ($Run.SiteHash) {
            $hash = (Get-FileHash -LiteralPath $siteFile -Algorithm SHA256).Hash
            if ($hash -ne $Run.SiteHash) { throw "The copy $siteFile is not the site file (SHA-256 $hash): not run." }
        }
        $arguments = @($Run.Command, $siteFile, '--all', '--json', '--no-prompt')
        if ($Run.Command -eq 'apply' -and $Run.BackupDir -and -not $Run.DryRun) {  # a dry run writes nothing at all
            $backup = if ([System.IO.Path]::IsPathRooted($Run.BackupDir)) { $Run.BackupDir } else { Join-Path -Path $root -ChildPath $Run.BackupDir }
            $arguments += '--backup', $backup
        }
        if ($Run.Command -eq 'apply' -and $Run.DryRun) { $arguments += '--dry-run' }
        if ($Run.Jobs -gt 0) { $arguments += '--jobs', "$($Run.Jobs)" }
        if ($Run.PrinterTimeout -gt 0) { $arguments += '--timeout', "$($Run.PrinterTimeout)" }

        $info = New-Object System.Diagnostics.ProcessStartInfo
        $info.FileName = $Run.Exe
        $info.Arguments = ($arguments | ForEach-Object { ConvertTo-Argument $_ }) -join ' '
        $info.UseShellExecute = $false
        $info.CreateNoWindow = $true
        $info.RedirectStandardInput = $true
        $info.RedirectStandardOutput = $true
        $info.RedirectStandardError = $true
        # The JSON is UTF-8; the messages are in the system's ANSI code page.
        $info.StandardOutputEncoding = New-Object System.Text.UTF8Encoding($false)
        $ansi = (Get-ItemProperty -LiteralPath 'HKLM:\SYSTEM\CurrentControlSet\Control\Nls\CodePage' -Name ACP).ACP
        $info.StandardErrorEncoding = [System.Text.Encoding]::GetEncoding([int]$ansi)
        if ($Run.Password) {
            $bstr = [System.Runtime.InteropServices.Marshal]::SecureStringToBSTR($Run.Password)
            try { $plain = [System.Runtime.InteropServices.Marshal]::PtrToStringBSTR($bstr) }
            finally { [System.Runtime.InteropServices.Marshal]::ZeroFreeBSTR($bstr) }
            $info.EnvironmentVariables['RPSETTINGS_PASSWORD'] = $plain
        }
        $process = New-Object System.Diagnostics.Process
        $process.StartInfo = $info
        try { [void]$process.Start() }
        catch { throw "rpsettings could not be started ($($Run.Exe)): $($_.Exception.Message)" }
        $process.StandardInput.Close()
        $output = $process.StandardOutput.ReadToEndAsync()  # both streams drained, neither blocks
        $errors = $process.StandardError.ReadToEndAsync()
        if (-not $process.WaitForExit($limit * 1000)) {
            try { $process.Kill() } catch { }
            [void]$process.WaitForExit(10000)
            $result.Errors = "rpsettings did not end within $limit s and was stopped; the printers it was working on are in an unknown state. "
        } else {
            $process.WaitForExit()  # the streams' ends too
            $result.ExitCode = $process.ExitCode
        }
        if ($output.Wait(10000)) { $result.Json = $output.Result }
        if ($errors.Wait(10000)) { $result.Errors += $errors.Result }
    } catch {
        $result.Errors = "$($_.Exception.Message)"
    } finally {
        $plain = $null  # one reference fewer; the text itself stays until the process ends
        if ($Run.RemoveSiteFile) { Remove-Item -LiteralPath $siteFile -Force -ErrorAction SilentlyContinue }
    }
    $result
}

# A result as a file the merge reads (UTF-8 with its mark, written under a
# temporary name and then renamed, so that a merge never reads half a file).
function Write-RunResult {
    param([Parameter(Mandatory = $true)] $Result, [Parameter(Mandatory = $true)] [string] $Path)
    $ErrorActionPreference = 'Stop'
    $document = [ordered]@{ Computer = "$($Result.Computer)"; Time = "$($Result.Time)"; ExitCode = "$($Result.ExitCode)"
        Json = "$($Result.Json)"; Errors = "$($Result.Errors)" }
    $temporary = "$Path.$PID.tmp"
    [System.IO.File]::WriteAllText($temporary, ($document | ConvertTo-Json -Compress), (New-Object System.Text.UTF8Encoding($true)))
    Move-FileReplacing -From $temporary -To $Path
}

# Puts a file in place of another in one step (or just moves it there).
function Move-FileReplacing {
    param([Parameter(Mandatory = $true)] [string] $From, [Parameter(Mandatory = $true)] [string] $To)
    if (Test-Path -LiteralPath $To) { [System.IO.File]::Replace($From, $To, [NullString]::Value) }
    else { [System.IO.File]::Move($From, $To) }
}

# rpsettings merge over a folder of result files (or, with -Changes, of
# change logs): the table as CSV (UTF-8 with its mark) into $Csv, and its rows.
# The PCs expected go to rpsettings in a list file (@FILE), so that any number
# of them fits on its command line.
function Invoke-RpSettingsMerge {
    param([Parameter(Mandatory = $true)] [string] $Exe, [Parameter(Mandatory = $true)] [string] $Folder,
          [string[]] $Computer = @(), [switch] $Changes, [Parameter(Mandatory = $true)] [string] $Csv)
    $ErrorActionPreference = 'Stop'
    if ($Folder.EndsWith('\')) { $Folder += '.' }  # "D:\" stays the root, not the current folder on D:
    $list = $null
    try {
        $arguments = @('merge', $Folder, '--csv', $Csv) + @(if ($Changes) { '--changes' })
        if (@($Computer).Count -gt 0) {
            $list = Join-Path ([System.IO.Path]::GetTempPath()) "rpsettings-pcs-$PID-$([guid]::NewGuid().ToString('N')).txt"
            [System.IO.File]::WriteAllLines($list, [string[]]@($Computer), (New-Object System.Text.UTF8Encoding($true)))
            $arguments += "@$list"
        }
        # Its messages (standard error) are lines like any other: under 'Stop',
        # Windows PowerShell 5.1 would make the first one end this script.
        $ErrorActionPreference = 'Continue'
        $global:LASTEXITCODE = -1  # what stays when it cannot be started at all
        $said = @(& $Exe @arguments 2>&1 | ForEach-Object { "$_" })
        $code = $LASTEXITCODE
        $ErrorActionPreference = 'Stop'
        $said | Write-Verbose
        # 0: every PC reported; 1: some PC did not (its row says why); else no table.
        if ($code -ne 0 -and $code -ne 1) { throw "rpsettings merge failed (exit code $code): $($said -join ' ')" }
    } finally {
        if ($list) { Remove-Item -LiteralPath $list -Force -ErrorAction SilentlyContinue }
    }
    Import-Csv -LiteralPath $Csv -Encoding UTF8
}
