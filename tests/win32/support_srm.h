// Helpers for Win32 tests that work with the stand-in SRM: running srmctl.exe,
// simulated printers that clean up after themselves, pumping messages until a
// condition holds, and a window that records what is posted to it.
//
// Tests of one run share one Wine prefix and may run in parallel: every
// SimulatedPrinter has a name unique to its process, and by default it is not
// registered with the spooler (so that it never shows up in another test's
// printer discovery).
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "srm_sim.h"
#include "support_seams.h"

// ---- srmctl.exe ----

struct SrmctlResult {
    DWORD exitCode;      // 0xFFFFFFFF when it could not be run or did not end in time
    std::string output;  // standard output and standard error together
};
// Runs srmctl.exe from the directory of the test executable with the given
// arguments (each quoted as needed) and waits for it, at most 20 seconds.
SrmctlResult RunSrmctl(const std::vector<std::string>& arguments);
// The same for another program beside the test executable (rpsettings.exe),
// or at a full path.
SrmctlResult RunTool(const char* program, const std::vector<std::string>& arguments);
// The output lines, without line ends.
std::vector<std::string> OutputLines(const std::string& output);
// Upper-case hexadecimal, two digits a byte: how srmctl prints a block.
std::string Hex(const std::vector<uint8_t>& bytes);

// ---- Simulated printers ----

// A name no other test process uses: "<label>-<process id>-<counter>".
std::string UniquePrinterName(const std::string& label);

enum class SpoolerEntry { None, Register };

// A simulated printer, ready and with the factory block, removed (with its
// spooler entry) on destruction. With SpoolerEntry::Register it is also a
// spooler printer of the given driver, and the suite's model key exists.
class SimulatedPrinter {
public:
    explicit SimulatedPrinter(const std::string& label = "SRM", SpoolerEntry spooler = SpoolerEntry::None,
                              const std::string& driver = kSrmDefaultDriver, const std::string& port = "LPT1:",
                              const std::string& detail = "");
    // Takes over a printer that exists already (for example made with srmctl).
    static SimulatedPrinter Adopt(const std::string& name);
    ~SimulatedPrinter();
    SimulatedPrinter(SimulatedPrinter&& other) noexcept;
    SimulatedPrinter(const SimulatedPrinter&) = delete;
    SimulatedPrinter& operator=(const SimulatedPrinter&) = delete;
    SimulatedPrinter& operator=(SimulatedPrinter&&) = delete;

    const std::string& Name() const { return name_; }
    const char* CName() const { return name_.c_str(); }
    DWORD AddResult() const { return addResult_; }  // 0 when the printer was made

    // Steering; each returns the stand-in's result (0 for success).
    DWORD SetExtStatus(DWORD value) const;
    DWORD SetStatus(DWORD s1, DWORD s2, DWORD s3) const;
    DWORD SetAuthority(DWORD value) const;
    DWORD SetReportedName(const std::string& name) const;
    DWORD SetPort(const std::string& port, const std::string& detail) const;
    DWORD SetBlock(const uint8_t* block) const;  // 260 bytes
    DWORD Fail(const char* function, DWORD count) const;
    DWORD SetWriteStatus(DWORD status) const;
    DWORD SetReplyDelay(SrmReplyKind kind, DWORD milliseconds) const;
    DWORD ClearLog() const;

    // What the printer holds now.
    std::vector<uint8_t> Item(const char* item, DWORD size) const;  // empty when it cannot be read
    std::vector<uint8_t> Block() const;
    std::vector<std::vector<uint8_t>> Log() const;  // one 260-byte area per command
    DWORD FaultCount(const char* function) const;

private:
    struct AdoptTag {};
    SimulatedPrinter(AdoptTag, const std::string& name);
    std::string name_;
    DWORD addResult_ = 0;
    bool owned_ = false;
};

// The block a freshly added printer holds.
std::vector<uint8_t> FactoryBlock();

// ---- SRM handle ----

// An SRM handle of a printer, closed on destruction (unless closed already).
class SrmHandle {
public:
    explicit SrmHandle(const std::string& printer);
    ~SrmHandle();
    SrmHandle(const SrmHandle&) = delete;
    SrmHandle& operator=(const SrmHandle&) = delete;
    DWORD Get() const { return handle_; }
    DWORD OpenResult() const { return openResult_; }
    DWORD Close();  // the result of CloseManager; the handle is forgotten on success

private:
    DWORD handle_ = 0;
    DWORD openResult_ = 0;
};

// ---- Messages ----

// PumpPending and PumpUntil: support_seams.h.

// A hidden window that records every message from WM_USER upward posted or
// sent to it.
class MessageRecorder {
public:
    struct Entry {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        DWORD tick;  // GetTickCount when it was dispatched
    };

    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND Window() const { return window_; }
    int Count(UINT message) const;
    const std::vector<Entry>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }
    // Pumps until at least count messages of that number have come; false at the deadline.
    bool WaitFor(UINT message, DWORD timeoutMs, int count = 1);
    // Posts a marker message to itself and pumps until it comes back: every
    // message posted to the window before has been recorded by then.
    bool Drain(DWORD timeoutMs = 2000);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::vector<Entry> entries_;
};
