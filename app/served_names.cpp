// The names the served printer goes by. A printer renamed while the panel
// serves it keeps its claim under both names for as long as the spooler
// still lists it under the former one: a second start, rpsettings or another
// panel's change of printer under either name finds it held.
#include <windows.h>

#include "app.h"
#include "messages.h"
#include "text_pure.h"

namespace {

// The former name and its claim; both null when the printer has one name.
char* formerName = nullptr;
HANDLE formerClaim = nullptr;

void LetFormerNameGo() {
    ReleaseClaim(formerClaim);
    formerClaim = nullptr;
    if (formerName) LocalFree(formerName);
    formerName = nullptr;
}

}  // namespace

void HoldClaimUnderNewName(const char* former) {
    if (!CurrentPrinter || !InstanceMapping || !former || TextEquals(former, CurrentPrinter->name)) return;
    HANDLE mapping = nullptr;
    if (formerClaim && TextEquals(formerName, CurrentPrinter->name)) {
        // Back to the former name, which is held already.
        mapping = formerClaim;
        formerClaim = nullptr;
    } else if (TryClaimPrinter(CurrentPrinter->name, &mapping) != ClaimTaken) {
        // Another program holds the new name: the claim stays where it is.
        return;
    }
    char* copy = DuplicateString(former);
    if (!formerClaim && copy) {
        formerClaim = InstanceMapping;
        if (formerName) LocalFree(formerName);
        formerName = copy;
    } else {
        // A name between two renames was never the spooler's: only the first is kept.
        ReleaseClaim(InstanceMapping);
        if (copy) LocalFree(copy);
    }
    InstanceMapping = mapping;
}

PrinterEntry* SettleServedEntry(PrinterEntry* current, PrinterEntry* underFormerName, const char* name) {
    if (!underFormerName || current) {
        // The spooler has taken the new name too (or the former one now is
        // another printer's): the former claim can go.
        LetFormerNameGo();
        return current;
    }
    // Renamed for the suite only: the spooler's entry is the served printer,
    // shown under its new name.
    char* copy = DuplicateString(name);
    if (!copy) return current;
    LocalBlock<char> former(ReplacePrinterName(underFormerName, copy));
    return underFormerName;
}

int IsFormerName(const char* name) {
    return formerName && TextEquals(formerName, name) ? 1 : 0;
}

int IsServedName(const char* name) {
    return (CurrentPrinter && TextEquals(CurrentPrinter->name, name)) || IsFormerName(name) ? 1 : 0;
}

void ReleaseClaims() {
    ReleaseClaim(InstanceMapping);
    InstanceMapping = nullptr;
    LetFormerNameGo();
}
