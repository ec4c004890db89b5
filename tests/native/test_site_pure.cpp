// File names made from printer names, printer-name lists and JSON output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rpsettings/site_pure.h"
#include "rpsettings/site_table_pure.h"

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
        {"console input", "CONIN$", "_CONIN$"},
        {"console output, any case, with extension", "conout$.x", "_conout$.x"},
        {"CONIN is no device", "CONIN", "CONIN"},
        {"overlong cut to 200", a200 + "b", a200},
        {"overlong cut before a double-byte character", a200.substr(1) + hyo, a200.substr(1)},
        {"overlong cut, then trailing dots", std::string(198, 'a') + ".." + "b", std::string(198, 'a')},
        {"overlong reserved name", "con" + std::string(197, ' ') + "x", "_con"},
        {"overlong reserved name with extension", "aux." + std::string(196, 'x'), "_aux." + std::string(195, 'x')},
    };
    for (const Row& row : rows) EXPECT_EQ(SafeFileName(row.in), row.out) << row.label;
}

TEST(SiteFileName, DevicesAsPaths) {
    for (const char* device : {"COM1", "com9:", "x\\lpt2.txt", "C:nul", "a/CONOUT$", "Aux .log"})
        EXPECT_TRUE(IsDeviceName(device)) << device;
    for (const char* file : {"COM10", "COM1x", "x\\console", "nul\\x.txt", "LPT0"}) EXPECT_FALSE(IsDeviceName(file)) << file;
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

TEST(SiteWords, NearestCommandAndUtcTimes) {
    const std::vector<std::string> commands = {"list", "show", "save", "diff", "check", "apply", "restore"};
    const Row nearest[] = {
        {"a letter left out", "aply", "apply"}, {"letter case", "APPLY", "apply"}, {"two letters off", "restroe", "restore"},
        {"a letter added", "listt", "list"},    {"too far", "xyz", ""},           {"exact", "diff", "diff"},
    };
    for (const Row& row : nearest) EXPECT_EQ(NearestName(row.in, commands), row.out) << row.label;
    const Row times[] = {
        {"a day", "2026-12-08", "2026-12-08T00:00:00.000Z"},
        {"minutes, a blank", "2026-12-08 14:05", "2026-12-08T14:05:00.000Z"},
        {"seconds and Z", "2026-12-08T14:05:09Z", "2026-12-08T14:05:09.000Z"},
        {"milliseconds", "2026-12-08T14:05:09.12Z", "2026-12-08T14:05:09.120Z"},
        {"four digits of a second", "2026-12-08T14:05:09.1234", ""},
        {"month 13", "2026-13-08", ""},
        {"hour 24", "2026-12-08T24:00", ""},
        {"no separator", "2026-12-08X14:05", ""},
        {"a letter for a digit", "2026-1a-08", ""},
        {"seconds 60", "2026-12-08T14:05:60", ""},
        {"the last minute and second", "2026-12-08T23:59:59Z", "2026-12-08T23:59:59.000Z"},
    };
    for (const Row& row : times) {
        std::string utc;
        EXPECT_EQ(NormalizeUtcTime(row.in, &utc), !row.out.empty()) << row.label;
        EXPECT_EQ(utc, row.out) << row.label;  // left empty when refused
    }
}

TEST(SiteBackups, NewestOfThePrinterBeforeATime) {
    const std::vector<BackupEntry> backups = {
        {"TK_1.txt", "TK_1", "2026-12-08T10:00:00Z"},  {"TK_1~2.txt", "TK/1", "2026-12-08T11:00:00Z"},
        {"TK_1~3.txt", "TK_1", "2026-12-08T12:00:00Z"}, {"old.txt", "", "2026-12-09T00:00:00Z"},
        {"tk-2~2.txt", "", "2026-12-08T09:00:00Z"},     {"TK-2~x.txt", "", "2026-12-10T00:00:00Z"},
        {"TK-2.txt", "", "2026-12-07T00:00:00Z"},
        {"T9~7.txt", "T9", "2026-12-08T00:00:00.5Z"},   {"T9~10.txt", "T9", "2026-12-08T00:00:00.5Z"},
        {"T9.txt", "T9", "2026-12-08T00:00:00.5Z"},
        {"TK_1~4.txt", "TK_1", "2026-12-08T09:30:00Z"},  // older than the first, listed after it
    };
    const struct {
        const char* printer;
        const char* before;
        int expected;
    } rows[] = {
        {"TK_1", "", 2},  // by the name inside, not the file's
        {"TK/1", "", 1},
        {"TK_1", "2026-12-08T12:00:00Z", 0},  // strictly before
        {"TK_1", "2026-12-08T09:30:00Z", -1},
        {"TK-2", "", 4},  // an older backup without a name: by its file name, letter case aside, with ~N
        {"TK-3", "", -1},
        {"T9", "", 8},  // saved in the same millisecond: the highest ~N was written last
    };
    for (const auto& row : rows)
        EXPECT_EQ(NewestBackup(backups, row.printer, row.before), row.expected) << row.printer << " " << row.before;
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

// What the writer wrote is read back whole; what it could not have written is refused.
TEST(SiteJson, ReadBack) {
    JsonWriter json;
    json.BeginObject().Key("name").String("TK \"1\"\\\x01\xE8\xA1\xA8").Key("n").Number(-12).Key("a").BeginArray();
    json.Bool(true).Null().BeginObject().EndObject().EndArray().EndObject();
    JsonValue value;
    ASSERT_TRUE(ParseJson("\xEF\xBB\xBF " + json.Text() + "\r\n", &value));
    EXPECT_EQ(value["NAME"].Scalar(), "TK \"1\"\\\x01\xE8\xA1\xA8");
    EXPECT_EQ(value["n"].Scalar(), "-12");
    ASSERT_EQ(value["a"].items.size(), 3u);
    EXPECT_EQ(value["a"].items[0].Scalar(), "true");
    ASSERT_TRUE(ParseJson("\"\\u8868\\ud83d\\ude00\\/\\t\"", &value));
    EXPECT_EQ(value.text, "\xE8\xA1\xA8\xF0\x9F\x98\x80/\t");
    ASSERT_TRUE(ParseJson("\"\\u004F\\u004f\"", &value));
    EXPECT_EQ(value.text, "OO");
    EXPECT_TRUE(ParseJson(std::string(40, '[') + std::string(40, ']'), &value));
    const std::string bad[] = {"", "{", "{\"a\":1,}", "[1 2]", "\"\\ud83d\"", "\"a\nb\"", "{\"a\":1}x", "nul",
                               std::string(65, '[') + std::string(65, ']'), "{\"a\" 1}", "\"\\x\"",
                               "\"\\q", "\"\\ud83d", "--1"};
    for (const std::string& text : bad) EXPECT_FALSE(ParseJson(text, &value)) << text;
}

// Rows of the site table: a run's document, a file the scripts wrote, and
// every expected PC, whatever became of it.
TEST(SiteTable, EveryPcGetsARowWithItsReason) {
    const std::string check = R"({"command":"check","printers":[{"name":"TK-2","outcome":"differs","message":"",)"
                              R"("differences":[{"key":"pageLength","value":"66","fileValue":"60"},)"
                              R"({"key":"topMargin","value":"1","fileValue":"2"}]},)"
                              R"({"name":"TK-9","outcome":"unreadable","message":"m","differences":[]}]})";
    const std::string apply = R"({"command":"apply","printers":[{"name":"TK-1","outcome":"applied","message":"ok",)"
                              R"("backup":"C:\\b\\TK-1.txt","changes":[{"key":"pageLength","from":"66","to":"60"}]}]})";
    auto nightly = [](const std::string& json, const std::string& errors) {
        JsonWriter file;
        file.BeginObject().Key("Computer").String("PC01").Key("Time").String("2026-12-08T02:00:00");
        file.Key("ExitCode").Number(1).Key("Json").String(json).Key("Errors").String(errors).EndObject();
        return file.Text();
    };
    const std::vector<NamedText> files = {{"PC01", nightly(check, "")}, {"pc02", nightly(apply, "")},
                                          {"PC03", nightly("", "start failed")}, {"PC04", "{\"Computer\":"},
                                          {"PC05", nightly(R"({"command":"check","printers":[]})", "none")},
                                          // named as the PC calls itself, listed by its full name
                                          {"ws-77", R"({"Computer":"PC10","Json":"x"})"},
                                          {"PC11", R"({"Json":"{\"command\":\"check\"}"})"}};
    const std::vector<CsvRow> rows = MergeNightly(files, {"pc01", "PC02", "PC06", "pc10.corp.example", "PC07",
                                                          "PC11.corp", "PC1"}, {"R1", "R2", "R3"});
    const std::vector<CsvRow> expected = {
        {"PC01", "2026-12-08T02:00:00", "1", "TK-2", "differs", "pageLength", "66", "60", "", ""},
        {"PC01", "2026-12-08T02:00:00", "1", "TK-2", "differs", "topMargin", "1", "2", "", ""},
        {"PC01", "2026-12-08T02:00:00", "1", "TK-9", "unreadable", "", "", "", "m", ""},
        {"PC01", "2026-12-08T02:00:00", "1", "TK-1", "applied", "pageLength", "66", "60", "ok", "C:\\b\\TK-1.txt"},
        {"PC01", "2026-12-08T02:00:00", "1", "", "no_result", "", "", "", "start failed", ""},
        {"PC04", "", "", "", "bad_file", "", "", "", "PC04.json: R1", ""},
        {"PC01", "2026-12-08T02:00:00", "1", "", "no_result", "", "", "", "none", ""},
        {"PC10", "", "", "", "no_result", "", "", "", "ws-77.json: R2", ""},
        {"PC11", "", "", "", "no_result", "", "", "", "PC11.json: R3", ""},
        {"PC06", "", "", "", "no_file", "", "", "", "", ""},
        {"PC07", "", "", "", "no_file", "", "", "", "", ""},
        {"PC1", "", "", "", "no_file", "", "", "", "", ""},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(CsvText({"a", "b"}, {{"x\"y", "1,2"}, {"", "\xE8\xA1\xA8"}}),
              "\xEF\xBB\xBF\"a\",\"b\"\r\n\"x\"\"y\",\"1,2\"\r\n\"\",\"\xE8\xA1\xA8\"\r\n");
}

TEST(SiteTable, ChangeLogsOfManyPcs) {
    const std::string log =
        "\xEF\xBB\xBF{\"time\":\"2026-12-08T01:02:03Z\",\"computer\":\"PC01\",\"user\":\"admin\",\"printer\":\"TK-1\","
        "\"file\":\"site.txt\",\"changes\":[{\"key\":\"pageLength\",\"from\":\"66\",\"to\":\"60\"},"
        "{\"key\":\"topMargin\",\"from\":\"1\",\"to\":\"2\"}],\"backup\":\"b\\\\TK-1.txt\",\"result\":\"applied\"}\r\n"
        "\r\n{\"time\":\"t\",\"printer\":\"TK-2\",\"changes\":[],\"result\":\"failed\"}\n{\"time\":\n"
        // a write logged before and after, and one whose run stopped before its outcome
        "{\"run\":\"r1\",\"printer\":\"TK-3\",\"result\":\"writing\"}\n{\"run\":\"r1\",\"printer\":\"TK-4\",\"result\":\"writing\"}\n"
        "{\"run\":\"r1\",\"printer\":\"TK-3\",\"result\":\"applied\"}\n";
    const std::vector<CsvRow> expected = {
        {"PC01", "2026-12-08T01:02:03Z", "admin", "TK-1", "site.txt", "pageLength", "66", "60", "b\\TK-1.txt", "applied"},
        {"PC01", "2026-12-08T01:02:03Z", "admin", "TK-1", "site.txt", "topMargin", "1", "2", "b\\TK-1.txt", "applied"},
        {"pc1", "t", "", "TK-2", "", "", "", "", "", "failed"},
        {"pc1", "", "", "", "", "line 4", "", "", "", "bad_line"},
        {"pc1", "", "", "TK-4", "", "", "", "", "", "writing"},
        {"pc1", "", "", "TK-3", "", "", "", "", "", "applied"},
        {"PC02", "", "", "", "", "", "", "", "", "no_file"},
    };
    EXPECT_EQ(MergeChangeLogs({{"pc1", log}}, {"PC1", "PC02", "pc01.corp"}), expected);
}

}  // namespace
