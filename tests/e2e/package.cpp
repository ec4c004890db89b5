// The Windows Installer package through the real msiexec: refused without
// the suite, installed into the suite's folder over an older version, the
// panel started from the Start-menu shortcut, and removed again without
// touching the suite.
#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "e2e_support.h"
#include "rp_version.h"

namespace e2e {
namespace {

constexpr char kModelKey[] = "Software\\Quarl\\Pavonet\\Printers\\Tilbury 550TK";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr DWORD kRefused = 1603;  // ERROR_INSTALL_FAILURE

class MsiObject {
public:
    ~MsiObject() {
        if (handle_) MsiCloseHandle(handle_);
    }
    MSIHANDLE* Receive() { return &handle_; }
    MSIHANDLE get() const { return handle_; }

private:
    MSIHANDLE handle_ = 0;
};

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return std::string(path) + "\\";
}

std::string Msiexec() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, ARRAYSIZE(system));
    return std::string(system) + "\\msiexec.exe";
}

DWORD FileVersion(const std::string& path) {
    std::vector<char> data(GetFileVersionInfoSizeA(path.c_str(), nullptr));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (data.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &size))
        return 0;
    return info->dwFileVersionMS;
}

// The high half of the file version the build gives (the older package: one minor version less).
DWORD BuiltVersion(int older = 0) {
    return static_cast<DWORD>(MAKELONG(RP_VERSION_MINOR - older, RP_VERSION_MAJOR));
}

// A package of the build, and the first value a query gives on its tables.
struct Package {
    explicit Package(const std::string& relative) {
        char full[MAX_PATH] = {};
        GetFullPathNameA((ModuleDirectory() + "..\\package\\" + relative).c_str(), ARRAYSIZE(full), full, nullptr);
        path = full;
        code = Query("SELECT Value FROM Property WHERE Property='ProductCode'");
    }
    std::string Query(const std::string& sql) const {
        MsiObject database, view, record;
        char value[1024] = {};
        DWORD length = ARRAYSIZE(value);
        if (MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_READONLY, database.Receive()) != ERROR_SUCCESS ||
            MsiDatabaseOpenViewA(database.get(), sql.c_str(), view.Receive()) != ERROR_SUCCESS ||
            MsiViewExecute(view.get(), 0) != ERROR_SUCCESS ||
            MsiViewFetch(view.get(), record.Receive()) != ERROR_SUCCESS)
            return std::string();
        MsiRecordGetStringA(record.get(), 1, value, &length);
        return value;
    }
    bool Installed() const { return MsiQueryProductStateA(code.c_str()) == INSTALLSTATE_DEFAULT; }
    DWORD Run(const char* action, const std::vector<std::string>& properties = {}) const {
        std::vector<std::string> arguments = {action, path, "/qn"};
        arguments.insert(arguments.end(), properties.begin(), properties.end());
        return RunTool(Msiexec().c_str(), arguments).exitCode;
    }
    std::string path, code;
};

std::string UsualSuiteFolder() { return ShellFolder(CSIDL_PROGRAM_FILES) + "Quarl\\Pavonet\\"; }

// The suite as its installation leaves it: its library (the stand-in) in its
// folder (a folder two levels deep, with its backslash). The package is
// removed again at the end, whatever the test did.
class Suite {
public:
    explicit Suite(const std::string& where = UsualSuiteFolder()) : folder(where) {
        CreateDirectoryA(Parent().c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        CopyFileA((ModuleDirectory() + "QUARLSRM.DLL").c_str(), Library().c_str(), FALSE);
    }
    ~Suite() {
        for (const Package* package : {&current, &older})
            if (package->Installed()) package->Run("/x");
        DeleteFileA(Library().c_str());
        RemoveDirectoryA(folder.c_str());
        RemoveDirectoryA(Parent().c_str());
    }
    std::string Library() const { return folder + "QUARLSRM.DLL"; }
    std::string Parent() const { return folder.substr(0, folder.find_last_of('\\', folder.size() - 2)); }
    const std::string folder;
    const Package current{RP_PACKAGE};
    const Package older{std::string("older\\") + RP_OLDER_PACKAGE};
};

int UninstallEntries(const std::string& displayName) {
    ScopedRegKey list;
    list.Open(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_READ);
    int count = 0;
    char name[256];
    DWORD length = ARRAYSIZE(name);
    for (DWORD i = 0; RegEnumKeyExA(list.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = ARRAYSIZE(name)) {
        char shown[256] = {};
        DWORD size = sizeof shown - 1;
        ScopedRegKey entry;
        if (entry.Open(list.get(), name, KEY_QUERY_VALUE) == ERROR_SUCCESS &&
            RegQueryValueExA(entry.get(), "DisplayName", nullptr, nullptr, reinterpret_cast<BYTE*>(shown), &size) ==
                ERROR_SUCCESS)
            count += displayName == shown;
    }
    return count;
}

// The Start-menu shortcut: the machine's menu, or the user's, where Wine puts
// a per-machine package's shortcuts. Its target and its icon file.
struct Shortcut {
    std::string file, target, icon;
};
Shortcut FindShortcut(const std::string& shortcutName) {
    const std::string name = shortcutName.substr(shortcutName.find('|') + 1) + ".lnk";
    Shortcut found;
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS})
        if (found.file.empty() && Exists(ShellFolder(csidl) + name)) found.file = ShellFolder(csidl) + name;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, found.file.c_str(), -1, wide, ARRAYSIZE(wide));
    if (!found.file.empty() &&
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[MAX_PATH] = {};
        int index = 0;
        if (SUCCEEDED(link->GetPath(text, ARRAYSIZE(text), nullptr, 0))) found.target = text;
        if (SUCCEEDED(link->GetIconLocation(text, ARRAYSIZE(text), &index))) found.icon = text;
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return found;
}

bool LoadsModule(DWORD process, const std::string& path) {
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process));
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot.get(), &module); more; more = Module32Next(snapshot.get(), &module))
        if (lstrcmpiA(module.szExePath, path.c_str()) == 0) return true;
    return false;
}

// Takes the suite's model key away for a while; it comes back (empty) when
// it was there.
class ModelKeyAway {
public:
    ModelKeyAway() : was_(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kModelKey) == ERROR_SUCCESS) {}
    ~ModelKeyAway() {
        HKEY key = nullptr;
        if (was_ && RegCreateKeyExA(HKEY_LOCAL_MACHINE, kModelKey, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr) ==
                        ERROR_SUCCESS)
            RegCloseKey(key);
    }

private:
    const bool was_;
};

TEST(Package, InstallsOverAnOlderVersionStartsAndUninstalls) {
    Suite suite;
    Session session;
    session.AddPrinter();  // a printer of the model: the suite's model key exists
    const std::string panel = suite.folder + "RemotePanel.exe";
    const std::string name = suite.current.Query("SELECT Value FROM Property WHERE Property='ProductName'");

    ASSERT_EQ(suite.older.Run("/i"), 0u);
    EXPECT_EQ(FileVersion(panel), BuiltVersion(1));
    ASSERT_EQ(suite.current.Run("/i"), 0u);
    EXPECT_FALSE(suite.older.Installed());
    EXPECT_TRUE(suite.current.Installed());
    EXPECT_EQ(UninstallEntries(name), 1);
    EXPECT_EQ(FileVersion(panel), BuiltVersion());
    // The same version again repairs it.
    DeleteFileA((suite.folder + "rpsettings.exe").c_str());
    ASSERT_EQ(suite.current.Run("/i", {"REINSTALL=ALL", "REINSTALLMODE=vomus"}), 0u);
    EXPECT_TRUE(Exists(suite.folder + "rpsettings.exe"));
    EXPECT_EQ(UninstallEntries(name), 1);

    const Shortcut shortcut = FindShortcut(suite.current.Query("SELECT Name FROM Shortcut"));
    EXPECT_EQ(lstrcmpiA(shortcut.target.c_str(), panel.c_str()), 0) << shortcut.file << " -> " << shortcut.target;
    EXPECT_TRUE(Exists(shortcut.icon)) << shortcut.icon;
    {
        Program started(shortcut.target, std::string());
        EXPECT_TRUE(started.WaitReady()) << started.Status();
        EXPECT_TRUE(LoadsModule(started.Id(), suite.Library()));
        Click(started.Control(kQuit));
        EXPECT_EQ(started.ExitCode(), 0u);
    }
    const SrmctlResult list = RunTool((suite.folder + "rpsettings.exe").c_str(), {"list"});
    EXPECT_EQ(list.exitCode, 0u);
    EXPECT_NE(list.output.find(session.Printer().Name() + "\t"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find(ProgramText(kTextReady)), std::string::npos) << list.output;

    ASSERT_EQ(suite.current.Run("/x"), 0u);
    EXPECT_FALSE(suite.current.Installed());
    EXPECT_EQ(UninstallEntries(name), 0);
    for (const std::string& left : {panel, suite.folder + "rpsettings.exe", shortcut.file, shortcut.icon})
        EXPECT_FALSE(Exists(left)) << left;
    EXPECT_TRUE(Exists(suite.Library()));
    ScopedRegKey model;
    EXPECT_EQ(model.Open(HKEY_LOCAL_MACHINE, kModelKey, KEY_READ), ERROR_SUCCESS);
}

// SUITEDIR names a suite that is not in its usual folder; the next version
// goes where the one it replaces is.
TEST(Package, InstallsIntoTheFolderNamedAndUpgradesThere) {
    Suite suite("C:\\SiteSuites\\Pavonet\\");
    Session session;
    session.AddPrinter();
    ASSERT_EQ(suite.older.Run("/i", {"SUITEDIR=C:\\SiteSuites\\Pavonet"}), 0u);
    EXPECT_TRUE(Exists(suite.folder + "RemotePanel.exe"));
    ASSERT_EQ(suite.current.Run("/i"), 0u);
    EXPECT_EQ(FileVersion(suite.folder + "RemotePanel.exe"), BuiltVersion());
    EXPECT_FALSE(Exists(UsualSuiteFolder() + "RemotePanel.exe"));
    ASSERT_EQ(suite.current.Run("/x"), 0u);
    EXPECT_FALSE(Exists(suite.folder + "RemotePanel.exe"));
}

// Refusals in the package's own words (its LaunchCondition table), shown by
// msiexec with its basic interface; nothing is installed.
TEST(Package, RefusesWithoutTheSuite) {
    const struct {
        const char* name;
        bool modelKey;
        const char* suiteDir;  // SUITEDIR on the command line, or null
        bool overNewer;        // the older package, over the current one
        const char* condition;
    } cases[] = {
        {"no model key", false, nullptr, false, "Installed OR SUITEMODEL"},
        {"a named folder without the library", true, "C:\\Pavonet-elsewhere\\", false, "Installed OR SUITELIBRARY"},
        {"an older version over a newer one", true, nullptr, true, "NOT WIX_DOWNGRADE_DETECTED"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        Suite suite;
        Session session;
        std::unique_ptr<ModelKeyAway> away;
        if (row.modelKey) session.AddPrinter();
        else away.reset(new ModelKeyAway);
        if (row.overNewer) {
            ASSERT_EQ(suite.current.Run("/i"), 0u);
        }
        const Package& refused = row.overNewer ? suite.older : suite.current;
        std::string arguments = "/i \"" + refused.path + "\" /qb";
        if (row.suiteDir) arguments += std::string(" SUITEDIR=\"") + row.suiteDir + "\"";
        Program msiexec(Msiexec(), arguments);
        std::string expected = refused.Query(
            std::string("SELECT Description FROM LaunchCondition WHERE Condition='") + row.condition + "'");
        const size_t field = expected.find("[SUITEDIR]");
        if (field != std::string::npos) expected.replace(field, 10, row.suiteDir);
        const Box box = msiexec.WaitBox();
        EXPECT_EQ(box.text, expected);
        msiexec.Answer(box, IDOK);
        EXPECT_EQ(msiexec.ExitCode(), kRefused);
        EXPECT_FALSE(refused.Installed());
        EXPECT_EQ(FileVersion(suite.folder + "RemotePanel.exe"),
                  row.overNewer ? BuiltVersion() : 0u);
    }
}

}  // namespace
}  // namespace e2e
