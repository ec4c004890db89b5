// list: each printer the panel serves, its status word, destination and what
// the panel would allow now.
#include "commands.h"

#include "backup_store.h"
#include "printer_access.h"
#include "resource.h"
#include "setting_text.h"
#include "text_pure.h"
#include "tool_output.h"

namespace rps {

int CommandList(const Options& options) {
    if (int code = Discover()) return code;
    static const UINT kLabels[3] = {IDS_STATUS_ONLINE, IDS_STATUS_OFFLINE, IDS_STATUS_UNKNOWN};
    JsonWriter json;
    json.BeginObject().Key("command").String("list").Key("printers").BeginArray();
    for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next) {
        SrmSession session;
        StatusVerdict verdict = {};
        std::string allowed = OpenPrinter(*entry, &session, &verdict);
        const bool opened = allowed.empty();
        if (opened) allowed = StatusTextOf(verdict);
        const std::string label = Text(kLabels[ReadStatusLabel(entry->name)]);
        if (!options.json) {
            Out(std::string(TextOrEmpty(entry->name)) + "\t" + label + "\t" + TextOrEmpty(entry->destination) + "\t" +
                allowed + "\n");
            continue;
        }
        json.BeginObject();
        json.Key("name").String(Utf8(TextOrEmpty(entry->name)));
        json.Key("status").String(Utf8(label));
        json.Key("destination").String(Utf8(TextOrEmpty(entry->destination)));
        json.Key("read").Bool(opened && verdict.usable && verdict.readAllowed);
        json.Key("update").Bool(opened && verdict.usable && verdict.updateAllowed);
        json.Key("ready").Bool(opened && !verdict.printerNotReady);
        json.Key("text").String(Utf8(allowed));
        json.EndObject();
    }
    if (options.json) PrintJson(json.EndArray().EndObject());
    return kExitOk;
}

}  // namespace rps
