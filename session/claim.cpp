// One panel per printer: a named file mapping marks the printer as served for
// as long as this process holds it, and beside it a named pipe marks it for
// every logon session of the machine.
//
// The mapping's name lives in the namespace of the session that created it:
// a panel in an operator's session and a run of rpsettings in session 0 (a
// remote shell, a scheduled task as SYSTEM) or two operators' panels on one
// terminal server would not see each other's mapping. A "Global\" object
// needs a privilege ordinary users lack, so the panel keeps the mapping and
// also creates the pipe: pipe names are one namespace for the whole machine,
// any user may create one, only the first instance of a name can be created
// with FILE_FLAG_FIRST_PIPE_INSTANCE, and the system removes it with the last
// handle, so a panel that ends or is killed frees the printer. Nobody ever
// connects to the pipe: it only marks the printer as served.
#include <windows.h>
#include <strsafe.h>

#include <string>
#include <vector>

#include "claim.h"
#include "scoped.h"
#include "shell_pure.h"

namespace {

constexpr DWORD kMappingSize = 32;

// The pipe of each claim this process holds, found by the claim's mapping
// handle; rpsettings claims from several threads at once.
struct SessionClaim {
    HANDLE mapping;
    HANDLE pipe;
    std::string pipeName;
};

class SessionClaims {
public:
    SessionClaims() { InitializeCriticalSection(&lock_); }
    ~SessionClaims() { DeleteCriticalSection(&lock_); }
    SessionClaims(const SessionClaims&) = delete;
    SessionClaims& operator=(const SessionClaims&) = delete;

    // Takes the pipe for a mapping just created (no other handle of it exists
    // in this session). A pipe this process still holds for the same name
    // belongs to an earlier claim whose mapping was closed without
    // ReleaseClaim: it passes to the new claim.
    ClaimResult Take(const std::string& pipeName, HANDLE mapping) {
        Lock hold(&lock_);
        DropStale(mapping);
        for (SessionClaim& claim : claims_) {
            if (claim.pipeName != pipeName) continue;
            claim.mapping = mapping;
            return ClaimTaken;
        }
        HANDLE pipe = CreatePipe(pipeName);
        if (pipe == INVALID_HANDLE_VALUE) return PipeRefusal(GetLastError());
        if (pipe) claims_.push_back({mapping, pipe, pipeName});
        return ClaimTaken;
    }

    void Release(HANDLE mapping) {
        Lock hold(&lock_);
        DropStale(mapping);
    }

private:
    class Lock {
    public:
        explicit Lock(CRITICAL_SECTION* section) : section_(section) { EnterCriticalSection(section_); }
        ~Lock() { LeaveCriticalSection(section_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CRITICAL_SECTION* section_;
    };

    // The claim recorded under a mapping handle value is gone: the value is
    // being released, or was closed and given to a new handle.
    void DropStale(HANDLE mapping) {
        for (size_t i = 0; i < claims_.size(); ++i) {
            if (claims_[i].mapping != mapping) continue;
            CloseHandle(claims_[i].pipe);
            claims_.erase(claims_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }

    // The first instance of the pipe, or INVALID_HANDLE_VALUE; null where the
    // system has no pipes to create (the Windows 95 family: one session only).
    static HANDLE CreatePipe(const std::string& name) {
        const DWORD open = PIPE_ACCESS_INBOUND | kFirstPipeInstance;
        const DWORD mode = PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_NOWAIT;
        HANDLE pipe = CreateNamedPipeA(name.c_str(), open, mode, 1, 0, 0, 0, nullptr);
        // Systems before Windows 2000 SP2 do not know the first-instance flag;
        // one instance at most still refuses a second creation.
        if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
            pipe = CreateNamedPipeA(name.c_str(), open & ~kFirstPipeInstance, mode, 1, 0, 0, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) return nullptr;
        return pipe;
    }

    // Access denied (the first instance exists, whoever made it) and a busy
    // pipe (its one instance exists) mean that some session serves the printer.
    static ClaimResult PipeRefusal(DWORD error) {
        return error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY ? ClaimHeld : ClaimFailed;
    }

    static constexpr DWORD kFirstPipeInstance = 0x00080000;  // FILE_FLAG_FIRST_PIPE_INSTANCE
    CRITICAL_SECTION lock_;
    std::vector<SessionClaim> claims_;
};

SessionClaims& HeldSessionClaims() {
    static SessionClaims claims;
    return claims;
}

}  // namespace

ClaimResult TryClaimPrinter(LPCSTR printerName, HANDLE* mapping) {
    *mapping = nullptr;
    // A name too long for a kernel object cannot be claimed: cutting it could
    // make two printers share one claim.
    char objectName[kInstanceNameSize];
    char pipeName[kSessionClaimNameSize];
    if (!BuildInstanceName(objectName, sizeof objectName, printerName) ||
        !BuildSessionClaimName(pipeName, sizeof pipeName, printerName))
        return ClaimFailed;
    ScopedHandle created(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, kMappingSize, objectName));
    const DWORD error = GetLastError();
    if (!created.get()) return ClaimFailed;
    if (error == ERROR_ALREADY_EXISTS) return ClaimHeld;  // the new handle closes here
    // Served in no other session either: only then is the printer this process's.
    const ClaimResult acrossSessions = HeldSessionClaims().Take(pipeName, created.get());
    if (acrossSessions != ClaimTaken) return acrossSessions;
    *mapping = created.Release();
    return ClaimTaken;
}

void ReleaseClaim(HANDLE mapping) {
    if (!mapping) return;
    HeldSessionClaims().Release(mapping);
    CloseHandle(mapping);
}
