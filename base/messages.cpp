// Message boxes and help: the shared text buffers, the caption rule, the
// allocation-error box, the text copy routine, the help context table and the
// one help routine with its two engines.
#include "messages.h"

#include <strsafe.h>

#include <cstring>
#include <string>

#include "dialog_template_pure.h"
#include "scoped.h"
#include "suite_keys.h"
#include "text_pure.h"

char MessageText[kTextSize];
char MessageCaption[kTextSize];
char HelpFilePath[kTextSize];
HMODULE HtmlHelpModule = nullptr;

namespace {

CaptionNameSource captionName = nullptr;

constexpr UINT kStringTitle = 3;            // "Pavonet リモートパネル"
constexpr UINT kStringAllocationFailed = 80;
constexpr UINT kStringModelName = 100;      // the served model, also the name of its registry subkey

constexpr UINT kHtmlHelpContext = 0x0F;     // HH_HELP_CONTEXT
constexpr UINT kHtmlHelpDisplayTopic = 0;   // HH_DISPLAY_TOPIC

MessageBoxHook messageBoxHook = nullptr;
HelpHook helpHook = nullptr;

// The boxes of the seam open now, outermost first: the box's window (once
// created; none for a box of the hook) and whether it was closed as by Cancel.
struct OpenBox {
    HWND window;
    bool cancelled;
};
constexpr int kMaxOpenBoxes = 8;
OpenBox openBoxes[kMaxOpenBoxes] = {};
int openBoxCount = 0;
HHOOK boxCreationHook = nullptr;

bool IsDialogWindow(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return TextEquals(name, "#32770");
}

// The first dialog window made while a box opens is the box itself.
LRESULT CALLBACK CatchBoxWindow(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = CallNextHookEx(boxCreationHook, code, wParam, lParam);
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && boxCreationHook && IsDialogWindow(window)) {
        UnhookWindowsHookEx(boxCreationHook);
        boxCreationHook = nullptr;
        openBoxes[openBoxCount - 1].window = window;
    }
    return next;
}

struct ModalSearch {
    HWND root;
    HWND found;
};

BOOL CALLBACK FindEnabledModal(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ModalSearch*>(parameter);
    if (!IsWindowVisible(window) || !IsWindowEnabled(window) || !IsDialogWindow(window)) return TRUE;
    for (HWND up = GetWindow(window, GW_OWNER); up; up = GetWindow(up, GW_OWNER)) {
        if (up == search->root) {
            search->found = window;
            return FALSE;
        }
    }
    return TRUE;
}

// The owner's top-level window is disabled while a modal window of it is up:
// of the dialogs it owns, the innermost is the one still enabled.
HWND InnermostModal(HWND owner) {
    ModalSearch search = {owner ? GetAncestor(owner, GA_ROOT) : nullptr, nullptr};
    if (!search.root || IsWindowEnabled(search.root)) return owner;
    EnumThreadWindows(GetCurrentThreadId(), FindEnabledModal, reinterpret_cast<LPARAM>(&search));
    return search.found ? search.found : owner;
}

// tracked: the box is the newest entry of openBoxes and its window is caught there.
int RunMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style, bool tracked) {
    if (messageBoxHook) return messageBoxHook(owner, text, caption, style);
    if (tracked) boxCreationHook = SetWindowsHookExA(WH_CBT, CatchBoxWindow, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxA(InnermostModal(owner), text, caption, style);
    if (boxCreationHook) UnhookWindowsHookEx(boxCreationHook);
    boxCreationHook = nullptr;
    return answer;
}

typedef HWND(WINAPI* HtmlHelpProc)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

int LoadTextFrom(HINSTANCE instance, UINT id, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (LoadStringA(instance, id, buffer, size) <= 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<int>(CutToCompleteText(buffer, static_cast<size_t>(size)));
}

// Caption rule, with the title loaded from the given module.
void ComposeCaption(HINSTANCE instance, char* caption, size_t size) {
    char title[kTextSize];
    LoadTextFrom(instance, kStringTitle, title, kTextSize);
    const char* printer = captionName ? captionName() : nullptr;
    if (printer)
        FormatText(caption, size, "%s - %s", title, printer);
    else
        CopyText(caption, size, title);
}

void CallWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
    if (helpHook) {
        helpHook(HelpEngineWinHelp, window, file, command, data);
        return;
    }
    WinHelpA(window, file, command, data);
}

// Reads the help file path from the model's subkey of the printers key. A value
// that is missing, or too long for the buffer, counts as not installed.
void ReadHelpFilePath(HWND window) {
    HelpFilePath[0] = '\0';
    char model[kTextSize];
    LoadText(kStringModelName, model, kTextSize);
    char keyPath[2 * kTextSize];
    if (!FormatText(keyPath, sizeof keyPath, "%s\\%s", SUITE_PRINTERS_KEY, model)) return;

    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_QUERY_VALUE) != ERROR_SUCCESS) return;

    // One byte more than the path may hold, so that a value stored without
    // its terminator still gets one; a text that then does not fit the path
    // buffer is not used (a cut path would name another file).
    char value[kTextSize + 1] = {};
    DWORD type = 0;
    DWORD bytes = kTextSize;
    LONG result = RegQueryValueExA(key.get(), "RPHLP", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    if (result == ERROR_SUCCESS) {
        value[bytes < kTextSize ? bytes : kTextSize] = '\0';
        if (CopyText(HelpFilePath, sizeof HelpFilePath, value)) return;
        HelpFilePath[0] = '\0';
    }
    char title[kTextSize];
    LoadText(kStringTitle, title, kTextSize);
    ShowMessageBox(window, "ヘルプはインストールされていません。", title, MB_ICONWARNING);
}

}  // namespace

int LoadText(UINT id, char* buffer, int size) {
    return LoadTextFrom(AppInstance, id, buffer, size);
}

int LoadControlText(UINT templateId, UINT controlId, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    HRSRC resource = FindResourceA(AppInstance, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(AppInstance, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;  // module memory: nothing to free
    std::u16string caption;
    if (!bytes || FindDialogControlText(bytes, SizeofResource(AppInstance, resource), controlId, &caption) !=
                      DialogTextFound)
        return 0;
    caption = WithoutMnemonic(caption);
    const LPCWSTR wide = reinterpret_cast<LPCWSTR>(caption.c_str());
    const int wideLength = static_cast<int>(caption.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return 0;
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, wideLength, &text[0], length, nullptr, nullptr);
    CopyText(buffer, static_cast<size_t>(size), text.c_str());
    return static_cast<int>(std::strlen(buffer));
}

HINSTANCE AppInstance = nullptr;
HWND ForegroundRoleWindow = nullptr;

void SetAppInstance(HINSTANCE instance) {
    AppInstance = instance;
}

void SetForegroundRole(HWND window) {
    ForegroundRoleWindow = window;
}

void SetCaptionNameSource(CaptionNameSource source) {
    captionName = source;
}

void BuildTitleCaption(char* caption, size_t size, const char* name) {
    char title[kTextSize];
    LoadText(kStringTitle, title, kTextSize);
    FormatText(caption, size, "%s - %s", title, TextOrEmpty(name));
}

void BuildPanelCaption(char* caption, size_t size) {
    ComposeCaption(AppInstance, caption, size);
}

int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    text = TextOrEmpty(text);
    caption = TextOrEmpty(caption);
    // Deeper than any nesting the program makes: the box is still shown and
    // answered by the user, only it cannot be closed as by Cancel.
    if (openBoxCount == kMaxOpenBoxes) return RunMessageBox(owner, text, caption, style, false);
    const int index = openBoxCount++;
    openBoxes[index] = {nullptr, false};
    const int answer = RunMessageBox(owner, text, caption, style, true);
    const bool cancelled = openBoxes[index].cancelled;
    --openBoxCount;
    return cancelled ? IDCANCEL : answer;
}

void CancelMessageBoxes() {
    for (int i = openBoxCount - 1; i >= 0; --i) {
        openBoxes[i].cancelled = true;
        if (openBoxes[i].window) EndDialog(openBoxes[i].window, IDCANCEL);
    }
}

void SetMessageBoxHook(MessageBoxHook hook) {
    messageBoxHook = hook;
}

int ShowTwoTextMessage(HWND owner, UINT firstId, UINT secondId, UINT style) {
    char first[kTextSize];
    char second[kTextSize];
    char title[kTextSize];
    LoadText(firstId, first, kTextSize);
    LoadText(secondId, second, kTextSize);
    LoadText(kStringTitle, title, kTextSize);
    char text[kTextSize];
    FormatText(text, sizeof text, "%s\n%s", first, second);
    return ShowMessageBox(owner, text, title, style);
}

void ShowAllocationError(HINSTANCE instance, HWND owner, DWORD error) {
    // Local buffers only: the box may interrupt a composer that uses the shared ones.
    char reason[kTextSize];
    LoadTextFrom(instance, kStringAllocationFailed, reason, kTextSize);
    char text[kTextSize];
    FormatText(text, sizeof text, "%s\nエラーコード： %lx", reason, static_cast<unsigned long>(error));
    char caption[kTextSize];
    ComposeCaption(instance, caption, sizeof caption);
    ShowMessageBox(owner, text, caption, MB_OK);
}

char* DuplicateString(LPCSTR text) {
    if (!text) return nullptr;
    size_t length = std::strlen(text);
    char* copy = static_cast<char*>(LocalAlloc(LPTR, length + 1));
    if (copy) std::memcpy(copy, text, length);
    return copy;
}

// (control id, help context id), grouped by dialog; within a dialog a group
// box, its label and the controls it frames usually share one context.
const DWORD HelpContextTable[] = {
    // Toolbar and panel dialog 117
    10000, 0x80000000,
    277, 0x80000600, 1061, 0x80000600,
    281, 0x80000700,
    1046, 0x80000800,
    278, 0x80000900,
    1047, 0x80000A00,
    279, 0x80000B00,
    284, 0x80000C00,
    1050, 0x80000100,
    8, 0x80000200,
    12321, 0x80000300,
    9, 0x80000400,
    // Paper page 193
    1159, 0x10000, 1160, 0x10000, 1162, 0x10000,
    1301, 0x10010,
    1169, 0x10020,
    1171, 0x10030,
    1302, 0x10040,
    1164, 0x10050,
    1173, 0x10060, 1323, 0x10060, 1326, 0x10060, 1176, 0x10060,
    1174, 0x10070, 1324, 0x10070, 1327, 0x10070, 1177, 0x10070,
    1175, 0x10080, 1325, 0x10080, 1328, 0x10080, 1179, 0x10080,
    1166, 0x10090,
    // Advanced paper settings dialog 198
    1231, 0x10500,
    1232, 0x10510, 1308, 0x10510,
    // Format page 192
    1136, 0x11000,
    1137, 0x11010, 1330, 0x11010,
    1138, 0x11020, 1331, 0x11020,
    1139, 0x11030, 1332, 0x11030,
    1140, 0x11040, 1334, 0x11040,
    1149, 0x11050, 1317, 0x11050, 1320, 0x11050, 1153, 0x11050,
    1151, 0x11060, 1322, 0x11060, 1321, 0x11060, 1155, 0x11060,
    1358, 0x11070,
    1329, 0x11080,
    1134, 0x11090,
    1142, 0x110A0,
    // Format settings dialog 199
    1356, 0x11500,
    1234, 0x11510, 1318, 0x11510, 1161, 0x11510, 1250, 0x11510,
    1235, 0x11520,
    1236, 0x11530, 1333, 0x11530,
    1237, 0x11540, 1335, 0x11540,
    1238, 0x11550, 1336, 0x11550,
    1239, 0x11560, 1338, 0x11560,
    1244, 0x11570,
    1240, 0x11580, 1167, 0x11580, 1170, 0x11580, 1251, 0x11580,
    1242, 0x11590, 1168, 0x11590, 1165, 0x11590, 1252, 0x11590,
    1245, 0x115A0, 1158, 0x115A0, 1163, 0x115A0, 1254, 0x115A0,
    1357, 0x115B0,
    // Font page 194
    1178, 0x12000, 1180, 0x12000, 1181, 0x12000,
    1297, 0x12010,
    1182, 0x12020,
    1187, 0x12030, 1306, 0x12030,
    1188, 0x12040, 1307, 0x12040,
    1189, 0x12050,
    1298, 0x12060,
    1190, 0x12070,
    1299, 0x12080,
    1191, 0x12090,
    // Advanced font settings dialog 200
    1253, 0x12500, 1300, 0x12500,
    1255, 0x12510, 1256, 0x12510, 1257, 0x12510, 1258, 0x12510,
    // Print page 195
    1199, 0x13000, 1309, 0x13000,
    1303, 0x13010,
    1195, 0x13020,
    1200, 0x13030, 1202, 0x13030, 1203, 0x13030,
    1304, 0x13040,
    1197, 0x13050,
    1198, 0x13060,
    // DOS environment dialog 202
    1259, 0x13300, 1260, 0x13300, 1261, 0x13300,
    1265, 0x13310, 1266, 0x13310, 1267, 0x13310,
    1305, 0x13320,
    1262, 0x13330, 1263, 0x13330, 1264, 0x13330,
    1344, 0x13340, 1345, 0x13340, 1346, 0x13340,
    1341, 0x13350, 1289, 0x13350, 1290, 0x13350,
    1268, 0x13360,
    // Advanced print settings dialog 206
    1310, 0x13600, 1311, 0x13600,
    1269, 0x13610, 1186, 0x13610,
    // Operating environment page 243
    1337, 0x14000, 1208, 0x14000, 1209, 0x14000,
    1339, 0x14010, 1204, 0x14010, 1205, 0x14010,
    1340, 0x14020, 1207, 0x14020, 1210, 0x14020,
    1213, 0x14030,
    // Advanced operating environment dialog 208
    1285, 0x14500, 1286, 0x14500, 1287, 0x14500,
    1288, 0x14510, 1342, 0x14510, 1343, 0x14510,
    1351, 0x14520, 1347, 0x14520, 1348, 0x14520,
    1352, 0x14530, 1349, 0x14530, 1350, 0x14530,
    1360, 0x14540, 1361, 0x14540, 1362, 0x14540,
    // Other page 197
    1353, 0x15000, 1219, 0x15000, 1220, 0x15000,
    1354, 0x15010, 1223, 0x15010, 1225, 0x15010,
    1355, 0x15020, 1228, 0x15020, 1229, 0x15020,
    // Printer selection dialog 122, and OK / Cancel of every dialog
    285, 0x81000000,
    1052, 0x81000100,
    1051, 0x81000200,
    1, 0x81000300,
    2, 0x81000400,
    0, 0,
};

DWORD HelpContextOf(DWORD controlId) {
    if (controlId == 0) return 0;
    for (const DWORD* pair = HelpContextTable; pair[0] != 0 || pair[1] != 0; pair += 2) {
        if (pair[0] == controlId) return pair[1];
    }
    return 0;
}

void ShowHelp(HWND window, UINT command, ULONG_PTR data) {
    if (HelpFilePath[0] == '\0') ReadHelpFilePath(window);

    switch (HelpFileKindOf(HelpFilePath)) {
    case HelpFileWinHelp:
        CallWinHelp(window, HelpFilePath, command, data);
        break;
    case HelpFileHtmlHelp:
        if (command == HELP_CONTEXT || command == HELP_FINDER) {
            ShowHtmlHelp(command, data, HelpFilePath);
        } else {
            char popupPath[kTextSize];
            if (BuildPopupPath(popupPath, sizeof popupPath, HelpFilePath))
                CallWinHelp(window, popupPath, command, data);
        }
        break;
    case HelpFileNone:
        break;
    }
}

int ShowHtmlHelp(UINT command, ULONG_PTR data, LPCSTR path) {
    if (!path) return 0;
    UINT htmlCommand = command;
    if (command == HELP_CONTEXT) htmlCommand = kHtmlHelpContext;
    else if (command == HELP_FINDER) htmlCommand = kHtmlHelpDisplayTopic;

    if (helpHook) return helpHook(HelpEngineHtmlHelp, GetDesktopWindow(), path, htmlCommand, data) ? 1 : 0;

    if (!HtmlHelpModule) {
        HtmlHelpModule = LoadLibraryA("HHCTRL.OCX");  // kept loaded until the process ends
        if (!HtmlHelpModule) return 0;
    }
    HtmlHelpProc htmlHelp = reinterpret_cast<HtmlHelpProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(HtmlHelpModule, "HtmlHelpA")));
    if (!htmlHelp) {
        FreeLibrary(HtmlHelpModule);
        HtmlHelpModule = nullptr;
        return 0;
    }
    size_t length = std::strlen(path);
    GlobalBlock copy(length + 2);
    if (!copy.get()) return 0;
    std::memcpy(copy.get(), path, length);
    htmlHelp(GetDesktopWindow(), copy.get(), htmlCommand, data);
    return 1;
}

BOOL HandleContextHelp(UINT message, WPARAM wParam, LPARAM lParam) {
    const ULONG_PTR table = reinterpret_cast<ULONG_PTR>(HelpContextTable);
    if (message == WM_HELP) {
        const HELPINFO* info = reinterpret_cast<const HELPINFO*>(lParam);
        if (info && info->iContextType == HELPINFO_WINDOW)
            ShowHelp(static_cast<HWND>(info->hItemHandle), HELP_WM_HELP, table);
        return TRUE;
    }
    if (message == WM_CONTEXTMENU) {
        ShowHelp(reinterpret_cast<HWND>(wParam), HELP_CONTEXTMENU, table);
        return TRUE;
    }
    return FALSE;
}

void SetHelpHook(HelpHook hook) {
    helpHook = hook;
}
