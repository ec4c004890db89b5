# Run on each PC by a scheduled task (deployed by group policy): checks every
# printer of this PC against the site file, writes the result to
# <OutDir>\<COMPUTERNAME>.json and this PC's change log to
# <OutDir>\<COMPUTERNAME>.jsonl; Merge-NightlyChecks.ps1 reads both.
# Windows PowerShell 5.1 and PowerShell 7.
#
#   powershell.exe -NoProfile -ExecutionPolicy Bypass -File \\srv\rpsettings$\Check-Nightly.ps1
#       -SiteFile \\srv\rpsettings$\site.txt -OutDir \\srv\rpsettings$\checks
#
# rpsettings never waits for a password (its standard input is closed and it
# gets --no-prompt) and is stopped after -TimeoutSeconds. The exit code is
# rpsettings' own; 10 when it could not be started or was stopped; 11 when
# the result could not be written.
[CmdletBinding()]
param(
    [Parameter(Mandatory = $true)] [string] $SiteFile,
    [Parameter(Mandatory = $true)] [string] $OutDir,
    [string] $Exe = 'rpsettings.exe',  # its full path where it is not on PATH
    # A local file holding the suite's panel password (its first line, UTF-8,
    # with or without its mark), owned by Administrators or SYSTEM, that only
    # they may read; any other owner or reader and it is not used.
    [string] $PasswordFile,
    [ValidateRange(1, 86400)] [int] $TimeoutSeconds = 900,
    [ValidateRange(0, 32)] [int] $Jobs = 0,
    [ValidateRange(0, 86400)] [int] $PrinterTimeout = 0,
    [string] $ChangeLog = ''  # default <program data>\rpsettings\changes.jsonl
)
$ErrorActionPreference = 'Stop'
. (Join-Path $PSScriptRoot 'SiteTable.ps1')
# Full paths: .NET and rpsettings do not know PowerShell's current location.
$SiteFile = $ExecutionContext.SessionState.Path.GetUnresolvedProviderPathFromPSPath($SiteFile)
$OutDir = $ExecutionContext.SessionState.Path.GetUnresolvedProviderPathFromPSPath($OutDir)

$reason = ''
$password = $null
if ($PasswordFile) {
    try {
        $PasswordFile = $ExecutionContext.SessionState.Path.GetUnresolvedProviderPathFromPSPath($PasswordFile)
        $acl = Get-Acl -LiteralPath $PasswordFile
        $sidType = [System.Security.Principal.SecurityIdentifier]
        $trusted = @('S-1-5-32-544', 'S-1-5-18')  # Administrators, SYSTEM
        $owner = $acl.GetOwner($sidType)
        if ($trusted -notcontains $owner.Value) {  # its owner may change what it says and who reads it
            throw "$PasswordFile is owned by $($owner.Value), not by Administrators or SYSTEM: not used."
        }
        foreach ($rule in $acl.GetAccessRules($true, $true, $sidType)) {
            if ($rule.AccessControlType -eq 'Allow' -and $trusted -notcontains $rule.IdentityReference.Value) {
                throw "$PasswordFile may be read by $($rule.IdentityReference): not used."
            }
        }
        # The same text in Windows PowerShell 5.1 and PowerShell 7 (Get-Content
        # decodes a file without a mark as ANSI in one, UTF-8 in the other):
        # UTF-8, its mark dropped; only the line end is cut, blanks belong to it.
        $line = ([System.IO.File]::ReadAllText($PasswordFile, (New-Object System.Text.UTF8Encoding($false))) -split '\r?\n', 2)[0]
        if ($line) { $password = ConvertTo-SecureString -String $line -AsPlainText -Force }
        $line = $null  # one reference fewer: a .NET string cannot be wiped
    } catch {
        $reason = "Password file: $($_.Exception.Message) "
    }
}

$run = @{ Exe = $Exe; Command = 'check'; SiteFile = $SiteFile; SiteHash = ''; RemoveSiteFile = $false; Jobs = $Jobs
    PrinterTimeout = $PrinterTimeout; TimeoutSeconds = $TimeoutSeconds; Password = $password }
$result = Invoke-RpSettingsJson -Run $run
$result.Errors = $reason + $result.Errors
$code = if ("$($result.ExitCode)" -ne '') { [int]$result.ExitCode } else { 10 }
try {
    Write-RunResult -Result $result -Path (Join-Path $OutDir "$env:COMPUTERNAME.json")
    # The change log goes beside it, whole (under a temporary name, then renamed).
    if (-not $ChangeLog) { $ChangeLog = Join-Path ([Environment]::GetFolderPath('CommonApplicationData')) 'rpsettings\changes.jsonl' }
    if (Test-Path -LiteralPath $ChangeLog) {
        $target = Join-Path $OutDir "$env:COMPUTERNAME.jsonl"
        Copy-Item -LiteralPath $ChangeLog -Destination "$target.$PID.tmp" -Force
        Move-FileReplacing -From "$target.$PID.tmp" -To $target
    }
} catch {
    Write-Error "Result not written: $($_.Exception.Message)" -ErrorAction Continue
    $code = 11
}
exit $code
