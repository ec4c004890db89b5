#include "status_pure.h"

#include <cstring>
#include <string>

#include "text_pure.h"

StatusVerdict EvaluateStatusBits(uint32_t extStatus, const uint32_t status[3], uint32_t authority) {
    const uint32_t s2 = status[1];
    const uint32_t s3 = status[2];
    StatusVerdict v = {1, 1, 1, 0, 0, -1};
    auto unusable = [&v](int textId) {
        v.usable = 0;
        v.readAllowed = 0;
        v.updateAllowed = 0;
        v.textId = textId;
        return v;
    };

    if (s2 & kS2Unsupported) return unusable(kTextUnsupported);
    if (!(extStatus & kExtCommunication) || (s2 & kS2NoCommunication)) {
        return unusable(kTextNoCommunication);
    }
    if (!(authority & kAuthorityUpdate)) {
        v.updateAllowed = 0;
        if (!(authority & kAuthorityRead)) return unusable(kTextNeither);
        v.textId = kTextReadOnly;
    }
    if ((s2 & kS2CannotRead) || !(extStatus & kExtReadable)) {
        v.readAllowed = 0;
        if (!(authority & kAuthorityUpdate)) return unusable(kTextNeither);
        v.textId = kTextUpdateOnly;
    }
    if ((s2 & kS2Busy) || (s3 & kS3Busy)) {
        v.printerNotReady = 1;
        v.textId = kTextNotReady;
    }
    if (v.printerNotReady == 0) {
        if ((s3 & kS3PrintEnableSwitch) && s2 == 0) {
            v.textId = kTextPrintEnableSwitch;
            v.printerNotReady = 1;
            v.switchFlag = 0;
        } else {
            v.switchFlag = 1;
        }
    }
    if (v.textId == 0) v.textId = kTextReadUpdate;
    return v;
}

int OverlayIconFor(int updateAllowed, int readAllowed) {
    if (updateAllowed == 0 && readAllowed == 0) return 144;
    if (updateAllowed == 0 && readAllowed == 1) return 142;
    if (updateAllowed == 1 && readAllowed == 0) return 143;
    return 0;
}

int StatusNeedsShowing(const StatusFlags& now, const char* text, const StatusFlags& last,
                       const char* lastText) {
    if (now.printerNotReady == 1 || now.readPending == 1 || now.writePending == 1) return 1;
    const bool same = now.updateAllowed == last.updateAllowed &&
                      now.readAllowed == last.readAllowed &&
                      now.printerNotReady == last.printerNotReady &&
                      now.readPending == last.readPending &&
                      now.writePending == last.writePending &&
                      now.switchFlag == last.switchFlag &&
                      std::strcmp(TextOrEmpty(text), TextOrEmpty(lastText)) == 0;
    return same ? 0 : 1;
}

int ChooseStatusLine(const StatusFlags& flags) {
    if (flags.readAllowed == 1 && flags.printerNotReady != 1 && flags.readPending == 1) {
        return kTextReading;
    }
    if (flags.updateAllowed == 1 && flags.printerNotReady != 1 && flags.writePending == 1) {
        return kTextUpdating;
    }
    return 0;
}

const char* NextChar932(const char* text) {
    if (*text == '\0') return text;
    if (IsLeadByte932(static_cast<unsigned char>(text[0])) && text[1] != '\0') return text + 2;
    return text + 1;
}

int FitTextCore(const char* text, const char* ellipsis, long width, char* out, size_t outSize,
                TextMeasure measure, void* context, NextCharacter next) {
    if (width <= 0 || text == nullptr || out == nullptr || outSize == 0) return 0;
    if (ellipsis == nullptr) ellipsis = "";
    const size_t length = std::strlen(text);
    if (length == 0) {
        out[0] = '\0';
        return 1;
    }

    long extent = 0;
    if (!measure(context, text, length, &extent)) {
        out[0] = '\0';
        return 0;
    }
    if (extent <= width && length < outSize) {
        std::memcpy(out, text, length + 1);
        return 1;
    }

    const size_t ellipsisLength = std::strlen(ellipsis);
    long ellipsisExtent = 0;
    if (ellipsisLength >= outSize || !measure(context, ellipsis, ellipsisLength, &ellipsisExtent) ||
        ellipsisExtent > width) {
        out[0] = '\0';
        return 0;
    }
    std::memcpy(out, ellipsis, ellipsisLength + 1);

    // Candidates: the first k whole characters and the ellipsis, for every k
    // short of the whole text, while they fit the width and the buffer.
    std::string candidate;
    candidate.reserve(length + ellipsisLength);
    const char* end = text + length;
    for (const char* p = text;;) {
        const char* q = next(p);
        if (q <= p || q >= end) break;  // no progress, or q would take the last character
        const size_t prefix = static_cast<size_t>(q - text);
        if (prefix + ellipsisLength >= outSize) break;
        candidate.assign(text, prefix);
        candidate.append(ellipsis, ellipsisLength);
        long candidateExtent = 0;
        if (!measure(context, candidate.data(), candidate.size(), &candidateExtent)) break;
        if (candidateExtent > width) break;
        std::memcpy(out, candidate.c_str(), candidate.size() + 1);
        if (candidateExtent == width) break;
        p = q;
    }
    return 1;
}
