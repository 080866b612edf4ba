#include "support/seeded_install.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "driver/driver.h"
#include "removal/catalogue.h"

namespace bench {

namespace {

const char recordKey[] = "Software\\Orbek\\Velkorin\\install";

void addPaths(std::vector<std::string>& out, const std::string& folder, const FileTable& table)
{
    for (int row = 0; row < table.count; ++row)
        out.push_back(folder + table.names[row]);
}

bool keyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
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

void seedRecord(const std::string& dir, int level)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, recordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "cur", 0, REG_SZ, reinterpret_cast<const BYTE*>("Q:"), 2);
    RegSetValueExA(key, "drv", 0, REG_BINARY, reinterpret_cast<const BYTE*>("Q:"), 3);
    RegSetValueExA(key, "dir", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                   static_cast<DWORD>(dir.size()));
    DWORD stored = static_cast<DWORD>(level);
    RegSetValueExA(key, "set", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
    RegCloseKey(key);
}

void clearRecord()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orbek");
}

bool recordValueExists(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, recordKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool gameKeyExists() { return keyExists("Software\\Orbek\\Velkorin"); }
bool makerKeyExists() { return keyExists("Software\\Orbek"); }

}  // namespace bench
