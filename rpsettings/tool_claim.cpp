// The claim rpsettings holds on a printer while it writes.
#include "tool_claim.h"

#include "messages.h"
#include "resource.h"
#include "rpsettings_ids.h"
#include "shell_pure.h"
#include "tool_output.h"

namespace rps {

namespace {

// The name of the mark beside a printer's claim.
std::string MarkName(const char* printer) {
    char name[kInstanceNameSize];
    BuildInstanceName(name, sizeof name, printer);
    return std::string(name) + ".rpsettings";
}

}  // namespace

std::string ToolClaim::Take(const char* printer) {
    HANDLE mapping = nullptr;
    switch (TryClaimPrinter(printer, &mapping)) {
    case ClaimTaken:
        claim_.reset(new ScopedClaim(mapping));
        mark_.reset(new ScopedHandle(CreateEventA(nullptr, TRUE, FALSE, MarkName(printer).c_str())));
        return "";
    case ClaimHeld: {
        ScopedHandle other(OpenEventA(SYNCHRONIZE, FALSE, MarkName(printer).c_str()));
        return Text(other.get() ? IDS_RPS_HELD_BY_TOOL : IDS_ALREADY_RUNNING);
    }
    case ClaimFailed: break;
    }
    return Text(IDS_MAPPING_FAILED);
}

}  // namespace rps
