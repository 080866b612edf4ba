#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "install/manifest_reader.h"

namespace {

// What one level reads of a manifest: every file as "source|destination|name", the folders
// being those in force for it.
struct Reading {
    bool found = false;
    bool headRead = false;
    std::int32_t count = 0;
    std::vector<std::string> files;
};

std::FILE* fileWith(const std::string& bytes)
{
    std::FILE* file = std::tmpfile();
    if (!file)
        return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

Reading readLevel(const std::string& bytes, int level)
{
    Reading reading;
    ManifestReader reader{};
    std::FILE* file = fileWith(bytes);
    if (!file) {
        ADD_FAILURE() << "no temporary file";
        return reading;
    }
    reading.found = findSectionInFile(reader, file, level);
    if (!reading.found)
        return reading;
    SectionHead head{};
    reading.headRead = readSectionHead(reader, head);
    if (reading.headRead) {
        reading.count = head.count;
        FileEntry entry = firstFileEntry(head);
        while (nextFileEntry(reader, entry))
            reading.files.push_back(std::string(entry.sourceFolder) + "|" + entry.destinationFolder + "|" +
                                    entry.fileName);
    }
    closeManifest(reader);
    return reading;
}

using Files = std::vector<std::string>;

const std::string workedExample =
    "[最小]\n1\n\n\nVELKORIN.EXE\n[END]\n"
    "[最大]\n3\n\n\nVELKORIN.EXE\n\\\nVOICE\\\nvoice\\\nVALL00.DAT\nVALL01.DAT\n[END]\n";

std::string fullSection(const std::string& body)
{
    return "[最大]\n1\n\n\n" + body;
}

}  // namespace

TEST(ManifestSections, WorkedExampleServesEachLevel)
{
    Reading minimum = readLevel(workedExample, 0);
    ASSERT_TRUE(minimum.found);
    ASSERT_TRUE(minimum.headRead);
    EXPECT_EQ(1, minimum.count);
    EXPECT_EQ(Files({"||VELKORIN.EXE"}), minimum.files);

    const Files full = {"||VELKORIN.EXE", "VOICE\\|voice\\|VALL00.DAT", "VOICE\\|voice\\|VALL01.DAT"};
    for (int level : {1, 2}) {
        SCOPED_TRACE(level);
        Reading reading = readLevel(workedExample, level);
        ASSERT_TRUE(reading.found);
        ASSERT_TRUE(reading.headRead);
        EXPECT_EQ(3, reading.count);
        EXPECT_EQ(full, reading.files);
    }
}

TEST(ManifestSections, LevelOutsideTheThreeFindsNothing)
{
    EXPECT_FALSE(readLevel(workedExample, 3).found);
    EXPECT_FALSE(readLevel(workedExample, -1).found);
}

TEST(ManifestSections, FullOnlyServesEveryLevel)
{
    const std::string manifest = fullSection("GAME.EXE\n[END]\n");
    for (int level : {0, 1, 2}) {
        SCOPED_TRACE(level);
        EXPECT_EQ(Files({"||GAME.EXE"}), readLevel(manifest, level).files);
    }
}

TEST(ManifestSections, MinimumOnlyServesLevelZeroOnly)
{
    const std::string manifest = "[最小]\n1\n\n\nGAME.EXE\n[END]\n";
    EXPECT_EQ(Files({"||GAME.EXE"}), readLevel(manifest, 0).files);
    EXPECT_FALSE(readLevel(manifest, 1).found);
    EXPECT_FALSE(readLevel(manifest, 2).found);
}

TEST(ManifestSections, StandardSectionServesStandardBeforeAFullOneAfterIt)
{
    const std::string manifest = "[標準]\n1\n\n\nSTD.DAT\n[END]\n[最大]\n1\n\n\nFULL.DAT\n[END]\n";
    EXPECT_EQ(Files({"||STD.DAT"}), readLevel(manifest, 0).files);
    EXPECT_EQ(Files({"||STD.DAT"}), readLevel(manifest, 1).files);
    EXPECT_EQ(Files({"||FULL.DAT"}), readLevel(manifest, 2).files);
}

TEST(ManifestSections, HeaderAndEndMarkerMayCarryMoreText)
{
    const std::string manifest = "[最大] all files\n1\n\n\nA.DAT\n[END] of the full section\nB.DAT\n";
    EXPECT_EQ(Files({"||A.DAT"}), readLevel(manifest, 2).files);
}

TEST(ManifestSections, UnterminatedSectionTakesTheNextHeaderAsAFile)
{
    const std::string manifest = "[最小]\n1\n\n\nA.DAT\n[最大]\n1\n\n\nB.DAT\n[END]\n";
    EXPECT_EQ(Files({"||A.DAT", "||[最大]", "||1", "||", "||", "||B.DAT"}),
              readLevel(manifest, 0).files);
    EXPECT_EQ(Files({"||B.DAT"}), readLevel(manifest, 2).files);
}

TEST(ManifestSections, ReadsSetupLstFromTheCurrentDirectory)
{
    char pattern[] = "/tmp/vk-manifest-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    char previous[4096];
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir(pattern));

    ManifestReader reader{};
    EXPECT_FALSE(findManifestSection(reader, 0));
    EXPECT_EQ(nullptr, reader.file);

    std::FILE* file = std::fopen("setup.lst", "wb");
    ASSERT_NE(nullptr, file);
    std::fputs("[最大]\r\n2\r\n\r\n\r\nA.DAT\r\n", file);
    std::fclose(file);
    EXPECT_TRUE(findManifestSection(reader, 1));
    SectionHead head{};
    EXPECT_TRUE(readSectionHead(reader, head));
    EXPECT_EQ(2, head.count);
    closeManifest(reader);

    std::remove("setup.lst");
    ASSERT_EQ(0, chdir(previous));
    rmdir(pattern);
}

TEST(ManifestLines, LineOf254CharactersIsReadWhole)
{
    const std::string name(254, 'N');
    EXPECT_EQ(Files({"||" + name}), readLevel(fullSection(name + "\n[END]\n"), 2).files);
}

TEST(ManifestLines, LongerLineArrivesInPiecesEachAFile)
{
    const std::string name255(255, 'N');
    // 255 bytes fill the buffer; the line feed then comes alone, an empty file line.
    EXPECT_EQ(Files({"||" + std::string(254, 'N'), "||"}),
              readLevel(fullSection(name255 + "\n[END]\n"), 2).files);

    const std::string name300 = std::string(255, 'A') + std::string(45, 'B');
    EXPECT_EQ(Files({"||" + std::string(254, 'A'), "||" + std::string(45, 'B')}),
              readLevel(fullSection(name300 + "\n[END]\n"), 2).files);
}

TEST(ManifestLines, LastLineWithoutLineFeedLosesItsLastCharacter)
{
    EXPECT_EQ(Files({"||A.DAT", "||SE.DA"}), readLevel(fullSection("A.DAT\nSE.DAT"), 2).files);
}

TEST(ManifestLines, CrLfAndLfReadAlike)
{
    const std::string crlf =
        "[最大]\r\n3\r\n\r\n\r\nVELKORIN.EXE\r\n\\\r\nVOICE\\\r\nvoice\\\r\nVALL00.DAT\r\n[END]\r\n";
    EXPECT_EQ(Files({"||VELKORIN.EXE", "VOICE\\|voice\\|VALL00.DAT"}), readLevel(crlf, 1).files);
}

TEST(ManifestLines, LoneCarriageReturnStaysInTheName)
{
    EXPECT_EQ(Files({"||A\rB"}), readLevel(fullSection("A\rB\r\n[END]\n"), 2).files);
    // At the very end it is the last byte, which the name loses.
    EXPECT_EQ(Files({"||C.DAT"}), readLevel(fullSection("C.DAT\r"), 2).files);
}

TEST(ManifestLines, CtrlZEndsTheFile)
{
    EXPECT_EQ(Files({"||A.DAT"}), readLevel(fullSection("A.DAT\n\x1A" "B.DAT\n[END]\n"), 2).files);
    // Inside a line it cuts the line, which then has no line feed.
    EXPECT_EQ(Files({"||A"}), readLevel(fullSection("AB\x1A" "C.DAT\n"), 2).files);
    // Before a header it hides the section.
    EXPECT_FALSE(readLevel("\x1A" + workedExample, 0).found);
}

TEST(ManifestLines, NameEndsAtAnEmbeddedNulByte)
{
    EXPECT_EQ(Files({"||AB", "||C.DAT"}),
              readLevel(fullSection(std::string("AB\0CD\nC.DAT\n", 12)), 2).files);
}

TEST(ManifestBody, FileLineBeginningWithABackslashStartsAGroup)
{
    const std::string manifest = fullSection("\\X.DAT\nSRC\\\nDST\\\nY.DAT\nZ.DAT\n[END]\n");
    EXPECT_EQ(Files({"SRC\\|DST\\|Y.DAT", "SRC\\|DST\\|Z.DAT"}), readLevel(manifest, 2).files);
}

TEST(ManifestBody, LineClosingAGroupIsAFileWhateverItIs)
{
    const std::string manifest = fullSection("\\\nA\\\nB\\\n\\C.DAT\n\\\nA\\\nB\\\n\n[END]\n");
    EXPECT_EQ(Files({"A\\|B\\|\\C.DAT", "A\\|B\\|"}), readLevel(manifest, 2).files);
}

TEST(ManifestBody, EndMarkerInsideAGroupEndsTheSection)
{
    for (const char* rest : {"\\\n[END]\n", "\\\nSRC\\\n[END]\n", "\\\nSRC\\\nDST\\\n[END]\n",
                             "\\\nSRC\\\nDST\\\n", "\\\n"}) {
        SCOPED_TRACE(rest);
        EXPECT_EQ(Files({"||A.DAT"}), readLevel(fullSection(std::string("A.DAT\n") + rest), 2).files);
    }
}

TEST(ManifestBody, CountDoesNotLimitTheFiles)
{
    const std::string manifest = "[最大]\n2\n\n\nA\nB\nC\nD\nE\n[END]\n";
    Reading reading = readLevel(manifest, 2);
    EXPECT_EQ(2, reading.count);
    EXPECT_EQ(Files({"||A", "||B", "||C", "||D", "||E"}), reading.files);
}

TEST(ManifestBody, SectionMayEndRightAfterItsHead)
{
    Reading reading = readLevel("[最大]\n1\n\n\n[END]\n", 2);
    EXPECT_TRUE(reading.headRead);
    EXPECT_TRUE(reading.files.empty());
}

TEST(ManifestHead, MissingOrEndedHeadLinesFail)
{
    for (const char* manifest : {"[最大]\n", "[最大]\n1\n", "[最大]\n1\n\n", "[最大]\n[END]\n",
                                 "[最大]\n1\n[END]\n", "[最大]\n1\n\n[END]\n"}) {
        SCOPED_TRACE(manifest);
        Reading reading = readLevel(manifest, 2);
        EXPECT_TRUE(reading.found);
        EXPECT_FALSE(reading.headRead);
    }
}

TEST(ManifestHead, CountThatIsNotPositiveIsRefused)
{
    for (const char* count : {"0", "-3", "abc", "", " ", "+0", "-2147483648"}) {
        SCOPED_TRACE(count);
        EXPECT_FALSE(readLevel(std::string("[最大]\n") + count + "\n\n\nA.DAT\n[END]\n", 2).headRead);
    }
}

TEST(ManifestHead, CountIsReadAsADecimalNumberFromTheLineStart)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {"  \t+12 files", 12}, {"7\r", 7}, {"0010", 10}, {"2147483647", 2147483647},
        {"99999999999999999999", 2147483647}};
    for (const auto& [text, count] : cases) {
        SCOPED_TRACE(text);
        Reading reading = readLevel(std::string("[最大]\n") + text + "\n\n\n[END]\n", 2);
        ASSERT_TRUE(reading.headRead);
        EXPECT_EQ(count, reading.count);
    }
}
