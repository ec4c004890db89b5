// The panel's claim of a printer, taken while rpsettings writes it, and beside
// it a mark that says the claim is this tool's, so that another run of it can
// say who holds it.
#pragma once
#include <memory>
#include <string>

#include "claim.h"
#include "scoped.h"

namespace rps {

class ToolClaim {
public:
    // Empty when taken; else why not.
    std::string Take(const char* printer);

private:
    std::unique_ptr<ScopedClaim> claim_;
    std::unique_ptr<ScopedHandle> mark_;
};

}  // namespace rps
