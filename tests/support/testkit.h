// The helpers every bench of tests shares (the Win32 tests, the end-to-end tests, the bench
// programs): files and folders, registry keys and values, the install record seeded as a
// finished install leaves it, the user's Programs folder, and the catalogue's files. Paths are
// Win32 paths as the calling process sees them.
#ifndef VK_TESTKIT_H
#define VK_TESTKIT_H

#include <windows.h>

#include <string>
#include <vector>

namespace testkit {

// "what failed with <GetLastError()>", for a failure message.
std::string lastErrorText(const std::string& what);

// The keys of the install record: its own, the game's above it, the maker's above that.
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

bool recordValueExists(const std::string& name);          // a value of the install record

// Points the user's Programs folder elsewhere for the life of the object (the shell reads the
// "Programs" entry of the user's shell folders afresh on each lookup); a folder that does not
// exist makes the lookup fail. The old entry comes back on destruction.
class ProgramsRedirect {
public:
    explicit ProgramsRedirect(const std::string& folder);
    ~ProgramsRedirect();
    ProgramsRedirect(const ProgramsRedirect&) = delete;
    ProgramsRedirect& operator=(const ProgramsRedirect&) = delete;

private:
    std::string saved_;
    bool hadValue_ = false;
};

// The catalogue's files of an installation as relative paths ("voice\VALL00.DAT"): the voices
// and the MIDI files where asked, the main files, the saves where asked.
struct Seed {
    bool voice = true;   // the "voice" folder with every voice file (a full install)
    bool midi = true;    // the "midi" folder with every MIDI file
    bool saves = true;   // the eleven save files
};
std::vector<std::string> catalogueFiles(const Seed& seed = Seed());
// The same as full paths below dir; the save files alone.
std::vector<std::string> catalogueFilePaths(const std::string& dir, bool withSaves);
std::vector<std::string> saveFilePaths(const std::string& dir);

}  // namespace testkit

#endif
