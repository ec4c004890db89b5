// Reading settings files and name lists; the site table's checks; folders.
#include "tool_files.h"

#include <windows.h>

#include "backup_store.h"
#include "resource.h"
#include "rpsettings_ids.h"
#include "site_pure.h"
#include "site_table.h"
#include "tool_output.h"

namespace rps {

namespace {

// Makes a directory and the ones above it that are missing; false when one cannot be made.
bool MakeDirectories(std::string directory) {
    while (directory.size() > 1 && (directory.back() == '\\' || directory.back() == '/') &&
           directory[directory.size() - 2] != ':')
        directory.pop_back();
    const DWORD attributes = GetFileAttributesA(directory.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const size_t parent = directory.find_last_of("\\/");
    if (parent != std::string::npos && parent > 0 && directory[parent - 1] != ':' &&
        directory.find_first_not_of("\\/", parent) != std::string::npos && !MakeDirectories(directory.substr(0, parent)))
        return false;
    return CreateDirectoryA(directory.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ModelName() { return Text(IDS_MODEL_NAME); }

std::string FileProblemText(const FileProblem& problem) {
    static const UINT kReasons[] = {0,
                                    IDS_RPS_BAD_LINE,
                                    IDS_RPS_UNKNOWN_SECTION,
                                    IDS_RPS_UNKNOWN_KEY,
                                    IDS_RPS_REPEATED_KEY,
                                    IDS_RPS_BAD_VALUE,
                                    IDS_RPS_OUT_OF_RANGE,
                                    IDS_RPS_WRONG_MODEL,
                                    IDS_RPS_WRONG_VERSION,
                                    IDS_RPS_MISSING_HEADER,
                                    IDS_RPS_FILE_EMPTY,
                                    IDS_RPS_FILE_UTF16,
                                    IDS_RPS_BAD_BLOCK,
                                    IDS_RPS_CUT_SHORT,
                                    0,
                                    0,
                                    IDS_RPS_NOT_COMPLETE,
                                    IDS_RPS_BAD_SAVED_TIME,
                                    IDS_RPS_SAVED_LATER,
                                    0,
                                    IDS_RPS_AFTER_END};
    if (problem.error == FileTooLarge) return Compose(IDS_RPS_FILE_TOO_LARGE, static_cast<int>(kMaxFileSize >> 10));
    if (problem.error == FileCustomIsRow)
        return Compose(IDS_RPS_CUSTOM_IS_ROW, SettingFullKey(problem.setting).c_str(), static_cast<int>(problem.value),
                       CustomRowText(problem.setting, problem.value).c_str(),
                       SettingFullKey(problem.setting - 1).c_str());
    if (problem.setting >= 0 && (problem.error == FileBadValue || problem.error == FileNotHex))
        return Compose(problem.error == FileNotHex ? IDS_RPS_NOT_HEX : IDS_RPS_BAD_VALUE_OF,
                       SettingFullKey(problem.setting).c_str());
    if (problem.error == FileOutOfRange)
        return Compose(IDS_RPS_OUT_OF_RANGE, SettingFullKey(problem.setting).c_str(),
                       SettingRangeText(problem.setting).c_str());
    return Text(kReasons[problem.error]);
}

int LoadSettingsFile(const char* path, ParsedSettings* parsed) {
    std::string text;
    if (!IsFile(path)) {
        Err(Compose(IDS_RPS_NO_SUCH_FILE, path));
        return kExitUsage;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &data) &&
        (data.nFileSizeHigh || data.nFileSizeLow > kMaxFileSize)) {
        Err(std::string(path) + ": " + FileProblemText({FileTooLarge, 0, -1, 0}));
        return kExitUsage;
    }
    if (!ReadWholeFile(path, &text)) {
        Err(Compose(IDS_RPS_CANNOT_READ_FILE, path));
        return kExitUsage;
    }
    const FileProblem problem = ReadSettingsFile(text.data(), text.size(), ModelName().c_str(), parsed);
    if (problem.error == FileEmpty) {
        Err(std::string(path) + ": " + FileProblemText(problem));
        return kExitUsage;
    }
    if (problem.error != FileOk) {
        Err(Compose(IDS_RPS_FILE_LINE, path, problem.line, FileProblemText(problem).c_str()));
        return kExitUsage;
    }
    if (parsed->count == 0 && !parsed->hasBlock) {
        Err(std::string(path) + ": " + Text(IDS_RPS_FILE_NO_SETTINGS));
        return kExitUsage;
    }
    return kExitOk;
}

int ExpandNameLists(const std::vector<std::string>& operands, std::vector<std::string>* names) {
    for (const std::string& operand : operands) {
        if (operand.size() < 2 || operand[0] != '@') {
            names->push_back(operand);
            continue;
        }
        const char* path = operand.c_str() + 1;
        std::string text;
        if (!IsFile(path) || !ReadWholeFile(path, &text)) {
            Err(Compose(IDS_RPS_CANNOT_READ_LIST, path));
            return kExitUsage;
        }
        const NameList list = ParseNameList(text.data(), text.size());
        for (const std::string& name : list.names) names->push_back(list.utf8 ? Recode(name, CP_UTF8, CP_ACP) : name);
    }
    return kExitOk;
}

bool WriteTable(const char* path, const CsvRow& header, const std::vector<CsvRow>& rows) {
    if (WriteFileWhole(path, CsvText(header, rows))) return true;
    Err(Compose(IDS_RPS_CANNOT_WRITE_TABLE, path));
    return false;
}

void AddNameLists(const std::vector<std::string>& operands, RunFiles* files) {
    for (const std::string& operand : operands)
        if (operand.size() > 1 && operand[0] == '@') files->files.push_back(operand.substr(1));
}

int CheckTable(const Options& options, const RunFiles& run) {
    if (!options.csv) return kExitOk;
    for (const std::string& file : run.files) {
        if (!SamePath(options.csv, file)) continue;
        Err(Compose(IDS_RPS_TABLE_IS_INPUT, options.csv, file.c_str()));
        return kExitUsage;
    }
    if (!run.folder.empty() && PathInFolder(options.csv, run.folder, run.extension ? run.extension : "")) {
        Err(Compose(IDS_RPS_TABLE_IN_FOLDER, options.csv, run.folder.c_str()));
        return kExitUsage;
    }
    if (CanWriteFileWhole(options.csv)) return kExitOk;
    Err(Compose(IDS_RPS_CANNOT_WRITE_TABLE, options.csv));
    return kExitUsage;
}

std::string ExistingFolder(const std::string& directory) {
    const DWORD attributes = GetFileAttributesA(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Err(Compose(IDS_RPS_NO_SUCH_FOLDER, directory.c_str()));
        return "";
    }
    return directory.back() == '\\' || directory.back() == '/' ? directory : directory + "\\";
}

std::string DirectoryFor(const char* directory) {
    const DWORD attributes = GetFileAttributesA(directory);
    if (attributes == INVALID_FILE_ATTRIBUTES && !MakeDirectories(directory)) {
        Err(Compose(IDS_RPS_CANNOT_MAKE_DIRECTORY, directory));
        return "";
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Err(Compose(IDS_RPS_CANNOT_MAKE_DIRECTORY, directory));
        return "";
    }
    std::string path = directory;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    return path;
}

}  // namespace rps
