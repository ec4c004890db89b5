// File names made from printer names, printer-name lists and JSON output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rpsettings/site_pure.h"

namespace {

struct Row {
    const char* label;
    std::string in;
    std::string out;
};

TEST(SiteFileName, SafeFromAnyPrinterName) {
    const std::string hyo = "\x95\x5C", so = "\x83\x5C", po = "\x83\x7C";  // 表 ソ ポ: trail bytes '\' and '|'
    const std::string a200(200, 'a');
    const Row rows[] = {
        {"Japanese name kept (trail bytes up to 0xFC)", "\x8E\x96\x96\xB1\x8F\x8A" + hyo + "-1\x81\xFC",
         "\x8E\x96\x96\xB1\x8F\x8A" + hyo + "-1\x81\xFC"},
        {"0x5C and 0x7C trail bytes kept", so + po + "\\" + "|", so + po + "__"},
        {"each forbidden character", "a\\b/c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"control characters", std::string("a\x01\x1F\tb\0c", 7) + "\x7F", "a___b_c\x7F"},
        {"half-width katakana", "\xB6\xC5", "\xB6\xC5"},
        {"lead byte at the end dropped", "TK" + std::string("\x83"), "TK"},
        {"lead byte without a trail byte", "\x83/x", "__x"},
        {"trailing dots and blanks", "TK-1. . ", "TK-1"},
        {"only dots", "...", "_"},
        {"empty", "", "_"},
        {"CON", "CON", "_CON"},
        {"prn lower case", "prn", "_prn"},
        {"Aux with extension", "Aux.x", "_Aux.x"},
        {"nul before blanks and a dot", "nul .txt", "_nul .txt"},
        {"COM1 and LPT9", "COM1", "_COM1"},
        {"LPT9", "lpt9", "_lpt9"},
        {"COM0 is no device", "COM0", "COM0"},
        {"CONSOLE is no device", "CONSOLE", "CONSOLE"},
        {"LPT10 is no device", "LPT10", "LPT10"},
        {"overlong cut to 200", a200 + "b", a200},
        {"overlong cut before a double-byte character", a200.substr(1) + hyo, a200.substr(1)},
        {"overlong cut, then trailing dots", std::string(198, 'a') + ".." + "b", std::string(198, 'a')},
        {"overlong reserved name", "con" + std::string(197, ' ') + "x", "_con"},
        {"overlong reserved name with extension", "aux." + std::string(196, 'x'), "_aux." + std::string(195, 'x')},
    };
    for (const Row& row : rows) EXPECT_EQ(SafeFileName(row.in), row.out) << row.label;
}

TEST(SiteFileName, UniqueWithoutRegardToCase) {
    // A name that is a file name already keeps it, however late it comes.
    const std::vector<std::string> files = UniqueFileNames({"a:b", "A/B", "a_b~2", "a?b", "a_b", "TK-1",
                                                             "\x82\x60", "\x82\x81",          // Ａ ａ
                                                             "\x87\x54", "\xFA\x4A", "\xFA\x40",  // Ⅰ Ⅰ ⅰ
                                                             "z", "Z"});
    const std::vector<std::string> expected = {"a_b~3.txt", "A_B~4.txt", "a_b~2.txt", "a_b~5.txt", "a_b.txt", "TK-1.txt",
                                               "\x82\x60.txt", "\x82\x81~2.txt",
                                               "\x87\x54.txt", "\xFA\x4A~2.txt", "\xFA\x40~3.txt", "z.txt", "Z~2.txt"};
    EXPECT_EQ(files, expected);
}

TEST(SiteNameList, EncodingCommentsAndBlanks) {
    struct ListRow {
        const char* label;
        std::string data;
        bool utf8;
        std::vector<std::string> names;
    };
    const ListRow rows[] = {
        {"BOM marks UTF-8", "\xEF\xBB\xBFTK-1\r\n", true, {"TK-1"}},
        {"Shift-JIS", "# site\r\n\x95\x5C" "1\r\n\r\n  \t\r\n", false, {"\x95\x5C" "1"}},
        {"UTF-8 without a mark", "\xE8\xA1\xA8\xEF\xBC\x91\n", true, {"\xE8\xA1\xA8\xEF\xBC\x91"}},  // 表１
        {"overlong UTF-8 is Shift-JIS", "\xC0\xAF\n", false, {"\xC0\xAF"}},
        {"cut UTF-8 sequence is Shift-JIS", "\x82\xA0\xE8\xA1", false, {"\x82\xA0\xE8\xA1"}},
        {"ASCII is not UTF-8", "a", false, {"a"}},
        {"blanks, comments, no final line end", " \tTK 1 \r\n  # TK-2\nTK-3\r", false, {"TK 1", "TK-3"}},
    };
    for (const ListRow& row : rows) {
        NameList list = ParseNameList(row.data.data(), row.data.size());
        EXPECT_EQ(list.utf8, row.utf8) << row.label;
        EXPECT_EQ(list.names, row.names) << row.label;
    }
    const std::string invalid[] = {"\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xF5\x80\x80\x80"};
    for (const std::string& text : invalid) EXPECT_FALSE(IsValidUtf8(text.data(), text.size())) << text.size();
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF\xF0\x90\x80\x80\xED\x9F\xBF\xE0\xA0\x80\xC2\x80", 16));
}

TEST(SiteJson, CommasAndEscaping) {
    JsonWriter json;
    json.BeginObject().Key("command").String("check").Key("printers").BeginArray();
    json.BeginObject().Key("name").String("TK \"1\"\\\x01\x1F\x7F\xE8\xA1\xA8/").Key("ok").Bool(true).EndObject();
    json.BeginObject().EndObject().BeginArray().EndArray().Null().Number(-9223372036854775807LL - 1).Bool(false);
    json.EndArray().Key("summary").BeginObject().Key("printers").Number(50).EndObject().EndObject();
    EXPECT_EQ(json.Text(),
              "{\"command\":\"check\",\"printers\":[{\"name\":\"TK \\\"1\\\"\\\\\\u0001\\u001f\x7F\xE8\xA1\xA8/\","
              "\"ok\":true},{},[],null,-9223372036854775808,false],\"summary\":{\"printers\":50}}");
}

}  // namespace
