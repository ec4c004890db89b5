// The status display in a real window: the status text and when it is
// renewed, the status picture with its overlay per flags, twenty thousand
// redraws without running out of GDI objects, the evaluation's texts and its
// unusable branch through the message-box seam, and text fitting with a real
// font. Literals are compiled to Shift-JIS like the program's.
#include <gtest/gtest.h>
#include <windows.h>
#include <strsafe.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "status.h"
#include "support_seams.h"

namespace {

// ---- A stand-in for the panel: frame 1061, picture 277, status text 281 ----

int drawCount = 0;
int setTextCount = 0;
WNDPROC staticProcedure = nullptr;

LRESULT CALLBACK TestPanelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM && wParam == IDC_STATUSPICTURE) {
        ++drawCount;
        DrawStatusPicture(window, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK CountingStaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) ++setTextCount;
    return CallWindowProcA(staticProcedure, window, message, wParam, lParam);
}

constexpr char kPanelClass[] = "StatusTestPanel";
// At 96 dpi the 45 x 45 picture centres the 35 x 35 bitmap at (5, 5) and
// the 32 x 32 overlay over the bitmap's middle at (6, 6).
constexpr int kOverlayOrigin = 6;
constexpr int kBitmapOrigin = 5;

class TestPanel {
public:
    TestPanel() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = TestPanelProcedure;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            windowClass.lpszClassName = kPanelClass;
            windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
            registered = RegisterClassA(&windowClass) != 0;
        }
        window = CreateWindowExA(WS_EX_TOPMOST, kPanelClass, "status", WS_POPUP | WS_VISIBLE, 0, 0, 420, 120,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 50, 50, window,
                                reinterpret_cast<HMENU>(IDC_STATUSFRAME), nullptr, nullptr);
        picture = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_OWNERDRAW | BS_NOTIFY,
                                  13, 13, 45, 45, window, reinterpret_cast<HMENU>(IDC_STATUSPICTURE), nullptr,
                                  nullptr);
        text = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 70, 10, 340, 50, window,
                               reinterpret_cast<HMENU>(IDC_STATUSTEXT), nullptr, nullptr);
        staticProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingStaticProcedure)));
        UpdateWindow(window);
    }
    ~TestPanel() {
        if (window) DestroyWindow(window);
    }
    TestPanel(const TestPanel&) = delete;
    TestPanel& operator=(const TestPanel&) = delete;

    std::string Text() const {
        char buffer[kTextSize] = "";
        GetWindowTextA(text, buffer, sizeof buffer);
        return buffer;
    }
    // Repaints the picture at once (WM_PAINT, then WM_DRAWITEM to the panel).
    void Redraw() const { RedrawWindow(picture, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }
    COLORREF PicturePixel(int x, int y) const {
        HDC dc = GetDC(picture);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(picture, dc);
        return colour;
    }
    bool PictureInvalidated() const {
        RECT update = {};
        return GetUpdateRect(picture, &update, FALSE) != FALSE;
    }
    void ValidatePicture() const { ValidateRect(picture, nullptr); }

    HWND window = nullptr;
    HWND frame = nullptr;
    HWND picture = nullptr;
    HWND text = nullptr;
};

// ---- The message-box seam ----

// What 281 showed as each box came up.
std::string StatusControlText() {
    char shown[kTextSize] = "";
    if (PanelWindow) GetWindowTextA(GetDlgItem(PanelWindow, IDC_STATUSTEXT), shown, sizeof shown);
    return shown;
}

std::string Text(UINT id) {
    char buffer[kTextSize] = "";
    LoadText(id, buffer, sizeof buffer);
    return buffer;
}

char printerName[] = "StatusTestPrinter";
PrinterEntry testPrinter = {printerName, nullptr, nullptr, nullptr};

void SetFlags(int update, int read, int notReady, int readPending, int writePending) {
    UpdateAllowed = update;
    ReadAllowed = read;
    PrinterNotReady = notReady;
    ReadPending = readPending;
    WritePending = writePending;
}

// One panel for the whole suite: without a window manager, Wine waits up to
// two seconds for every visible window that goes away.
class StatusDisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { panelWindow = new TestPanel; }
    static void TearDownTestSuite() {
        delete panelWindow;
        panelWindow = nullptr;
    }
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        recorder.onBox = [this](const seams::RecordedBox&) { statusShown.push_back(StatusControlText()); };
        CurrentPrinter = &testPrinter;
        MultiplePrinters = 1;
        SwitchFlag = 1;
        SetFlags(1, 1, 0, 0, 0);
        PanelWindow = panel.window;
        // A state no evaluation produces, so that the next one is shown.
        StringCchCopyA(StatusText, sizeof StatusText, "(test start)");
        ShowStatus(panel.text);
        StatusText[0] = '\0';
    }
    void TearDown() override {
        CurrentPrinter = nullptr;
        PanelWindow = nullptr;
    }
    static TestPanel* panelWindow;
    const TestPanel& panel = *panelWindow;
    seams::BoxRecorder recorder;
    std::vector<seams::RecordedBox>& boxes = recorder.boxes;
    std::vector<std::string> statusShown;  // StatusControlText() as each box came up
};
TestPanel* StatusDisplayTest::panelWindow = nullptr;

// ---- ShowStatus ----

TEST_F(StatusDisplayTest, ShowStatusRenewsOnlyWhatChangedOrIsGoingOn) {
    const std::string reading = Text(90);
    const std::string updating = Text(91);
    ASSERT_FALSE(reading.empty());
    ASSERT_FALSE(updating.empty());

    struct Step {
        const char* label;
        std::function<void()> change;
        bool shown;
        std::string text;  // 281 afterwards
    };
    const std::vector<Step> steps = {
        {"a new text is shown", [] { StringCchCopyA(StatusText, sizeof StatusText, "status one"); }, true, "status one"},
        {"nothing changed: skipped", [] {}, false, "status one"},
        {"the text changed", [] { StringCchCopyA(StatusText, sizeof StatusText, "status two"); }, true, "status two"},
        {"unchanged again: skipped", [] {}, false, "status two"},
        {"reading shows 90", [] { ReadPending = 1; }, true, reading},
        {"still reading: shown again", [] {}, true, reading},
        {"read done", [] { ReadPending = 0; }, true, "status two"},
        {"writing shows 91", [] { WritePending = 1; }, true, updating},
        {"still writing: shown again", [] {}, true, updating},
        {"write done", [] { WritePending = 0; }, true, "status two"},
        {"not ready: always shown", [] { PrinterNotReady = 1; }, true, "status two"},
        {"still not ready: shown again", [] {}, true, "status two"},
        {"reading while not ready shows the text", [] { ReadPending = 1; }, true, "status two"},
        {"ready again", [] { PrinterNotReady = 0; ReadPending = 0; }, true, "status two"},
        {"idle: skipped", [] {}, false, "status two"},
        {"switch flag changed", [] { SwitchFlag = 0; }, true, "status two"},
        {"update right lost", [] { UpdateAllowed = 0; }, true, "status two"},
        {"write pending without update right shows the text", [] { WritePending = 1; }, true, "status two"},
        {"read right lost while writing", [] { WritePending = 0; ReadAllowed = 0; }, true, "status two"},
        {"idle at last: skipped", [] {}, false, "status two"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        step.change();
        panel.ValidatePicture();
        const int before = setTextCount;
        ShowStatus(panel.text);
        EXPECT_EQ(setTextCount - before, step.shown ? 1 : 0);
        EXPECT_EQ(panel.PictureInvalidated(), step.shown);
        EXPECT_EQ(panel.Text(), step.text);
    }
}

// ---- The picture and its overlay ----

constexpr COLORREF kRed = RGB(224, 0, 0);        // prohibition ring of 144
constexpr COLORREF kYellow = RGB(255, 224, 0);   // padlock of 142
constexpr COLORREF kBlue = RGB(0, 64, 224);      // iris of the eye of 143

TEST_F(StatusDisplayTest, OverlayFollowsTheFlags) {
    struct Case {
        const char* label;
        int update, read;
        bool ring, padlock, eye;
    } cases[] = {
        {"neither: 144", 0, 0, true, false, false},
        {"read only: 142", 0, 1, false, true, false},
        {"update only: 143", 1, 0, false, false, true},
        {"both: no overlay", 1, 1, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        UpdateAllowed = c.update;
        ReadAllowed = c.read;
        panel.Redraw();
        EXPECT_EQ(panel.PicturePixel(kOverlayOrigin + 16, kOverlayOrigin + 1) == kRed, c.ring);
        EXPECT_EQ(panel.PicturePixel(kOverlayOrigin + 20, kOverlayOrigin + 27) == kYellow, c.padlock);
        EXPECT_EQ(panel.PicturePixel(kOverlayOrigin + 25, kOverlayOrigin + 23) == kBlue, c.eye);
    }
}

TEST_F(StatusDisplayTest, PictureTealBecomesTheButtonFace) {
    panel.Redraw();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(face, RGB(0, 128, 128));
    EXPECT_EQ(panel.PicturePixel(kBitmapOrigin, kBitmapOrigin), face);
    int teal = 0;
    int printer = 0;
    for (int y = 0; y < 35; ++y) {
        for (int x = 0; x < 35; ++x) {
            const COLORREF colour = panel.PicturePixel(kBitmapOrigin + x, kBitmapOrigin + y);
            if (colour == RGB(0, 128, 128)) ++teal;
            if (colour != face) ++printer;
        }
    }
    EXPECT_EQ(teal, 0);
    EXPECT_GT(printer, 35 * 35 / 3) << "the printer was drawn";
}

// Brushes that can still be made: the room left in the GDI handle table.
int GdiHeadroom() {
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    while (brushes.size() < 70000) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush) break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes) DeleteObject(brush);
    return static_cast<int>(brushes.size());
}

TEST_F(StatusDisplayTest, TwentyThousandRedrawsLeaveGdiUsable) {
    UpdateAllowed = 0;
    ReadAllowed = 0;  // with the overlay, so every resource of the drawing is used
    panel.Redraw();
    const int headroomBefore = GdiHeadroom();
    // The button's own WM_DRAWITEM, handed to the drawing as the panel does.
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = IDC_STATUSPICTURE;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = panel.picture;
    GetClientRect(panel.picture, &item.rcItem);
    for (int i = 0; i < 20000; ++i) DrawStatusPicture(panel.window, &item);
    drawCount = 0;
    for (int i = 0; i < 200; ++i) panel.Redraw();
    EXPECT_EQ(drawCount, 200);

    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    EXPECT_NE(memory, nullptr);
    EXPECT_NE(bitmap, nullptr);
    EXPECT_NE(brush, nullptr);
    if (brush) DeleteObject(brush);
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    // Nothing of the drawing stays behind (a few objects of slack for caches).
    EXPECT_GE(GdiHeadroom(), headroomBefore - 16);
    // And the picture is still drawn properly.
    panel.Redraw();
    EXPECT_EQ(panel.PicturePixel(kOverlayOrigin + 16, kOverlayOrigin + 1), kRed);
    EXPECT_EQ(panel.PicturePixel(kBitmapOrigin, kBitmapOrigin), GetSysColor(COLOR_BTNFACE));
}

// ---- EvaluateStatus ----

constexpr char kPrintEnableSwitch[] = "印刷可スイッチが押されていません。\n設定の更新はできません。";

TEST_F(StatusDisplayTest, EvaluateSetsFlagsAndText) {
    struct Case {
        const char* label;
        DWORD ext, s2, s3, authority;
        int result, read, update, notReady;
        std::string text;
        int switchFlag;  // afterwards, starting from 1 (0 from the previous row is reset)
    };
    const Case cases[] = {
        {"ready", 0x3, 0, 0, 0x18, 1, 1, 1, 0, Text(93), 1},
        {"read only", 0x3, 0, 0, 0x08, 1, 1, 0, 0, Text(94), 1},
        {"update only", 0x3, 0x400, 0, 0x10, 1, 0, 1, 0, Text(95), 1},
        {"busy", 0x3, 0x100, 0, 0x18, 1, 1, 1, 1, Text(92), 1},
        {"print-enable switch", 0x3, 0, 0x1000, 0x18, 1, 1, 1, 1, kPrintEnableSwitch, 0},
        {"switch bit but S2 busy", 0x3, 0x80, 0x1000, 0x18, 1, 1, 1, 1, Text(92), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SwitchFlag = 1;
        const DWORD status[3] = {0, c.s2, c.s3};
        EXPECT_EQ(EvaluateStatus(panel.window, c.ext, status, c.authority), c.result);
        EXPECT_EQ(ReadAllowed, c.read);
        EXPECT_EQ(UpdateAllowed, c.update);
        EXPECT_EQ(PrinterNotReady, c.notReady);
        EXPECT_EQ(std::string(StatusText), c.text);
        EXPECT_EQ(SwitchFlag, c.switchFlag);
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Text(88), "プリンタと通信できません。");
}

TEST_F(StatusDisplayTest, SwitchFlagFollowsTheSwitchTest) {
    const DWORD pressed[3] = {0, 0, 0};
    const DWORD notPressed[3] = {0, 0, 0x1000};
    const DWORD busy[3] = {0, 0x100, 0x1000};
    EvaluateStatus(panel.window, 0x3, notPressed, 0x18);
    EXPECT_EQ(SwitchFlag, 0);
    EvaluateStatus(panel.window, 0x3, busy, 0x18);
    EXPECT_EQ(SwitchFlag, 0) << "a busy printer skips the switch test";
    EvaluateStatus(panel.window, 0x3, pressed, 0x18);
    EXPECT_EQ(SwitchFlag, 1);
}

TEST_F(StatusDisplayTest, UnusableWithSeveralPrintersOnlyExplains) {
    struct Case {
        const char* label;
        DWORD ext, s2, authority;
        UINT reason;
    } cases[] = {
        {"no right", 0x3, 0, 0, 127},
        {"no communication", 0x2, 0, 0x18, 88},
        {"not supported", 0x3, 0x200, 0x18, 89},
    };
    MultiplePrinters = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const DWORD status[3] = {0, c.s2, 0};
        EXPECT_EQ(EvaluateStatus(panel.window, c.ext, status, c.authority), 0);
        EXPECT_EQ(ReadAllowed, 0);
        EXPECT_EQ(UpdateAllowed, 0);
        EXPECT_EQ(std::string(StatusText), Text(c.reason) + Text(96));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(StatusDisplayTest, UnusableWithOnePrinterShowsTheStatusThenWarns) {
    MultiplePrinters = 0;
    HWND owner = panel.frame;  // any window: the box belongs to the one given
    const DWORD status[3] = {0, 0, 0};
    EXPECT_EQ(EvaluateStatus(owner, 0x3, status, 0), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, Text(127) + "\n" + Text(76));
    EXPECT_EQ(boxes[0].caption, Text(3) + " - StatusTestPrinter");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(statusShown[0], Text(127)) << "the status is shown before the box";
    EXPECT_EQ(std::string(StatusText), Text(127)) << "no string 96 with one printer";
}

TEST_F(StatusDisplayTest, UnusableWithOnePrinterAndNoPanelStillWarns) {
    MultiplePrinters = 0;
    PanelWindow = nullptr;
    const DWORD status[3] = {0, 0x10000, 0};
    EXPECT_EQ(EvaluateStatus(nullptr, 0x3, status, 0x18), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Text(88) + "\n" + Text(76));
}

// ---- FitText with a real font ----

class FitTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "ＭＳ Ｐゴシック");
        ASSERT_NE(dc, nullptr);
        ASSERT_NE(font, nullptr);
        old = SelectObject(dc, font);
    }
    void TearDown() override {
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteDC(dc);
    }
    int Extent(const std::string& text) const {
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ old = nullptr;
};

// Start offsets of the characters of a Shift-JIS text.
std::vector<size_t> Boundaries(const std::string& text) {
    std::vector<size_t> result;
    for (const char* p = text.c_str(); *p; p = CharNextA(p)) result.push_back(static_cast<size_t>(p - text.c_str()));
    result.push_back(text.size());
    return result;
}

TEST_F(FitTextTest, FittingTextIsUnchanged) {
    const std::string text = "Quarl Tilbury 550TK";
    char out[kTextSize];
    EXPECT_EQ(FitText(dc, Extent(text), text.c_str(), "...", out, sizeof out), 1);
    EXPECT_EQ(std::string(out), text);
    EXPECT_EQ(FitText(dc, Extent(text) + 50, text.c_str(), "...", out, sizeof out), 1);
    EXPECT_EQ(std::string(out), text);
}

TEST_F(FitTextTest, LongShiftJisIsCutBetweenCharacters) {
    // ソ, 十, 表, 能 and 申 all end in the byte 0x5C.
    const std::string text = "ソフト表示能力十分申請ソフト表示能力十分申請 LPT1:(接続先)";
    const std::vector<size_t> boundaries = Boundaries(text);
    const int full = Extent(text);
    const int ellipsis = Extent("...");
    ASSERT_GT(full, ellipsis * 4);
    int cut = 0;
    for (int width = ellipsis; width < full; width += 3) {
        SCOPED_TRACE(width);
        char out[kTextSize];
        ASSERT_EQ(FitText(dc, width, text.c_str(), "...", out, sizeof out), 1);
        const std::string fitted = out;
        ASSERT_GE(fitted.size(), 3u);
        EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
        const size_t prefix = fitted.size() - 3;
        EXPECT_EQ(text.compare(0, prefix, fitted, 0, prefix), 0);
        bool onBoundary = false;
        for (size_t b : boundaries) onBoundary = onBoundary || b == prefix;
        EXPECT_TRUE(onBoundary) << "cut inside a character at " << prefix;
        EXPECT_LE(Extent(fitted), width);
        // The next character would not have fitted.
        const size_t next = prefix == 0 ? boundaries[1] : *std::upper_bound(boundaries.begin(), boundaries.end(), prefix);
        if (next < text.size()) {
            EXPECT_GT(Extent(text.substr(0, next) + "..."), width);
        }
        if (prefix > 0) ++cut;
    }
    EXPECT_GT(cut, 10);
}

TEST_F(FitTextTest, TooNarrowGivesNothing) {
    char out[kTextSize] = "previous";
    const int ellipsis = Extent("...");
    EXPECT_EQ(FitText(dc, ellipsis - 1, "ソフト表示能力", "...", out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(FitText(dc, 0, "ソフト表示能力", "...", out, sizeof out), 0);
    EXPECT_EQ(FitText(dc, 100, nullptr, "...", out, sizeof out), 0);
}

TEST_F(FitTextTest, SmallOutputBufferIsNeverOverrun) {
    const std::string text = "ソフト表示能力十分申請";
    char buffer[16];
    std::memset(buffer, 0x7E, sizeof buffer);
    EXPECT_EQ(FitText(dc, 1000, text.c_str(), "...", buffer, 8), 1);
    EXPECT_EQ(std::string(buffer), "ソフ...");  // 4 bytes of text, the ellipsis and the terminator
    for (size_t i = 8; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0x7E) << i;
}

}  // namespace
