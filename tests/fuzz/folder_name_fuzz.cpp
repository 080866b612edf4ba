// Any bytes as the text of the folder-name field: normalised, then checked as at Start; and any
// bytes as a path for the walker, in a buffer that ends at its terminator, so that a read past
// it is caught.

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "install/folder_name.h"
#include "shell/base/path_walker.h"

static void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

static bool isForbidden(unsigned char c)
{
    return c != 0 && std::strchr("\"*/:<>?|", c) != nullptr;
}

// A copy of text in a heap block of exactly its length and terminator.
static std::unique_ptr<char[]> exactCopy(const char* text)
{
    std::size_t size = std::strlen(text) + 1;
    std::unique_ptr<char[]> copy(new char[size]);
    std::memcpy(copy.get(), text, size);
    return copy;
}

// Where the walker finds the backslashes of text, from index 0: each stop is a backslash byte
// after the one before, and the walk ends one past the terminator.
static std::vector<std::int32_t> separators(const char* text)
{
    std::unique_ptr<char[]> path = exactCopy(text);
    std::int32_t length = static_cast<std::int32_t>(std::strlen(text));
    std::vector<std::int32_t> found;
    std::int32_t cursor = 0;
    while (nextPathPrefix(path.get(), cursor) == 0) {
        std::int32_t at = cursor - 1;
        require(at < length && text[at] == '\\');
        require(found.empty() || at > found.back());
        found.push_back(at);
    }
    require(cursor == length + 1);
    require(endsWithSeparator(path.get(), static_cast<std::size_t>(length)) ==
            (!found.empty() && found.back() == length - 1));
    return found;
}

// The name rules give the faults their order says, and they take backslashes where the walker
// does: a pair is two backslashes one right after the other.
static void check(const char* name)
{
    FolderNameFaults faults;
    findFolderNameFaults(exactCopy(name).get(), faults);
    std::size_t length = std::strlen(name);
    std::size_t next = 0;
    if (length >= folderNameLimit) {
        require(faults.count > 0 && faults.list[0].kind == FolderNameFaultKind::tooLong);
        ++next;
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (isForbidden(static_cast<unsigned char>(name[i]))) {
            require(next < faults.count);
            require(faults.list[next].kind == FolderNameFaultKind::forbiddenCharacter);
            require(faults.list[next].character == name[i]);
            ++next;
        }
    }
    std::vector<std::int32_t> found = separators(name);
    bool pair = false;
    for (std::size_t k = 1; k < found.size(); ++k)
        pair = pair || found[k] == found[k - 1] + 1;
    if (pair)
        require(next < faults.count && faults.list[next++].kind == FolderNameFaultKind::consecutiveBackslashes);
    require(next == faults.count);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // folderName as the install dialog fills it: cleared, then at most 255 bytes of the field.
    char folderName[longPathSize];
    std::memset(folderName, 0, sizeof folderName);
    std::memcpy(folderName, data, size < 255 ? size : 255);
    check(folderName);

    bool dropped = dropLeadingBackslash(folderName);
    require(!dropped || folderName[longPathSize - 1] == '\0');
    require(endWithBackslash(folderName, sizeof folderName));
    std::size_t length = std::strlen(folderName);
    require(length <= 256);
    // Normalised: empty, or ending with a backslash of its own that a trail byte is not.
    require(length == 0 || endsWithSeparator(folderName, length));
    check(folderName);

    // A whole buffer's worth, as a longer text would fill it.
    char full[longPathSize + 1];
    std::size_t taken = size < longPathSize ? size : longPathSize;
    std::memcpy(full, data, taken);
    full[taken] = '\0';
    check(full);

    // A target as the folder creation walks it, from below its drive root, and the final
    // backslash trimmed as it trims it.
    std::unique_ptr<char[]> target = exactCopy(full);
    if (std::strlen(full) >= 3) {
        std::int32_t cursor = 3;
        while (nextPathPrefix(target.get(), cursor) == 0)
            require(target[cursor - 1] == '\\');
        require(cursor == static_cast<std::int32_t>(std::strlen(full)) + 1);
    }
    bool hadSeparator = endsWithSeparator(target.get(), std::strlen(full));
    require(dropFinalSeparator(target.get()) == hadSeparator);
    require(std::strlen(target.get()) + (hadSeparator ? 1 : 0) == std::strlen(full));
    return 0;
}
