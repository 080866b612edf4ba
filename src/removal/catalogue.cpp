// The voice and MIDI names follow a fixed pattern and are generated at compile time; the program
// and save files are listed.

#include "removal/catalogue.h"

namespace {

constexpr int voiceCount = 30;
constexpr int midiTrackCount = 41;
constexpr int midiBlockSize = 99;
constexpr int midiCount = 3 * midiBlockSize;

template <int rows>
struct NameTable {
    char names[rows][catalogueNameSize];
};

constexpr void putName(char* out, const char* text)
{
    int i = 0;
    for (; text[i] != '\0'; ++i)
        out[i] = text[i];
    out[i] = '\0';
}

constexpr char digit(int value) { return static_cast<char>('0' + value); }

// "VALL00.DAT" to "VALL29.DAT".
constexpr NameTable<voiceCount> makeVoiceNames()
{
    NameTable<voiceCount> table{};
    for (int row = 0; row < voiceCount; ++row) {
        putName(table.names[row], "VALL00.DAT");
        table.names[row][4] = digit(row / 10);
        table.names[row][5] = digit(row % 10);
    }
    return table;
}

// Tracks that are one file; every other track is three, "a" to "c".
constexpr bool isSingleFileTrack(int track)
{
    constexpr int singles[] = {1, 5, 7, 11, 14, 17, 19, 26, 27, 29, 33, 39};
    for (int single : singles)
        if (single == track)
            return true;
    return false;
}

constexpr void putMidiName(char* out, int track, char part, const char* variant)
{
    putName(out, "vk00_xx.mid");
    out[2] = digit(track / 10);
    out[3] = digit(track % 10);
    out[4] = part;
    out[5] = variant[0];
    out[6] = variant[1];
}

// One block of 99 names per variant, in the order fm, gm, gs.
constexpr NameTable<midiCount> makeMidiNames()
{
    NameTable<midiCount> table{};
    const char* const variants[] = {"fm", "gm", "gs"};
    int row = 0;
    for (const char* variant : variants) {
        for (int track = 1; track <= midiTrackCount; ++track) {
            if (isSingleFileTrack(track)) {
                putMidiName(table.names[row++], track, '_', variant);
            } else {
                for (const char* part = "abc"; *part != '\0'; ++part)
                    putMidiName(table.names[row++], track, *part, variant);
            }
        }
    }
    return table;
}

constexpr NameTable<voiceCount> voiceNames = makeVoiceNames();
constexpr NameTable<midiCount> midiNames = makeMidiNames();

constexpr char mainNames[][catalogueNameSize] = {
    "VELKORIN.EXE",
    "ANIM0.ANM", "ANIM1.ANM", "ANIM2.ANM", "ANIM3.ANM", "ANIM4.ANM",
    "ANIM5.ANM", "ANIM6.ANM", "ANIM7.ANM", "ANIM8.ANM",
    "GALL0.DAT", "GALL1.DAT", "GALL2.DAT", "GALL3.DAT",
    "GALL4.DAT", "GALL5.DAT", "GALL6.DAT", "GALL7.DAT",
    "KAO.DAT",
    "OPN.DAT",
    "PALL0.DAT", "PALL1.DAT", "PALL2.DAT", "PALL3.DAT",
    "PALL4.DAT", "PALL5.DAT", "PALL6.DAT", "PALL7.DAT",
    "SALL.SNL",
    "SE.DAT",
};

// The eleventh save carries the letter A: there is no SAVE10.
constexpr char saveNames[][catalogueNameSize] = {
    "SAVE0.DAT", "SAVE1.DAT", "SAVE2.DAT", "SAVE3.DAT", "SAVE4.DAT", "SAVE5.DAT",
    "SAVE6.DAT", "SAVE7.DAT", "SAVE8.DAT", "SAVE9.DAT", "SAVEA.DAT",
};

static_assert(sizeof mainNames / sizeof mainNames[0] == 30, "thirty program and data files");
static_assert(sizeof saveNames / sizeof saveNames[0] == 11, "eleven save files");

}  // namespace

const FileTable voiceFiles = {voiceNames.names, voiceCount};
const FileTable midiFiles = {midiNames.names, midiCount};
const FileTable mainFiles = {mainNames, sizeof mainNames / sizeof mainNames[0]};
const FileTable saveFiles = {saveNames, sizeof saveNames / sizeof saveNames[0]};
