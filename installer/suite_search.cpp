// The installer's search for the printer-status suite, a custom action of the
// package (a DLL in its Binary table). It only reads: the registry and the
// file system. What it finds, it says in properties:
//   SUITEMODEL    "1" when the suite has the model key named by SUITEMODELKEY
//   SUITEDIR      the suite's folder, the one holding its QUARLSRM.DLL
//   SUITELIBRARY  that library's full path, when it is there
// The folder the administrator names (SUITEDIR on the command line) is only
// checked; otherwise the candidates are, in this order, the folder of the
// panel this package replaces, the suite's usual folder under Program Files,
// and the folder of the suite's help file. A repair or a removal takes the
// folder the product was installed into.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>
#include <vector>

#include "scoped.h"

namespace {

constexpr char kLibrary[] = "QUARLSRM.DLL";
constexpr char kUsualFolder[] = "Quarl\\Pavonet\\";  // below Program Files
constexpr char kHelpValue[] = "RPHLP";

std::string Property(MSIHANDLE install, const char* name) {
    char small[MAX_PATH] = {};
    DWORD length = ARRAYSIZE(small);
    UINT result = MsiGetPropertyA(install, name, small, &length);
    if (result == ERROR_SUCCESS) return small;
    if (result != ERROR_MORE_DATA) return std::string();
    std::vector<char> large(length + 1);
    length = static_cast<DWORD>(large.size());
    if (MsiGetPropertyA(install, name, large.data(), &length) != ERROR_SUCCESS) return std::string();
    return std::string(large.data(), length);
}

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

// The folder part of a path (up to and with its last backslash), read with
// CharNextA so that a double-byte character's trail byte is never taken for one.
std::string FolderOf(const std::string& path) {
    const char* last = nullptr;
    for (const char* p = path.c_str(); *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/') last = p;
    return last ? std::string(path.c_str(), last + 1) : std::string();
}

bool HasLibrary(const std::string& folder) {
    if (folder.empty()) return false;
    const DWORD attributes = GetFileAttributesA((folder + kLibrary).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder a product was installed into, as it recorded it (ARPINSTALLLOCATION).
std::string InstallLocation(const std::string& product) {
    char folder[MAX_PATH] = {};
    DWORD length = ARRAYSIZE(folder);
    if (product.empty() ||
        MsiGetProductInfoA(product.c_str(), "InstallLocation", folder, &length) != ERROR_SUCCESS)
        return std::string();
    return folder;
}

// The first product this package replaces, as FindRelatedProducts found it.
std::string ReplacedProduct(MSIHANDLE install) {
    const std::string related = Property(install, "WIX_UPGRADE_DETECTED");
    return related.substr(0, related.find(';'));
}

std::string HelpFileFolder(HKEY model) {
    char path[MAX_PATH] = {};
    DWORD size = sizeof path - 1;
    DWORD type = 0;
    if (RegQueryValueExA(model, kHelpValue, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    path[size < sizeof path ? size : sizeof path - 1] = '\0';
    return FolderOf(path);
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall FindSuite(MSIHANDLE install) {
    if (!Property(install, "Installed").empty()) {
        // A repair or a removal works in the folder the product went into.
        const std::string folder = InstallLocation(Property(install, "ProductCode"));
        if (!folder.empty()) MsiSetPropertyA(install, "SUITEDIR", folder.c_str());
        return ERROR_SUCCESS;
    }
    ScopedRegKey model;
    const std::string modelKey = Property(install, "SUITEMODELKEY");
    const bool modelKnown =
        !modelKey.empty() && model.Open(HKEY_LOCAL_MACHINE, modelKey.c_str(), KEY_QUERY_VALUE) == ERROR_SUCCESS;
    if (modelKnown) MsiSetPropertyA(install, "SUITEMODEL", "1");

    std::vector<std::string> candidates;
    const std::string named = Property(install, "SUITEDIR");
    if (!named.empty()) {
        candidates.push_back(named);
    } else {
        candidates.push_back(InstallLocation(ReplacedProduct(install)));
        candidates.push_back(WithBackslash(Property(install, "ProgramFilesFolder")) + kUsualFolder);
        if (modelKnown) candidates.push_back(HelpFileFolder(model.get()));
    }
    for (const std::string& candidate : candidates) {
        const std::string folder = WithBackslash(candidate);
        if (!HasLibrary(folder)) continue;
        MsiSetPropertyA(install, "SUITEDIR", folder.c_str());
        MsiSetPropertyA(install, "SUITELIBRARY", (folder + kLibrary).c_str());
        break;
    }
    return ERROR_SUCCESS;
}
