// What applying a settings file to one printer does, worked out before
// anything is written: the settings the printer should hold, the update
// command, and what the printer will hold after it (the block the command
// produces, read back). A printer is written only when every setting the file
// names comes out as the file says and nothing the file does not name
// changes. Free of <windows.h>.
#pragma once
#include <cstdint>
#include <vector>

#include "codec.h"
#include "settings_file_pure.h"

enum PlanOutcome {
    PlanWrite,      // send area
    PlanUnchanged,  // the printer already holds what the file says
    PlanRefused,    // see refusal
};

enum PlanRefusal {
    RefuseNone = 0,
    RefuseNotReadable,  // the printer cannot be read and the file does not name every setting
    RefuseNoCustomFeed, // a custom feed row with no custom position (setting)
    RefuseFormatCheck,  // a format the format dialog would refuse (setting, messageId)
    RefuseSwitchFF,     // a switch byte would become 0xFF (the block would read as holding nothing)
    RefuseNotCarried,   // named settings the command cannot carry as they are (notCarried)
    RefuseCollateral,   // only settings the file does not name would change (collateral)
};

struct SettingChange {
    int setting;
    int32_t from;
    int32_t to;
};

struct ApplyPlan {
    PlanOutcome outcome;
    PlanRefusal refusal;
    int setting;    // RefuseNoCustomFeed, RefuseFormatCheck
    int messageId;  // RefuseFormatCheck: the format dialog's message
    PrinterSettings target;     // the printer's settings with the file over them
    PrinterSettings predicted;  // what the printer holds after the command
    std::vector<SettingChange> changes;     // settings the file names that change: now (or factory) -> result
    std::vector<SettingChange> notCarried;  // named settings: wanted -> result
    std::vector<SettingChange> collateral;  // settings the file does not name: now -> result
    uint8_t area[kCommandAreaSize];       // PlanWrite: the update command
};

// current: the printer's settings, or null when the printer cannot be read
// (then only a file that names every setting can be written, over the factory
// settings, as the panel writes the defaults it shows).
ApplyPlan PlanApply(const ParsedSettings& parsed, const PrinterSettings* current);

// The settings whose value read back after the write differs from the plan's.
std::vector<SettingChange> VerifyApplied(const ApplyPlan& plan, const PrinterSettings& readBack);
