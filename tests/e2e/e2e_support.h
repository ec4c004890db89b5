// What the journeys and the fault matrix share: one run of the real program
// against simulated printers of the spooler, and the update command a change
// must give, written out independently of the program's encoder.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "support_srm.h"

namespace e2e {

// Ids of the program's texts, controls and commands that the tests name.
enum : UINT {
    kTextReady = 93, kTextReadOnly = 94, kTextReading = 90, kTextWriting = 91, kTextUnknown = 113,
    kTextQuestionChanged = 67, kTextQuitUnfinished = 69, kTextPanelEnds = 76, kTextRetryWrite = 83,
    kTextBusy = 92, kTextNoRights = 127, kTextSrmNotOpened = 102, kTextReadFailed = 103,
    kTextWriteFailed = 109, kTextExtStatusFailed = 110, kTextStatusFailed = 84, kTextAuthorityFailed = 86,
    kTextNameFailed = 116, kTextNotifyFailed = 114, kTextPortChanged = 118, kTextTitle = 3,
    kTextUnusable = 96, kTextUpdateOnly = 95, kTextAlreadyRunning = 70, kTextRemoved = 121,
};
enum : int {
    kUpdateQuit = 1050, kQuit = 8, kUpdate = 12321, kPortText = 279, kPostcard = 1169,
    kShowDefaults = 280, kRead = 282, kChangePrinter = 283, kHelpMode = 1029, kPrintersChanged = 1124, kCutSheet = 1323,
    kFormatFrontFeed = 1330,
};

// One byte-range of the command that differs from the factory settings' command.
struct Patch {
    size_t offset;
    std::string bytes;
};

// The 260-byte command area the factory settings give, with the patches applied.
std::vector<uint8_t> ExpectedCommand(const std::vector<Patch>& patches = {});

// In the selection dialog: chooses the row of that printer and presses OK.
bool ChoosePrinter(const Program& program, const std::string& name);

// One run: printers made known to the system as the suite's installation
// would, the program started against them, everything removed at the end
// (the program first).
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    SimulatedPrinter& AddPrinter(const std::string& label = "E2E");
    SimulatedPrinter& Printer(size_t index = 0) { return *printers_.at(index); }
    Program& Start(const std::string& arguments = std::string());
    Program& StartAnother(const std::string& arguments = std::string());
    Program& program() { return *program_; }
    // The panel password of the suite, removed again at the end.
    void SetPassword(const char* password);

    // Start with one printer until its settings are shown.
    Program& StartReady();
    // A change on the first page that the panel may write (postcard mode on).
    void ChangeSomething();
    // Commands the printer received, as hexadecimal lines: read through the
    // stand-in's control API, or as `srmctl log` prints them.
    std::vector<std::string> LogLines() const;
    std::vector<std::string> SrmctlLog() const;
    // Ends the program with its quit button; a question about unsent changes
    // is answered OK. The program must end with exit code 0 and leave no box.
    void QuitCleanly();

private:
    std::vector<std::unique_ptr<SimulatedPrinter>> printers_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<Program> another_;
    bool passwordSet_ = false;
};

}  // namespace e2e
