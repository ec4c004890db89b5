#include "e2e_support.h"

#include <winspool.h>

namespace e2e {

namespace {

// Spooler printers of the served model that are not this run's own.
int ForeignServedPrinters(const std::vector<std::unique_ptr<SimulatedPrinter>>& own) {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return 0;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return 0;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    int foreign = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!info[i].pDriverName || std::string(info[i].pDriverName) != kSrmDefaultDriver) continue;
        bool mine = false;
        for (const auto& printer : own) mine = mine || printer->Name() == info[i].pPrinterName;
        foreign += mine ? 0 : 1;
    }
    return foreign;
}

}  // namespace

std::vector<uint8_t> ExpectedCommand(const std::vector<Patch>& patches) {
    // FS "o" "0", the four switch bytes as low and high nibbles (00 00 02 00),
    // the head fields, then the four stored formats alike.
    std::string command = "\x1Co0,";
    for (uint8_t nibbles : {0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00}) {
        command += static_cast<char>(nibbles);
        if (command.size() % 3 == 0) command += ',';
    }
    command += "0,0,0,0,0,1,40,36,096,66,120,120,046,054,00,0,0,00,00,00,0,";
    for (int format = 1; format <= 4; ++format) command += std::string("66,000,136,120,120,046,054,00") + (format < 4 ? "," : ".");
    std::vector<uint8_t> area(command.begin(), command.end());
    area.resize(260, 0);
    for (const Patch& patch : patches)
        for (size_t i = 0; i < patch.bytes.size(); ++i) area.at(patch.offset + i) = static_cast<uint8_t>(patch.bytes[i]);
    return area;
}

bool ChoosePrinter(const Program& program, const std::string& name) {
    HWND dialog = program.WaitDialog("プリンタの選択");
    HWND list = Child(dialog, 285);
    int row = -1;
    WaitUntil([&] {
        const std::vector<std::string> rows = ListRows(program, list);
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == name) row = static_cast<int>(i);
        return row >= 0;
    });
    if (row < 0 || !ChooseListRow(program, list, row)) return false;
    Click(Child(dialog, 1052));
    return true;
}

Session::Session() = default;

Session::~Session() {
    another_.reset();
    program_.reset();
    printers_.clear();
    if (passwordSet_) SrmSimSetSuiteValue(SrmSuitePassword, nullptr);
}

SimulatedPrinter& Session::AddPrinter(const std::string& label) {
    printers_.emplace_back(new SimulatedPrinter(label, SpoolerEntry::Register));
    EXPECT_EQ(printers_.back()->AddResult(), 0u);
    EXPECT_EQ(ForeignServedPrinters(printers_), 0) << "another served printer is known to the spooler";
    return *printers_.back();
}

Program& Session::Start(const std::string& arguments) {
    program_.reset(new Program(arguments));
    EXPECT_TRUE(program_->Started());
    return *program_;
}

Program& Session::StartAnother(const std::string& arguments) {
    another_.reset(new Program(arguments));
    EXPECT_TRUE(another_->Started());
    return *another_;
}

void Session::SetPassword(const char* password) {
    passwordSet_ = true;
    EXPECT_EQ(SrmSimSetSuiteValue(SrmSuitePassword, password), 0u);
}

Program& Session::StartReady() {
    if (printers_.empty()) AddPrinter();
    Program& program = Start();
    EXPECT_TRUE(program.WaitReady()) << "status: " << program.Status();
    return program;
}

void Session::ChangeSomething() {
    Click(program().Control(kPostcard));
    EXPECT_TRUE(WaitUntil([&] { return program().UpdateEnabled(); }));
}

std::vector<std::string> Session::LogLines() const {
    std::vector<std::string> lines;
    if (printers_.empty()) return lines;
    for (const std::vector<uint8_t>& area : printers_.front()->Log()) lines.push_back(Hex(area));
    return lines;
}

std::vector<std::string> Session::SrmctlLog() const {
    const SrmctlResult log = RunSrmctl({"log", printers_.at(0)->Name()});
    EXPECT_EQ(log.exitCode, 0u) << log.output;
    return OutputLines(log.output);
}

void Session::QuitCleanly() {
    Program& p = program();
    Click(p.Control(kQuit));
    if (WaitUntil([&] { return p.BoxOpen() || !p.Running(); }) && p.Running()) {
        const Box box = p.WaitBox();
        EXPECT_EQ(box.text, ProgramText(kTextQuestionChanged));
        p.Answer(box, IDOK);
    }
    EXPECT_EQ(p.ExitCode(), 0u);
}

}  // namespace e2e
