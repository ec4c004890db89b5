// libFuzzer target for what rpsettings merge reads from other PCs: the input
// taken as a nightly result file and as a change log must give rows of
// exactly the table's columns (never a crash on any bytes), and any bytes
// written as a JSON string must read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rpsettings/site_pure.h"
#include "rpsettings/site_table_pure.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const CsvRow& row : MergeNightly({{"PC", text}}, {"PC", "PC2"}, {"a", "b", "c"}))
        Check(row.size() == SiteTableHeader().size());
    for (const CsvRow& row : MergeChangeLogs({{"PC", text}}, {"PC2"}))
        Check(row.size() == ChangeTableHeader().size());
    JsonWriter json;
    json.BeginObject().Key(text).String(text).EndObject();
    JsonValue value;
    Check(ParseJson(json.Text(), &value) && value.fields.size() == 1);
    Check(value.fields[0].first == text && value.fields[0].second.text == text);
    return 0;
}
