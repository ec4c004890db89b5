# Shared by the site scripts: run rpsettings with --json and turn its output
# into one table row per printer and setting. Dot-source it:
#   . (Join-Path $PSScriptRoot 'SiteTable.ps1')

# Runs rpsettings and returns the computer, the exit code, the JSON text and
# the messages. Self-contained, so that Invoke-Command can run it on another PC:
#   Invoke-Command -Session $s -ScriptBlock ${function:Invoke-RpSettingsJson} -ArgumentList ...
# The JSON is UTF-8 and the messages Shift-JIS whatever the console's code
# page, so both are read through redirected streams with their own encodings.
function Invoke-RpSettingsJson {
    param([string] $Exe, [string[]] $Arguments, [string] $Password)
    if ($Password) { $env:RPSETTINGS_PASSWORD = $Password }  # inherited by rpsettings only
    $info = New-Object System.Diagnostics.ProcessStartInfo
    $info.FileName = $Exe
    # Quoted for the C runtime; a trailing backslash would escape the quote.
    $info.Arguments = ($Arguments | ForEach-Object { '"' + $_.TrimEnd('\') + '"' }) -join ' '
    $info.UseShellExecute = $false
    $info.RedirectStandardOutput = $true
    $info.RedirectStandardError = $true
    $info.StandardOutputEncoding = [System.Text.Encoding]::UTF8
    $info.StandardErrorEncoding = [System.Text.Encoding]::GetEncoding(932)
    $process = [System.Diagnostics.Process]::Start($info)
    $errors = $process.StandardError.ReadToEndAsync()  # both streams drained, neither blocks
    $json = $process.StandardOutput.ReadToEnd()
    $process.WaitForExit()
    [pscustomobject]@{
        Computer = $env:COMPUTERNAME
        Time     = (Get-Date).ToString('s')
        ExitCode = $process.ExitCode
        Json     = $json
        Errors   = $errors.Result
    }
}

# One row per printer and setting from results of Invoke-RpSettingsJson (or
# the files Check-Nightly.ps1 writes): for check the printer's value and the
# file's, for apply the value before and after. A printer with nothing to show
# gets one row without a key; a PC without a JSON document one row with its
# exit code and messages.
function ConvertTo-SiteTable {
    param([Parameter(ValueFromPipeline = $true)] $Result)
    process {
        $doc = $null
        if ($Result.Json) { try { $doc = ConvertFrom-Json -InputObject $Result.Json -ErrorAction Stop } catch { } }
        if (-not $doc) {
            return [pscustomobject]@{ Computer = $Result.Computer; Time = $Result.Time; ExitCode = $Result.ExitCode
                Printer = ''; Outcome = 'no_result'; Key = ''; PrinterValue = ''; FileValue = ''; Message = $Result.Errors }
        }
        $apply = $doc.command -eq 'apply'
        foreach ($printer in $doc.printers) {
            $settings = @(@($printer.differences) + @($printer.changes) | Where-Object { $_ })
            if ($settings.Count -eq 0) { $settings = @($null) }
            foreach ($setting in $settings) {
                [pscustomobject]@{
                    Computer     = $Result.Computer
                    Time         = $Result.Time
                    ExitCode     = $Result.ExitCode
                    Printer      = $printer.name
                    Outcome      = $printer.outcome
                    Key          = $setting.key
                    PrinterValue = $(if ($apply) { $setting.from } else { $setting.value })
                    FileValue    = $(if ($apply) { $setting.to } else { $setting.fileValue })
                    Message      = $printer.message
                }
            }
        }
    }
}
