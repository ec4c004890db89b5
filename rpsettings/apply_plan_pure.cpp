#include "apply_plan_pure.h"

#include "pages_pure.h"
#include "update_command.h"

namespace {

// The settings the printer holds after the command: the command applied to a
// block and read back. Every byte the reader interprets is carried by the
// command, so the block it lands on does not matter.
PrinterSettings PredictResult(const uint8_t area[kCommandAreaSize]) {
    uint8_t block[kSettingsBlockSize] = {1, 4};
    PrinterSettings result = {};
    if (!ApplyUpdateCommand(area, kCommandAreaSize, block) || !SettingsOfBlock(block, &result))
        InvalidateSettings(&result.record);
    return result;
}

// The first custom feed row whose custom position is none.
int MissingCustomFeed(const ParsedSettings& parsed, const PrinterSettings& target) {
    for (int i = 0; i < SettingCount(); ++i) {
        const int custom = CustomSettingOf(i);
        if (custom < 0 || !FileNames(parsed, i)) continue;
        int format;
        if (GetSettingValue(i, target) == FeedCustomRow(SettingAt(i, &format).feedTable) &&
            GetSettingValue(custom, target) == 0)
            return i;
    }
    return -1;
}

// 1 when the numbers of a format (those the format dialog checks) differ.
bool FormatNumbersDiffer(const PrinterSettings& a, const PrinterSettings& b, int format) {
    for (int i = 0; i < SettingCount(); ++i) {
        int of;
        if (SettingAt(i, &of).kind == SettingNumber && of == format && SettingDiffers(i, a, b)) return true;
    }
    return false;
}

// The first format that changes and that the format dialog would refuse.
void CheckFormats(const PrinterSettings* current, ApplyPlan* plan) {
    for (int k = 0; k < 4; ++k) {
        const FormatRecord& f = plan->target.record.formats[k];
        const FormatInputs inputs = {static_cast<uint32_t>(f.pageLength), static_cast<uint32_t>(f.leftMargin),
                                     static_cast<uint32_t>(f.rightMargin), static_cast<uint32_t>(f.cutSheetPosAdjust)};
        if (current && !FormatNumbersDiffer(*current, plan->target, k)) continue;
        const FormatCheck check = CheckFormatInputs(inputs);
        if (check.messageId == 0) continue;
        plan->refusal = RefuseFormatCheck;
        int format = -1;
        for (int i = 0; i < SettingCount() && plan->setting < 0; ++i)
            if (SettingAt(i, &format).formatField && format == k) plan->setting = i;
        plan->messageId = check.messageId;
        return;
    }
}

}  // namespace

ApplyPlan PlanApply(const ParsedSettings& parsed, const PrinterSettings* current) {
    ApplyPlan plan = {};
    plan.outcome = PlanRefused;
    plan.setting = -1;
    if (!current && !FileIsComplete(parsed)) {
        plan.refusal = RefuseNotReadable;
        return plan;
    }
    const PrinterSettings base = current ? *current : DefaultPrinterSettings();
    plan.target = FileOver(parsed, base);
    if (current && SameSettings(plan.target, *current)) {
        plan.outcome = PlanUnchanged;
        plan.predicted = *current;
        return plan;
    }
    plan.setting = MissingCustomFeed(parsed, plan.target);
    if (plan.setting >= 0) {
        plan.refusal = RefuseNoCustomFeed;
        return plan;
    }
    CheckFormats(current, &plan);
    if (plan.refusal != RefuseNone) return plan;
    if (UnsendableSwitchByte(plan.target.record) >= 0) {
        plan.refusal = RefuseSwitchFF;
        return plan;
    }

    uint8_t block[kSettingsBlockSize];
    EncodeSettings(plan.target.record, plan.target.custom, block);
    BuildUpdateCommand(block, plan.area);
    plan.predicted = PredictResult(plan.area);

    for (int i = 0; i < SettingCount(); ++i) {
        const int32_t now = GetSettingValue(i, base);
        const int32_t result = GetSettingValue(i, plan.predicted);
        if (!FileNames(parsed, i)) {
            if (result != now) plan.collateral.push_back({i, now, result});
            continue;
        }
        const int32_t wanted = GetSettingValue(i, plan.target);
        if (result != wanted) plan.notCarried.push_back({i, wanted, result});
        else if (result != now) plan.changes.push_back({i, now, result});
    }
    if (!plan.notCarried.empty()) {
        plan.refusal = RefuseNotCarried;
    } else if (!plan.collateral.empty()) {
        plan.refusal = RefuseCollateral;
    } else {
        plan.outcome = PlanWrite;
    }
    return plan;
}

std::vector<SettingChange> VerifyApplied(const ApplyPlan& plan, const PrinterSettings& readBack) {
    std::vector<SettingChange> wrong;
    for (int i = 0; i < SettingCount(); ++i) {
        const int32_t expected = GetSettingValue(i, plan.predicted);
        const int32_t found = GetSettingValue(i, readBack);
        if (expected != found) wrong.push_back({i, expected, found});
    }
    return wrong;
}
