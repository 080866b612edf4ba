#include "shell/flow/cd_search.h"

#include <cstring>

#include "shell/base/setup_state.h"

namespace {

const char labelPrefix[] = "VELKORIN";
const std::size_t labelPrefixLength = sizeof labelPrefix - 1;

// Byte by byte, ASCII letters only, as the C library's _strupr does in the default locale.
void raiseAsciiLetters(char* text)
{
    for (; *text; ++text) {
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - 'a' + 'A');
    }
}

bool rootCarriesGameCd(const char* root)
{
    char label[256];
    if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
        return false;
    raiseAsciiLetters(label);
    return std::strncmp(label, labelPrefix, labelPrefixLength) == 0;
}

}  // namespace

int findGameCd()
{
    // A: is tried whatever its type; B: to Z: only when they are CD-ROM drives.
    bool found = rootCarriesGameCd(setup.driveRoot);
    for (char letter = 'B'; !found && letter <= 'Z'; ++letter) {
        setup.driveRoot[0] = letter;
        if (GetDriveTypeA(setup.driveRoot) != DRIVE_CDROM)
            continue;
        found = rootCarriesGameCd(setup.driveRoot);
    }
    if (!found)
        return 0;
    setup.cdDrive[0] = setup.driveRoot[0];
    setup.cdDrive[1] = ':';
    setup.cdDrive[2] = '\0';
    return 1;
}
