// The install record in HKEY_CURRENT_USER: the setup's only persistent state.

#include <cstring>

#include "record/install_record.h"
#include "shell/base/path_walker.h"
#include "shell/base/setup_state.h"

namespace {

const char recordKeyPath[] = "Software\\Orbek\\Velkorin\\install";
const char gameKeyPath[] = "Software\\Orbek\\Velkorin";
const char makerKeyPath[] = "Software\\Orbek";
const char softwareKeyPath[] = "Software";
const char recordKeyName[] = "install";
const char gameKeyName[] = "Velkorin";
const char makerKeyName[] = "Orbek";
char recordClass[] = "velkorin";
const DWORD nameBufferSize = 1024;

// The level travels as a signed 16-bit number widened to 32 bits, both ways.
DWORD levelToStored(std::int32_t level)
{
    return static_cast<DWORD>(static_cast<std::int32_t>(static_cast<std::int16_t>(level & 0xFFFF)));
}

std::int32_t levelFromStored(DWORD stored)
{
    return static_cast<std::int16_t>(stored & 0xFFFF);
}

// A drive letter, a colon and a backslash: a folder that relative names cannot escape from.
bool isFullPath(const char* folder)
{
    char letter = folder[0];
    bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && folder[1] == ':' && folder[2] == '\\';
}

// Reads "dir" whole or not at all. Windows hands back the stored bytes as they are (the setup
// stores no terminator); Wine's store adds one. A value that fills the buffer without a
// terminator of its own is too long to hold: it is refused like one longer than the buffer, and
// so is one that leaves no room for the final backslash it lacks.
bool readFolder(HKEY key, char (&folder)[longPathSize])
{
    char value[longPathSize] = {};
    DWORD size = sizeof value;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, "dir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return false;
    // The setup stores text only; a number or bytes that happen to spell "Q:\" are no folder
    // the removal may sweep.
    if (type != REG_SZ)
        return false;
    if (size >= sizeof value) {
        if (value[sizeof value - 1] != '\0')
            return false;
    } else {
        value[size] = '\0';
    }
    if (!isFullPath(value))
        return false;
    // The folder is the text up to the first NUL: bytes a value holds after one would otherwise
    // follow the backslash appended below, and the whole buffer is copied.
    std::size_t length = std::strlen(value);
    std::memset(value + length, 0, sizeof value - length);
    // Its last character, not its last byte: the 5C that ends "D:\ソ" is no backslash. A lead
    // byte without its trail (a registry that keeps the bytes as stored can hand one back; one
    // that stores UTF-16 never does) would take an appended backslash for its trail, and the
    // folder would end in none: no folder the setup writes, so no record.
    if (endsWithLoneLeadByte(value, length))
        return false;
    if (!endsWithSeparator(value, length)) {
        if (length + 1 >= sizeof value)
            return false;
        value[length] = '\\';
    }
    std::memcpy(folder, value, sizeof value);
    return true;
}

// A level the setup could have written: four bytes of REG_DWORD naming minimum, standard or
// full. Anything else is read as no level, so the record offers a fresh install instead of a
// menu whose Re-install leads nowhere; the folder and its saves stay known.
bool readLevel(HKEY key, std::int32_t& level)
{
    DWORD stored = 0;
    DWORD size = sizeof stored;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, "set", nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof stored)
        return false;
    std::int32_t read = levelFromStored(stored);
    if (read < installMinimum || read > installFull)
        return false;
    level = read;
    return true;
}

int deleteLevelOnly()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, recordKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    RegDeleteValueA(key, "set");
    RegCloseKey(key);

    if (RegOpenKeyExA(HKEY_CURRENT_USER, gameKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 1;
    char name[nameBufferSize];
    for (;;) {
        DWORD length = nameBufferSize;
        if (RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (RegDeleteValueA(key, name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return 1;
}

int deleteWholeRecord()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, gameKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    LONG deleted = RegDeleteKeyA(key, recordKeyName);
    RegCloseKey(key);
    if (deleted != ERROR_SUCCESS)
        return 0;

    if (RegOpenKeyExA(HKEY_CURRENT_USER, makerKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    // Where the system refuses to delete a key with subkeys, a game key holding more ends here.
    if (RegDeleteKeyA(key, gameKeyName) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return 0;
    }
    // Another product of the maker keeps the maker's key.
    char name[nameBufferSize];
    DWORD length = nameBufferSize;
    LONG next = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (next != ERROR_NO_MORE_ITEMS)
        return 1;

    if (RegOpenKeyExA(HKEY_CURRENT_USER, softwareKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    deleted = RegDeleteKeyA(key, makerKeyName);
    RegCloseKey(key);
    return deleted == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace

int writeInstallRecord()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, recordKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        DWORD disposition;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, recordKeyPath, 0, recordClass, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
            return 1;
    }
    // The strings are stored without their terminator; readers terminate what they get.
    RegSetValueExA(key, "cur", 0, REG_SZ, reinterpret_cast<const BYTE*>(setup.cdDrive),
                   static_cast<DWORD>(lstrlenA(setup.cdDrive)));
    RegSetValueExA(key, "drv", 0, REG_BINARY, reinterpret_cast<const BYTE*>(setup.cdDrive), 3);
    RegSetValueExA(key, "dir", 0, REG_SZ, reinterpret_cast<const BYTE*>(setup.installDir),
                   static_cast<DWORD>(lstrlenA(setup.installDir)));
    DWORD level = levelToStored(setup.chosenType);
    RegSetValueExA(key, "set", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&level), sizeof level);
    RegCloseKey(key);
    return 1;
}

int readStoredRecord(StoredRecord& out)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, recordKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return recordAbsent;
    if (!readFolder(key, out.installDir)) {
        RegCloseKey(key);
        return recordAbsent;
    }
    if (!readLevel(key, out.level)) {
        RegCloseKey(key);
        return recordWithoutLevel;
    }
    RegCloseKey(key);
    return recordComplete;
}

int readInstallRecord()
{
    StoredRecord record{};
    int state = readStoredRecord(record);
    if (state == recordAbsent)
        return recordAbsent;
    // Whole buffers, so that nothing of a longer folder read earlier stays behind the terminator.
    std::memcpy(setup.installDir, record.installDir, sizeof setup.installDir);
    std::memcpy(setup.previousDir, record.installDir, sizeof setup.previousDir);
    // A full path begins with its drive root, "D:\".
    constexpr std::size_t rootLength = rootSize - 1;
    std::memcpy(setup.installDrive, record.installDir, rootLength);
    setup.installDrive[rootLength] = '\0';
    if (state == recordComplete)
        setup.chosenType = setup.installedType = record.level;
    return state;
}

int deleteInstallRecord(int keepSaves)
{
    return keepSaves == 1 ? deleteLevelOnly() : deleteWholeRecord();
}
