// The string table as compiled into the program, the caption rule, the
// allocation-error box, the text copy routine and the help context table.
// Literals here are compiled to Shift-JIS like the program's, so LoadStringA's
// output compares byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "support_seams.h"
#include "text_pure.h"

namespace {

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        CurrentPrinter = nullptr;
    }
    void TearDown() override { CurrentPrinter = nullptr; }
    seams::BoxRecorder recorder;
};

struct StringCase {
    UINT id;
    const char* text;
};

// Every text of the program, exactly.
const StringCase kStrings[] = {
    {1, "バージョン情報(&A)..."},
    {2, "書式"},
    {3, "Pavonet リモートパネル"},
    {7, "用紙"},
    {8, "フォント"},
    {9, "動作環境"},
    {10, "その他\u3000"},  // ends with an ideographic space
    {11, "名前"},
    {12, "状態"},
    {13, "機種名"},
    {14, "接続先"},
    {36, "A4ヨコ"},
    {37, "A4タテ"},
    {38, "A5タテ"},
    {39, "B4タテ"},
    {40, "B5タテ"},
    {41, "ハガキ"},
    {43, "書式１"},
    {44, "書式２"},
    {45, "書式３"},
    {46, "書式４"},
    {61, "プリンタの設定値が読み込めないため、初期値を表示します。"},
    {64, "ライトマージン幅がレフトマージン幅を超えています。正しい値を指定してください。"},
    {65, "レフトマージン幅がライトマージン幅を超えています。正しい値を指定してください。"},
    {67, "設定が変更されています。コマンドを続行すると設定の変更は破棄されます。"},
    {68, "カット紙位置補正に入力されている値が正しくありません。 0 ～ 68 の値を指定して下さい。"},
    {69, "プリンタへの設定が完了していません。リモートパネルを終了しますか？"},
    {70, "このプリンタのリモートパネルは現在起動されています。"},
    {71, "ファイルマッピングオブジェクトの作成に失敗しました。"},
    {72, "リストの中からいずれかのプリンタを選択して下さい。"},
    {73, "リモートパネルはこのOSをサポートしていません。リモートパネルを終了します。"},
    {74, "Tilbury 550TKが存在しません。リモートパネルを終了します。"},
    {75, "     "},  // five blanks
    {76, "リモートパネルを終了します。"},
    {77, "レジストリがオープンできません。リモートパネルを終了します。"},
    {78, "用紙長に設定されている値が正しくありません。 1 ～ 99 の値を指定して下さい。"},
    {79, "用紙吸入時ヘッドセンタリング位置に設定されている値が正しくありません。正しい値を指定して下さい。"},
    {80, "領域確保に失敗しました。"},
    {81, "レフトマージン幅に入力されている値が正しくありません。 0 ～ 135 ( /10桁)の値を指定して下さい。"},
    {82, "ライトマージン幅に入力されている値が正しくありません。 1 ～ 136 ( /10桁)の値を指定して下さい。"},
    {83, "プリンタへの設定に失敗しました。もう一度設定を行いますか？"},
    {84, "プリンタステータスの取得に失敗しました。"},
    {86, "ユーザ使用権の取得に失敗しました。"},
    {88, "プリンタと通信できません。"},
    {89, "プリンタがPavonet対応プリンタではありません。"},
    {90, "設定を読み込んでいます．．．"},
    {91, "設定を更新しています ．．．"},
    {92, "プリンタが処理中、またはエラー等が発生しています。プリンタの状態をお確かめの上、設定の読み込み／更新が可能になるまでしばらくお待ち下さい。"},
    {93, "設定の読み込み／更新ができます。"},
    {94, "設定の読み込みができます。設定の更新はできません。"},
    {95, "設定の更新ができます。設定の読み込みはできません。"},
    {96, "このプリンタにおいては、リモートパネルをご利用になれません。"},
    {97, "初期値を表示 (Ctrl+I)"},
    {98, "プリンタの設定の読み込み (Ctrl+R)"},
    {99, "プリンタの変更 (Ctrl+C)"},
    {100, "Tilbury 550TK"},
    {101, "は、このリモートパネルではサポートしていません。リモートパネルを終了します。"},
    {102, "SRMをオープンできませんでした。"},
    {103, "プリンタ設定情報の読み込みに失敗しました。"},
    {109, "プリンタへの設定に失敗しました。"},
    {110, "プリンタ拡張ステータスの取得に失敗しました。"},
    {111, "接続中"},
    {112, "未接続"},
    {113, "不明"},
    {114, "状態の変化を通知する設定に失敗しました。"},
    {115, "現在プリンタに設定中です。しばらくお待ち下さい。"},
    {116, "プリンタ名の取得に失敗しました。"},
    {118, "プリンタの接続先が変更されました。このまま作業を続けることはできません。一旦リモートパネルを終了し、再起動して下さい。"},
    {121, "このプリンタは削除されました。"},
    {122, "現在プリンタの設定の読み込み中です。しばらくお待ち下さい。"},
    {123, "プリンタの列挙に失敗しました。"},
    {124, "ヘルプ"},
    {125, "ウィンドウクラスを登録できません。"},
    {126, "この機能は使用できません。"},
    {127, "設定の読み込み／更新ができません。"},
    {128, "印刷      "},  // six blanks
    {135, "\"FILE:\"に接続されているため、設定の読み込み/更新ができません。\nリモートパネルを終了します。"},
    {136, "この設定の組み合わせはプリンタに設定できません。設定を確認して下さい。"},
};

TEST_F(MessagesTest, EveryStringLoadsExactly) {
    ASSERT_EQ(932u, GetACP()) << "the tests need the Japanese ANSI code page";
    for (const StringCase& c : kStrings) {
        SCOPED_TRACE("string " + std::to_string(c.id));
        char buffer[kTextSize];
        int length = LoadText(c.id, buffer, kTextSize);
        EXPECT_STREQ(c.text, buffer);
        EXPECT_EQ(static_cast<int>(std::strlen(c.text)), length);
    }
}

TEST_F(MessagesTest, LoadTextKeepsWholeCharacters) {
    // String 3 is "Pavonet " (8 bytes) followed by double-byte characters.
    struct Case {
        const char* label;
        int size;
        const char* expected;
    } cases[] = {
        {"room for one double-byte character", 11, "Pavonet リ"},
        {"one byte short of it", 10, "Pavonet "},
        {"single-byte part only", 9, "Pavonet "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        LoadText(3, buffer, c.size);
        EXPECT_STREQ(c.expected, buffer);
        for (size_t i = static_cast<size_t>(c.size); i < sizeof buffer; ++i) ASSERT_EQ('#', buffer[i]);
    }
    char buffer[8] = "x";
    EXPECT_EQ(0, LoadText(4242, buffer, sizeof buffer)) << "an id the program does not have";
    EXPECT_STREQ("", buffer);
}

std::string Repeat(const char* piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) s += piece;
    return s;
}

TEST_F(MessagesTest, CaptionRule) {
    const std::string title = "Pavonet リモートパネル";
    std::string longName = Repeat("n", 1000);
    std::string longDoubleByteName = Repeat("ソ", 500);  // trail byte 0x5C
    std::string shiftedName = "x" + Repeat("表", 500);
    char shortName[] = "Printer A";
    struct Case {
        const char* label;
        bool hasPrinter;
        char* name;
    } cases[] = {
        {"no current printer", false, nullptr},
        {"current printer", true, shortName},
        {"current printer whose name copy failed", true, nullptr},
        {"name of 1,000 single-byte characters", true, &longName[0]},
        {"name of 500 double-byte characters", true, &longDoubleByteName[0]},
        {"double-byte name after one single byte", true, &shiftedName[0]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        PrinterEntry entry = {c.name, nullptr, nullptr, nullptr};
        CurrentPrinter = c.hasPrinter ? &entry : nullptr;
        std::string full = c.name ? title + " - " + c.name : title;

        char caption[kTextSize + 8];
        std::memset(caption, '#', sizeof caption);
        BuildPanelCaption(caption, kTextSize);
        for (size_t i = kTextSize; i < sizeof caption; ++i) ASSERT_EQ('#', caption[i]) << "written past the caption";
        size_t length = std::strlen(caption);
        if (full.size() < kTextSize) {
            EXPECT_EQ(full, caption);
        } else {
            EXPECT_GE(length, kTextSize - 2u);
            EXPECT_EQ(0, full.compare(0, length, caption));
            EXPECT_EQ(length, CompleteTextLength(full.c_str(), length)) << "cut inside a double-byte character";
        }
    }
}

TEST_F(MessagesTest, AllocationErrorBox) {
    char printerName[] = "Printer B";
    PrinterEntry entry = {printerName, nullptr, nullptr, nullptr};
    HWND owner = GetDesktopWindow();
    struct Case {
        const char* label;
        DWORD error;
        PrinterEntry* printer;
        const char* text;
        const char* caption;
    } cases[] = {
        {"code 8", 8, nullptr, "領域確保に失敗しました。\nエラーコード： 8", "Pavonet リモートパネル"},
        {"code 255", 255, nullptr, "領域確保に失敗しました。\nエラーコード： ff", "Pavonet リモートパネル"},
        {"code 0", 0, nullptr, "領域確保に失敗しました。\nエラーコード： 0", "Pavonet リモートパネル"},
        {"largest code", 0xDEADBEEF, nullptr, "領域確保に失敗しました。\nエラーコード： deadbeef",
         "Pavonet リモートパネル"},
        {"with a current printer", 14, &entry, "領域確保に失敗しました。\nエラーコード： e",
         "Pavonet リモートパネル - Printer B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        recorder.boxes.clear();
        CurrentPrinter = c.printer;
        ShowAllocationError(AppInstance, owner, c.error);
        ASSERT_EQ(1u, recorder.boxes.size());
        EXPECT_EQ(c.text, recorder.boxes[0].text);
        EXPECT_EQ(c.caption, recorder.boxes[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), recorder.boxes[0].style);
        EXPECT_EQ(owner, recorder.boxes[0].owner);
    }
}

// Two texts on two lines under the bare title, even while a printer is served.
TEST_F(MessagesTest, TwoTextMessage) {
    char printerName[] = "Printer C";
    PrinterEntry entry = {printerName, nullptr, nullptr, nullptr};
    CurrentPrinter = &entry;
    recorder.boxes.clear();
    recorder.answer = IDCANCEL;
    EXPECT_EQ(IDCANCEL, ShowTwoTextMessage(nullptr, 125, 126, MB_ICONWARNING));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ("ウィンドウクラスを登録できません。\nこの機能は使用できません。", recorder.boxes[0].text);
    EXPECT_EQ("Pavonet リモートパネル", recorder.boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), recorder.boxes[0].style);
    recorder.answer = IDOK;
    CurrentPrinter = nullptr;
}

TEST_F(MessagesTest, MessageBoxSeamAnswersAndToleratesNullTexts) {
    recorder.answer = IDCANCEL;
    EXPECT_EQ(IDCANCEL, ShowMessageBox(nullptr, "question", "caption", MB_ICONQUESTION | MB_OKCANCEL));
    EXPECT_EQ(IDCANCEL, ShowMessageBox(nullptr, nullptr, nullptr, MB_ICONWARNING));
    ASSERT_EQ(2u, recorder.boxes.size());
    EXPECT_EQ("question", recorder.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONQUESTION | MB_OKCANCEL), recorder.boxes[0].style);
    EXPECT_EQ("", recorder.boxes[1].text);
    EXPECT_EQ("", recorder.boxes[1].caption);
    EXPECT_FALSE(recorder.boxes[1].hadNull) << "the seam gets empty texts, never null pointers";
}

TEST_F(MessagesTest, DuplicateString) {
    const std::string longText = Repeat("ソ", 600);
    const char* texts[] = {"", "Printer A", longText.c_str()};
    for (const char* text : texts) {
        SCOPED_TRACE(std::string(text).substr(0, 16));
        char* copy = DuplicateString(text);
        ASSERT_NE(nullptr, copy);
        EXPECT_STREQ(text, copy);
        EXPECT_NE(text, copy);
        EXPECT_GE(LocalSize(copy), std::strlen(text) + 1);
        EXPECT_EQ(nullptr, LocalFree(copy));
    }
    EXPECT_EQ(nullptr, DuplicateString(nullptr));
}

TEST(HelpContextTable, ShapeAndContents) {
    std::set<DWORD> ids;
    int pairs = 0;
    for (const DWORD* pair = HelpContextTable; pair[0] != 0 || pair[1] != 0; pair += 2) {
        ASSERT_LT(pairs, 1000) << "no closing (0, 0)";
        EXPECT_NE(0u, pair[0]) << "pair " << pairs;
        EXPECT_NE(0u, pair[1]) << "pair " << pairs;
        EXPECT_TRUE(ids.insert(pair[0]).second) << "control " << pair[0] << " appears twice";
        ++pairs;
    }
    EXPECT_EQ(176, pairs);
    EXPECT_EQ(kHelpContextPairs, pairs);
    EXPECT_EQ(10000u, HelpContextTable[0]) << "the toolbar comes first";
    EXPECT_EQ(0x80000000u, HelpContextTable[1]);
    EXPECT_EQ(2u, HelpContextTable[2 * 175]) << "Cancel comes last";
    EXPECT_EQ(0x81000400u, HelpContextTable[2 * 175 + 1]);

    struct Case {
        const char* label;
        DWORD control;
        DWORD context;
    } cases[] = {
        {"toolbar", 10000, 0x80000000},
        {"panel 117, second control of a shared context", 1061, 0x80000600},
        {"panel 117, update then quit", 1050, 0x80000100},
        {"panel 117, update", 12321, 0x80000300},
        {"panel 117, tab control", 284, 0x80000C00},
        {"paper page 193", 1176, 0x10060},
        {"paper page 193, last", 1166, 0x10090},
        {"advanced paper 198", 1308, 0x10510},
        {"format page 192", 1153, 0x11050},
        {"format page 192, last", 1142, 0x110A0},
        {"format settings 199", 1254, 0x115A0},
        {"format settings 199, label", 1356, 0x11500},
        {"font page 194", 1307, 0x12040},
        {"advanced font 200", 1258, 0x12510},
        {"print page 195", 1309, 0x13000},
        {"DOS environment 202", 1290, 0x13350},
        {"advanced print 206", 1186, 0x13610},
        {"operating environment 243", 1213, 0x14030},
        {"advanced operating environment 208", 1362, 0x14540},
        {"other page 197", 1229, 0x15020},
        {"selection 122, list", 285, 0x81000000},
        {"selection 122, OK", 1052, 0x81000100},
        {"OK of every dialog", 1, 0x81000300},
        {"Cancel of every dialog", 2, 0x81000400},
        {"control without help", 4242, 0},
        {"control id 0", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.context, HelpContextOf(c.control));
    }
}

}  // namespace
