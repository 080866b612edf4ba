// The helpers every bench of tests shares (the Win32 tests, the end-to-end tests, the bench
// programs): files and folders, registry keys and values, and the install record seeded as a
// finished install leaves it. Paths are Win32 paths as the calling process sees them.
#ifndef VK_TEST_HELPERS_H
#define VK_TEST_HELPERS_H

#include <windows.h>

#include <string>
#include <vector>

namespace testkit {

constexpr const char recordKey[] = "Software\\Orbek\\Velkorin\\install";
constexpr const char gameKey[] = "Software\\Orbek\\Velkorin";
constexpr const char makerKey[] = "Software\\Orbek";

// One value of the registry as stored: type and raw bytes.
struct RegValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;
};

// File system.
std::string withSlash(const std::string& dir);             // dir ending with its own backslash
bool makeFolders(const std::string& path);                 // every missing level; may end with '\'
bool writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);             // "<missing>" when unreadable
bool deleteTree(const std::string& path);                  // the folder and all in it; true if gone
bool emptyFolder(const std::string& path);                 // what is in it, keeping the folder
bool copyTree(const std::string& from, const std::string& to);
std::vector<std::string> listFolder(const std::string& path);  // names, without . and ..
std::string programsFolder();                              // the user's Start-menu Programs folder

// A shell link as read back through the interfaces that write it (IShellLinkA, IPersistFile).
struct LinkProperties {
    HRESULT loaded = E_FAIL;
    std::string target, description, workDir;
};
LinkProperties readLink(const std::string& path);

// Registry.
bool deleteKeyTree(HKEY root, const std::string& path);    // true when the key is gone
bool keyExists(HKEY root, const std::string& path);
bool ensureKey(HKEY root, const std::string& path);
RegValue readValue(HKEY root, const std::string& key, const std::string& name);
bool valueExists(HKEY root, const std::string& key, const std::string& name);
// Creates the key as needed.
bool writeValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                const std::string& data);
RegValue readRecordValue(const std::string& name);        // of the install record
// The record exactly as a finished install writes it: "cur" and "dir" without terminator,
// "drv" letter, colon and NUL, "set" the level. level < 0 leaves "set" out.
bool writeRecord(const std::string& installDir, int level, const std::string& cdDrive = "Q:");
bool clearRecord();                                        // the whole maker key

// A little-endian DWORD as the registry stores it, for comparing RegValue::data.
std::string dwordBytes(DWORD value);

}  // namespace testkit

#endif
