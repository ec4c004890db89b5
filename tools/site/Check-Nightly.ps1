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
    # A local file holding the suite's panel password (first line), that only
    # Administrators and SYSTEM may read; any other reader and it is not used.
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
        $acl = Get-Acl -LiteralPath $PasswordFile
        $sidType = [System.Security.Principal.SecurityIdentifier]
        foreach ($rule in $acl.GetAccessRules($true, $true, $sidType)) {
            if ($rule.AccessControlType -eq 'Allow' -and @('S-1-5-32-544', 'S-1-5-18') -notcontains $rule.IdentityReference.Value) {
                throw "$PasswordFile may be read by $($rule.IdentityReference): not used."
            }
        }
        $line = Get-Content -LiteralPath $PasswordFile -TotalCount 1
        if ($line) { $password = ConvertTo-SecureString -String "$line" -AsPlainText -Force }
        $line = $null
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
