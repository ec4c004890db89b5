// The claim of a printer: one program at a time serves it, in any logon
// session of the machine.
#pragma once
#include <windows.h>

// Claims a printer without a word to the user: ClaimTaken puts the mapping
// (let go with ReleaseClaim) into *mapping; ClaimHeld when a panel (or
// another program) serves the printer in this or any other logon session;
// ClaimFailed when no claim can be made.
enum ClaimResult { ClaimTaken, ClaimHeld, ClaimFailed };
ClaimResult TryClaimPrinter(LPCSTR printerName, HANDLE* mapping);
// Lets a claim go: the mapping and the mark every session sees. Null is nothing.
void ReleaseClaim(HANDLE mapping);
// A claim owned by a scope, let go with ReleaseClaim.
class ScopedClaim {
public:
    explicit ScopedClaim(HANDLE mapping = nullptr) : mapping_(mapping) {}
    ~ScopedClaim() { ReleaseClaim(mapping_); }
    ScopedClaim(const ScopedClaim&) = delete;
    ScopedClaim& operator=(const ScopedClaim&) = delete;
    HANDLE get() const { return mapping_; }
    HANDLE Release() {
        HANDLE mapping = mapping_;
        mapping_ = nullptr;
        return mapping;
    }

private:
    HANDLE mapping_;
};
