// The helpers every bench of tests shares: files and folders, registry keys and values, the
// install record as a finished install leaves it.
#include "testkit.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "driver/driver.h"
#include "removal/catalogue.h"

namespace testkit {

namespace {

// Whether the path ends with a backslash of its own, not with the 0x5C trail byte of a
// double-byte character such as 表.
bool endsWithSeparator(const std::string& path)
{
    if (path.empty())
        return false;
    const char* last = CharPrevA(path.c_str(), path.c_str() + path.size());
    return last == path.c_str() + path.size() - 1 && path.back() == '\\';
}

}  // namespace

std::string withSlash(const std::string& dir)
{
    return dir.empty() || endsWithSeparator(dir) ? dir : dir + "\\";
}

bool makeFolders(const std::string& path)
{
    std::string p = withSlash(path);
    // Skip the drive root ("C:\") and make each level after it; a level ends at a backslash of
    // its own, not at the 5C trail byte of ソ or 表.
    for (const char* c = p.c_str() + std::min<size_t>(p.size(), 3); *c; c = CharNextA(c)) {
        if (*c != '\\')
            continue;
        std::string prefix = p.substr(0, static_cast<size_t>(c - p.c_str()));
        if (!CreateDirectoryA(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    DWORD attributes = GetFileAttributesA(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool writeFile(const std::string& path, const std::string& content)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    BOOL ok = WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &done, nullptr);
    CloseHandle(f);
    return ok && done == content.size();
}

std::string readFile(const std::string& path)
{
    std::string data;
    return driver::readWholeFile(path, data) ? data : "<missing>";
}

std::vector<std::string> listFolder(const std::string& path)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((withSlash(path) + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (std::strcmp(fd.cFileName, ".") != 0 && std::strcmp(fd.cFileName, "..") != 0)
            names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

bool emptyFolder(const std::string& path)
{
    bool ok = true;
    for (const std::string& name : listFolder(path)) {
        std::string p = withSlash(path) + name;
        DWORD a = GetFileAttributesA(p.c_str());
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) {
            ok = deleteTree(p) && ok;
        } else {
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            ok = DeleteFileA(p.c_str()) && ok;
        }
    }
    return ok;
}

bool deleteTree(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    emptyFolder(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool copyTree(const std::string& from, const std::string& to)
{
    if (!makeFolders(to))
        return false;
    for (const std::string& name : listFolder(from)) {
        std::string src = withSlash(from) + name;
        std::string dst = withSlash(to) + name;
        DWORD a = GetFileAttributesA(src.c_str());
        bool ok = (a & FILE_ATTRIBUTE_DIRECTORY) ? copyTree(src, dst) : CopyFileA(src.c_str(), dst.c_str(), FALSE) != 0;
        if (!ok)
            return false;
    }
    return true;
}

std::string programsFolder()
{
    LPITEMIDLIST list = nullptr;
    char path[MAX_PATH] = "";
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list)) && list) {
        SHGetPathFromIDListA(list, path);
        CoTaskMemFree(list);
    }
    return path;
}

LinkProperties readLink(const std::string& path)
{
    LinkProperties link;
    HRESULT init = CoInitialize(nullptr);
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            link.loaded = file->Load(wide, STGM_READ);
            char text[MAX_PATH] = {};
            if (SUCCEEDED(shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
                link.target = text;
            text[0] = '\0';
            if (SUCCEEDED(shellLink->GetDescription(text, MAX_PATH)))
                link.description = text;
            text[0] = '\0';
            if (SUCCEEDED(shellLink->GetWorkingDirectory(text, MAX_PATH)))
                link.workDir = text;
            file->Release();
        }
        shellLink->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return link;
}

bool deleteKeyTree(HKEY rootKey, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(rootKey, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) == ERROR_SUCCESS) {
        char name[1024];
        for (;;) {
            DWORD len = sizeof name;
            if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (!deleteKeyTree(key, name))
                break;
        }
        RegCloseKey(key);
        RegDeleteKeyA(rootKey, path.c_str());
    }
    return !keyExists(rootKey, path);
}

bool keyExists(HKEY rootKey, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(rootKey, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ensureKey(HKEY rootKey, const std::string& path)
{
    HKEY key;
    if (RegCreateKeyExA(rootKey, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

RegValue readValue(HKEY rootKey, const std::string& keyPath, const std::string& name)
{
    RegValue v;
    HKEY key;
    if (RegOpenKeyExA(rootKey, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return v;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type,
                             reinterpret_cast<BYTE*>(&data[0]), &size) == ERROR_SUCCESS) {
            data.resize(size);
            v.data = data;
            v.present = true;
        }
    }
    RegCloseKey(key);
    return v;
}

bool writeValue(HKEY rootKey, const std::string& keyPath, const std::string& name, DWORD type,
                const std::string& data)
{
    HKEY key;
    if (RegCreateKeyExA(rootKey, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

RegValue readRecordValue(const std::string& name) { return readValue(HKEY_CURRENT_USER, recordKey, name); }

std::string dwordBytes(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

bool writeRecord(const std::string& installDir, int level, const std::string& cdDrive)
{
    bool ok = writeValue(HKEY_CURRENT_USER, recordKey, "cur", REG_SZ, cdDrive.substr(0, 2)) &&
              writeValue(HKEY_CURRENT_USER, recordKey, "drv", REG_BINARY, cdDrive.substr(0, 2) + '\0') &&
              writeValue(HKEY_CURRENT_USER, recordKey, "dir", REG_SZ, installDir);
    if (ok && level >= 0)
        ok = writeValue(HKEY_CURRENT_USER, recordKey, "set", REG_DWORD, dwordBytes(static_cast<DWORD>(level)));
    if (ok && level < 0) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, recordKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return false;
        LONG rc = RegDeleteValueA(key, "set");
        RegCloseKey(key);
        ok = rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    return ok;
}

bool clearRecord() { return deleteKeyTree(HKEY_CURRENT_USER, makerKey); }

bool valueExists(HKEY rootKey, const std::string& keyPath, const std::string& name)
{
    return readValue(rootKey, keyPath, name).present;
}

std::string lastErrorText(const std::string& what)
{
    return what + " failed with " + std::to_string(GetLastError());
}

bool recordValueExists(const std::string& name)
{
    return valueExists(HKEY_CURRENT_USER, recordKey, name);
}

namespace {

const char shellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void addNames(std::vector<std::string>& out, const std::string& prefix, const FileTable& table)
{
    for (int row = 0; row < table.count; ++row)
        out.push_back(prefix + table.names[row]);
}

}  // namespace

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

std::vector<std::string> catalogueFiles(const Seed& seed)
{
    std::vector<std::string> files;
    if (seed.voice)
        addNames(files, "voice\\", voiceFiles);
    if (seed.midi)
        addNames(files, "midi\\", midiFiles);
    addNames(files, "", mainFiles);
    if (seed.saves)
        addNames(files, "", saveFiles);
    return files;
}

std::vector<std::string> catalogueFilePaths(const std::string& dir, bool withSaves)
{
    Seed all;
    all.saves = withSaves;
    std::vector<std::string> paths;
    for (const std::string& name : catalogueFiles(all))
        paths.push_back(dir + name);
    return paths;
}

std::vector<std::string> saveFilePaths(const std::string& dir)
{
    std::vector<std::string> paths;
    addNames(paths, dir, saveFiles);
    return paths;
}

}  // namespace testkit
