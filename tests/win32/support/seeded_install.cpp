#include "support/seeded_install.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "driver/driver.h"
#include "removal/catalogue.h"

namespace bench {

namespace {

void addPaths(std::vector<std::string>& out, const std::string& folder, const FileTable& table)
{
    for (int row = 0; row < table.count; ++row)
        out.push_back(folder + table.names[row]);
}

}  // namespace

std::vector<std::string> catalogueFilePaths(const std::string& dir, bool withSaves)
{
    std::vector<std::string> paths;
    addPaths(paths, dir + "voice\\", voiceFiles);
    addPaths(paths, dir + "midi\\", midiFiles);
    addPaths(paths, dir, mainFiles);
    if (withSaves)
        addPaths(paths, dir, saveFiles);
    return paths;
}

std::vector<std::string> saveFilePaths(const std::string& dir)
{
    std::vector<std::string> paths;
    addPaths(paths, dir, saveFiles);
    return paths;
}

bool seedInstallation(const std::string& dir, const Seed& seed)
{
    if (!makeFolders(dir))
        return false;
    std::vector<std::string> paths;
    if (seed.voice) {
        if (!CreateDirectoryA((dir + "voice").c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        addPaths(paths, dir + "voice\\", voiceFiles);
    }
    if (seed.midi) {
        if (!CreateDirectoryA((dir + "midi").c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        addPaths(paths, dir + "midi\\", midiFiles);
    }
    addPaths(paths, dir, mainFiles);
    if (seed.saves)
        addPaths(paths, dir, saveFiles);
    for (const std::string& path : paths)
        if (!writeFile(path, path.substr(path.rfind('\\') + 1)))
            return false;
    return true;
}

namespace {
const char shellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
}

ProgramsRedirect::ProgramsRedirect(const std::string& folder)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, shellFoldersKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    char value[1024];
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key, "Programs", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS && type == REG_EXPAND_SZ) {
        hadValue_ = true;
        saved_.assign(value, size && value[size - 1] == '\0' ? size - 1 : size);
    }
    RegSetValueExA(key, "Programs", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(key);
}

ProgramsRedirect::~ProgramsRedirect()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, shellFoldersKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        RegSetValueExA(key, "Programs", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(saved_.c_str()),
                       static_cast<DWORD>(saved_.size() + 1));
    else
        RegDeleteValueA(key, "Programs");
    RegCloseKey(key);
}

void seedRecord(const std::string& dir, int level) { testkit::writeRecord(dir, level); }
void clearRecord() { testkit::clearRecord(); }
bool recordValueExists(const char* name)
{
    return testkit::valueExists(HKEY_CURRENT_USER, testkit::recordKey, name);
}
bool gameKeyExists() { return testkit::keyExists(HKEY_CURRENT_USER, testkit::gameKey); }
bool makerKeyExists() { return testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey); }

}  // namespace bench
