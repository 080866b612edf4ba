#include "shell/flow/command_line.h"

#include <cstring>

#include "shell/base/text_format.h"

namespace {

// Faults that name a switch or an argument: the text before it and the text after it.
struct Around {
    const char* before;
    const char* after;
};
const Around unknownSwitch = {"不明なスイッチ ", " があります。"};
const Around notASwitch = {"スイッチではない引数 ", " があります。"};
const Around missingValue = {"", " に値がありません。"};
const Around unwantedValue = {"", " に値は付けられません。"};
const Around givenTwice = {"", " が二度指定されています。"};
const Around notForThisRun = {"", " はこの操作には使えません。"};
const Around tooLong = {"", " の値が長すぎます。"};
const Around wrongValue = {"", " の値は使えません: "};
const char textSilentMissing[] = "/S がありません。";
const char textTypeMissing[] = "/TYPE がありません。";
const char textUpgradeAndUninstall[] = "/UPGRADE と /UNINSTALL は同時に指定できません。";
const char textFolderNotFull[] = "/DIR にはドライブ名から始まるフォルダ（例 D:\\Games\\Velkorin）を指定して下さい。";

enum Switch { silent, type, dir, shortcut, log, upgrade, uninstall, keepSaves, switchCount };

struct SwitchName {
    const char* name;
    bool takesValue;
};

const SwitchName switches[switchCount] = {
    {"S", false},        {"TYPE", true},    {"DIR", true},       {"SHORTCUT", true},
    {"LOG", true},       {"UPGRADE", false}, {"UNINSTALL", false}, {"KEEPSAVES", false},
};

const char* const levelNames[] = {"MINIMUM", "STANDARD", "FULL"};

// ASCII letters compared without regard to case; every other byte as it is.
bool sameName(const char* a, std::size_t length, const char* b)
{
    if (std::strlen(b) != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

bool isFullPath(const char* path)
{
    char letter = path[0];
    bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && path[1] == ':' && path[2] == '\\';
}

struct Reader {
    CommandLine& out;
    char* fault;
    std::size_t faultSize;
    bool given[switchCount];

    bool fail(const char* text)
    {
        copyText(fault, faultSize, text);
        return false;
    }

    // The fault names what; a what too long to be told whole is left out.
    bool fail(const Around& text, const char* what, const char* more = "")
    {
        if (!copyText(fault, faultSize, text.before) || !appendText(fault, faultSize, what) ||
            !appendText(fault, faultSize, text.after) || !appendText(fault, faultSize, more)) {
            copyText(fault, faultSize, text.before);
            appendText(fault, faultSize, text.after);
        }
        return false;
    }

    bool failNotForThisRun(Switch which)
    {
        char named[16] = "/";
        appendText(named, sizeof named, switches[which].name);
        return fail(notForThisRun, named);
    }

    bool take(Switch which, const char* typed, const char* value)
    {
        switch (which) {
        case type:
            for (std::int32_t level = 0; level < installTypeCount; ++level)
                if (sameName(value, std::strlen(value), levelNames[level]))
                    out.level = level;
            return out.level >= 0 || fail(wrongValue, typed, value);
        case dir:
            if (!copyText(out.folder, sizeof out.folder, value))
                return fail(tooLong, typed);
            return isFullPath(out.folder) || fail(textFolderNotFull);
        case shortcut:
            if (sameName(value, std::strlen(value), "YES") || sameName(value, std::strlen(value), "NO")) {
                out.shortcut = sameName(value, std::strlen(value), "YES");
                return true;
            }
            return fail(wrongValue, typed, value);
        case log:
            return copyText(out.logFile, sizeof out.logFile, value) || fail(tooLong, typed);
        default: return true;
        }
    }

    bool readOne(const char* argument)
    {
        if (argument[0] != '/' && argument[0] != '-')
            return fail(notASwitch, argument);
        const char* name = argument + 1;
        const char* equals = std::strchr(name, '=');
        std::size_t nameLength = equals ? static_cast<std::size_t>(equals - name) : std::strlen(name);
        // The switch as typed, for the messages; a name too long to be one is unknown anyway.
        char typed[32];
        if (nameLength + 2 > sizeof typed)
            return fail(unknownSwitch, argument);
        std::memcpy(typed, argument, nameLength + 1);
        typed[nameLength + 1] = '\0';
        for (int which = 0; which < switchCount; ++which) {
            if (!sameName(name, nameLength, switches[which].name))
                continue;
            if (given[which])
                return fail(givenTwice, typed);
            given[which] = true;
            if (!switches[which].takesValue)
                return !equals || fail(unwantedValue, typed);
            if (!equals || equals[1] == '\0')
                return fail(missingValue, typed);
            return take(static_cast<Switch>(which), typed, equals + 1);
        }
        return fail(unknownSwitch, typed);
    }

    // Which run the switches ask for, and whether each fits it.
    bool settle()
    {
        if (!given[silent])
            return fail(textSilentMissing);
        if (given[upgrade] && given[uninstall])
            return fail(textUpgradeAndUninstall);
        out.mode = given[upgrade] ? SetupMode::upgrade : given[uninstall] ? SetupMode::uninstall : SetupMode::install;
        out.keepSaves = given[keepSaves];
        const Switch onlyInstall[] = {dir, shortcut};
        for (Switch which : onlyInstall)
            if (given[which] && out.mode != SetupMode::install)
                return failNotForThisRun(which);
        if (given[keepSaves] && out.mode != SetupMode::uninstall)
            return failNotForThisRun(keepSaves);
        if (out.mode == SetupMode::uninstall)
            return !given[type] || failNotForThisRun(type);
        return given[type] || fail(textTypeMissing);
    }
};

}  // namespace

bool readCommandLine(int count, const char* const* arguments, CommandLine& out, char* fault,
                     std::size_t faultSize)
{
    out = CommandLine{};
    out.mode = SetupMode::dialogs;
    out.level = -1;
    out.shortcut = true;
    if (faultSize > 0)
        fault[0] = '\0';
    if (count <= 0)
        return true;
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(arguments[i], "/?") == 0 || std::strcmp(arguments[i], "-?") == 0) {
            out.mode = SetupMode::usage;
            return true;
        }
    }
    // Every argument is read, so that the log goes where /LOG says also after a fault; the first
    // fault is told.
    Reader reader{out, fault, faultSize, {}};
    bool right = true;
    for (int i = 0; i < count; ++i) {
        if (right) {
            right = reader.readOne(arguments[i]);
            continue;
        }
        char later[8];
        Reader rest{out, later, sizeof later, {}};
        rest.readOne(arguments[i]);
    }
    return right && reader.settle();
}
