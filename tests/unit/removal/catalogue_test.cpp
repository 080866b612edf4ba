#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "removal/catalogue.h"

namespace {

std::string row(const FileTable& table, int number)  // rows counted from 1, as in the tables
{
    return table.names[number - 1];
}

std::string upper(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace

TEST(Catalogue, HoldsThreeHundredSixtyEightNames)
{
    EXPECT_EQ(30, voiceFiles.count);
    EXPECT_EQ(297, midiFiles.count);
    EXPECT_EQ(30, mainFiles.count);
    EXPECT_EQ(11, saveFiles.count);
}

TEST(Catalogue, VoiceNamesCountFromZero)
{
    EXPECT_EQ("VALL00.DAT", row(voiceFiles, 1));
    EXPECT_EQ("VALL09.DAT", row(voiceFiles, 10));
    EXPECT_EQ("VALL10.DAT", row(voiceFiles, 11));
    EXPECT_EQ("VALL29.DAT", row(voiceFiles, 30));
}

TEST(Catalogue, MidiBlocksFollowVariantThenTrack)
{
    EXPECT_EQ("vk01_fm.mid", row(midiFiles, 1));
    EXPECT_EQ("vk02afm.mid", row(midiFiles, 2));
    EXPECT_EQ("vk02bfm.mid", row(midiFiles, 3));
    EXPECT_EQ("vk02cfm.mid", row(midiFiles, 4));
    EXPECT_EQ("vk05_fm.mid", row(midiFiles, 11));
    EXPECT_EQ("vk41cfm.mid", row(midiFiles, 99));
    EXPECT_EQ("vk01_gm.mid", row(midiFiles, 100));
    EXPECT_EQ("vk41cgm.mid", row(midiFiles, 198));
    EXPECT_EQ("vk01_gs.mid", row(midiFiles, 199));
    EXPECT_EQ("vk41cgs.mid", row(midiFiles, 297));
}

// Rebuilds each block from the track list: twelve single-file tracks, every other track a to c.
TEST(Catalogue, EveryMidiNameInOrder)
{
    const std::set<int> singles = {1, 5, 7, 11, 14, 17, 19, 26, 27, 29, 33, 39};
    int number = 1;
    for (const char* variant : {"fm", "gm", "gs"}) {
        for (int track = 1; track <= 41; ++track) {
            char digits[3] = {static_cast<char>('0' + track / 10), static_cast<char>('0' + track % 10), 0};
            std::string parts = singles.count(track) ? "_" : "abc";
            for (char part : parts) {
                std::string expected = std::string("vk") + digits + part + variant + ".mid";
                EXPECT_EQ(expected, row(midiFiles, number)) << "row " << number;
                ++number;
            }
        }
    }
    EXPECT_EQ(298, number);
}

TEST(Catalogue, MainFilesInOrder)
{
    const char* expected[] = {
        "VELKORIN.EXE", "ANIM0.ANM", "ANIM1.ANM", "ANIM2.ANM", "ANIM3.ANM", "ANIM4.ANM",
        "ANIM5.ANM",    "ANIM6.ANM", "ANIM7.ANM", "ANIM8.ANM", "GALL0.DAT", "GALL1.DAT",
        "GALL2.DAT",    "GALL3.DAT", "GALL4.DAT", "GALL5.DAT", "GALL6.DAT", "GALL7.DAT",
        "KAO.DAT",      "OPN.DAT",   "PALL0.DAT", "PALL1.DAT", "PALL2.DAT", "PALL3.DAT",
        "PALL4.DAT",    "PALL5.DAT", "PALL6.DAT", "PALL7.DAT", "SALL.SNL",  "SE.DAT"};
    ASSERT_EQ(30, mainFiles.count);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(expected[i], row(mainFiles, i + 1)) << "row " << i + 1;
}

TEST(Catalogue, SaveFilesEndWithSaveA)
{
    const char* expected[] = {"SAVE0.DAT", "SAVE1.DAT", "SAVE2.DAT", "SAVE3.DAT",
                              "SAVE4.DAT", "SAVE5.DAT", "SAVE6.DAT", "SAVE7.DAT",
                              "SAVE8.DAT", "SAVE9.DAT", "SAVEA.DAT"};
    ASSERT_EQ(11, saveFiles.count);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(expected[i], row(saveFiles, i + 1)) << "row " << i + 1;
}

// The file system compares without case, so a repeat in another case would be one file.
TEST(Catalogue, NoNameRepeatsInAnyCase)
{
    std::set<std::string> seen;
    for (const FileTable* table : {&voiceFiles, &midiFiles, &mainFiles, &saveFiles})
        for (int i = 0; i < table->count; ++i)
            EXPECT_TRUE(seen.insert(upper(table->names[i])).second) << table->names[i];
    EXPECT_EQ(368u, seen.size());
}

TEST(Catalogue, NamesAreAsciiEightDotThreeInTheirTablesCase)
{
    struct Case { const FileTable* table; bool upperCase; };
    for (Case c : {Case{&voiceFiles, true}, Case{&midiFiles, false}, Case{&mainFiles, true},
                   Case{&saveFiles, true}}) {
        for (int i = 0; i < c.table->count; ++i) {
            std::string name = c.table->names[i];
            std::size_t dot = name.find('.');
            ASSERT_NE(std::string::npos, dot) << name;
            EXPECT_GE(8u, dot) << name;
            EXPECT_GE(3u, name.size() - dot - 1) << name;
            EXPECT_EQ(std::string::npos, name.find('.', dot + 1)) << name;
            for (char ch : name) {
                EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(ch)) || ch == '.' || ch == '_') << name;
                if (std::isalpha(static_cast<unsigned char>(ch))) {
                    EXPECT_EQ(c.upperCase, std::isupper(static_cast<unsigned char>(ch)) != 0) << name;
                }
            }
        }
    }
}
