#include "lstcheck/manifest_check.h"

#include <cstdio>
#include <map>
#include <set>

#include "install/manifest_reader.h"
#include "install/size_tables.h"
#include "removal/catalogue.h"
#include "shell/base/path_walker.h"

namespace {

constexpr int levelCount = 3;
const char* const levelNames[levelCount] = {"minimum", "standard", "full"};

struct Entry {
    int line;
    bool onCd;
    std::string source;        // relative to the CD root
    std::string destination;   // relative to the install folder
    std::string folder;        // the destination folder alone
    std::string name;
};

struct Section {
    int headerLine = 0;
    int endLine = 0;
    bool headRead = false;
    int count = 0;
    bool closedByEnd = false;
    std::vector<Entry> entries;
};

class Report {
public:
    explicit Report(std::vector<std::string>& lines) : lines_(lines) {}
    void fault(int line, const std::string& text) { add(line, "fault", text); ++faults_; }
    void note(int line, const std::string& text) { add(line, "note", text); ++notes_; }
    void summary(const std::string& text) { lines_.push_back("setup.lst: " + text); }
    int faults() const { return faults_; }
    int notes() const { return notes_; }

private:
    void add(int line, const char* kind, const std::string& text)
    {
        std::string where = line > 0 ? "setup.lst:" + std::to_string(line) : std::string("setup.lst");
        lines_.push_back(where + ": " + kind + ": " + text);
    }
    std::vector<std::string>& lines_;
    int faults_ = 0;
    int notes_ = 0;
};

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string plural(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// What the raw lines of the file hold that the reading rules turn into traps: lines split into
// pieces, and a last line without its line feed.
struct RawLines {
    std::map<int, int> pieces;   // line -> pieces, for lines of a section read as more than one
    int lastLine = 0;            // the last line, when it has no line feed and is no end marker
    std::string lastLineText;
};

// Only the split lines of the sections are kept: what the check holds grows with the sections,
// not with the file.
RawLines scanLines(std::FILE* file, const std::map<int, Section>& sections)
{
    RawLines raw;
    ManifestReader reader{};
    reader.file = file;
    bool ended = true, isEnd = false;
    auto inSection = [&sections](int line) {
        for (const auto& [header, section] : sections) {
            if (line >= header && line <= section.endLine)
                return true;
        }
        return false;
    };
    while (readManifestLine(reader)) {
        if (reader.linePiece > 0 && inSection(reader.lineNumber))
            raw.pieces[reader.lineNumber] = reader.linePiece + 1;
        ended = reader.line[reader.lineLength - 1] == '\n';
        isEnd = manifestLineIsEnd(reader);
        raw.lastLine = reader.lineNumber;
        raw.lastLineText.assign(reader.line, reader.lineLength);
    }
    if (ended || isEnd)
        raw.lastLine = 0;
    return raw;
}

void readSection(ManifestReader& reader, Section& section, Report& report)
{
    section.headerLine = reader.lineNumber;
    SectionHead head{};
    if (!readSectionHead(reader, head)) {
        section.endLine = reader.lineNumber;
        if (manifestLineIsEnd(reader))
            report.fault(reader.lineNumber, "[END] comes before the count and the two folder lines "
                                            "of the section of line " + std::to_string(section.headerLine) +
                                            ": nothing can be installed from it");
        else if (reader.lineLength == 0)
            report.fault(section.headerLine, "the file ends before the section's count and two folder "
                                             "lines: nothing can be installed from it");
        else
            report.fault(reader.lineNumber, "the count " + quoted(std::string(reader.line, reader.lineLength - 1)) +
                                            " is not a number of 1 or more: the setup refuses the section");
        return;
    }
    section.headRead = true;
    section.count = head.count;
    FileEntry entry = firstFileEntry(head);
    while (nextFileEntry(reader, entry)) {
        const std::string source = entry.sourceFolder;
        const std::string destination = entry.destinationFolder;
        if (manifestHeaderLevel(reader) >= 0)
            report.fault(reader.lineNumber, "a section header inside the section of line " +
                                                std::to_string(section.headerLine) +
                                                ", taken as a file name: is its [END] missing?");
        section.entries.push_back({reader.lineNumber, false, source + entry.fileName,
                                   destination + entry.fileName, destination, entry.fileName});
    }
    section.closedByEnd = manifestLineIsEnd(reader);
    section.endLine = reader.lineNumber;
    if (!section.closedByEnd)
        report.fault(section.headerLine, "the section is not closed by [END]: the end of the file closes it");
}

bool inTable(const FileTable& table, const std::string& foldedName)
{
    for (int i = 0; i < table.count; ++i) {
        if (foldName(table.names[i]) == foldedName)
            return true;
    }
    return false;
}

// The folder of the install folder where the removal looks for a table's names.
struct CatalogueFolder {
    const char* folder;
    const FileTable* table;
};

const CatalogueFolder catalogueFolders[] = {
    {"", &mainFiles}, {"", &saveFiles}, {"voice\\", &voiceFiles}, {"midi\\", &midiFiles}};

bool removalKnows(const Entry& entry)
{
    std::string folder = foldName(entry.folder);
    std::string name = foldName(entry.name);
    for (const CatalogueFolder& place : catalogueFolders) {
        if (folder == foldName(place.folder) && inTable(*place.table, name))
            return true;
    }
    return false;
}

// Destinations of a section, folded, with the size of each file the CD has.
using FileSet = std::map<std::string, std::uint64_t>;

void checkEntries(Section& section, const CdLookup& lookup, Report& report, FileSet& files)
{
    for (Entry& entry : section.entries) {
        CdFile found = lookup(entry.source);
        entry.onCd = found.found;
        if (!found.found)
            report.fault(entry.line, quoted(entry.source) + " is not on the CD: the copy stops there");
        if (!removalKnows(entry))
            report.fault(entry.line, quoted(entry.destination) +
                                         " is not named by the removal's catalogue: uninstall leaves it "
                                         "behind, and its folder");
        files.emplace(foldName(entry.destination), found.found ? found.size : 0);
    }
    if (section.headRead && static_cast<std::size_t>(section.count) != section.entries.size()) {
        const char* effect = static_cast<std::size_t>(section.count) > section.entries.size()
                                 ? "the progress bar stops short of 100 %"
                                 : "the progress bar runs past 100 %";
        report.fault(section.headerLine + 1, "the count says " + std::to_string(section.count) +
                                                 ", the section lists " + plural(section.entries.size(), "file", "files") +
                                                 ": " + effect);
    }
}

std::uint64_t bytesOf(const FileSet& files)
{
    std::uint64_t total = 0;
    for (const auto& file : files)
        total += file.second;
    return total;
}

std::string roomText(std::uint64_t bytes, std::uint32_t required)
{
    return std::to_string(bytes) + " bytes, room asked " + std::to_string(required);
}

}  // namespace

bool splitCdPath(const std::string& relativePath, std::vector<std::string>& parts)
{
    parts.clear();
    std::int32_t start = 0;
    std::int32_t cursor = 0;
    for (;;) {
        bool last = nextPathPrefix(relativePath.c_str(), cursor) == 1;
        parts.push_back(relativePath.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(cursor - 1 - start)));
        if (parts.back().empty() || isDotEntry(parts.back().c_str()))
            return false;
        if (last)
            return true;
        start = cursor;
    }
}

std::string foldName(const std::string& name)
{
    std::string out = name;
    for (std::size_t i = 0; i < out.size(); i = nextCharacter(out.c_str(), i)) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z')
            out[i] = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

CheckStatus checkManifest(const std::string& manifestPath, const CdLookup& lookup,
                          std::vector<std::string>& lines)
{
    return checkManifest([&manifestPath] { return std::fopen(manifestPath.c_str(), "rb"); }, manifestPath, lookup,
                         {}, lines);
}

CheckStatus checkManifest(const ManifestOpener& open, const std::string& where, const CdLookup& lookup,
                          const std::vector<std::string>& cdNotes, std::vector<std::string>& lines)
{
    Report report(lines);
    for (const std::string& text : cdNotes)
        report.note(0, text);

    // Sections by their header line; each level points at the one that serves it.
    std::map<int, Section> sections;
    int servedBy[levelCount] = {0, 0, 0};
    std::FILE* manifest = nullptr;
    for (int level = 0; level < levelCount; ++level) {
        manifest = open();
        if (!manifest) {
            lines.push_back("setup.lst: cannot be read: " + where);
            return checkUnreadable;
        }
        ManifestReader reader{};
        if (!findSectionInFile(reader, manifest, level))
            continue;
        servedBy[level] = reader.lineNumber;
        if (sections.count(reader.lineNumber) == 0)
            readSection(reader, sections[reader.lineNumber], report);
        closeManifest(reader);
    }
    manifest = open();
    if (!manifest) {
        lines.push_back("setup.lst: cannot be read: " + where);
        return checkUnreadable;
    }
    RawLines raw = scanLines(manifest, sections);
    std::fclose(manifest);

    std::map<int, FileSet> filesOf;
    for (auto& [line, section] : sections) {
        for (const auto& [splitLine, pieces] : raw.pieces) {
            if (splitLine >= section.headerLine && splitLine <= section.endLine)
                report.fault(splitLine, "the line has more than 254 characters: the setup reads it as " +
                                            std::to_string(pieces) + " lines");
        }
        if (raw.lastLine >= section.headerLine && raw.lastLine <= section.endLine)
            report.fault(raw.lastLine, "the last line has no line feed: the setup drops its last character "
                                       "and reads " + quoted(raw.lastLineText.substr(0, raw.lastLineText.size() - 1)));
        checkEntries(section, lookup, report, filesOf[line]);
    }

    for (int level = 0; level < levelCount; ++level) {
        if (servedBy[level] == 0)
            report.fault(0, std::string("no section serves level ") + std::to_string(level) + " (" +
                                levelNames[level] + "): an install at that level fails");
    }

    // Each section must list every file of the level below: a fresh install copies that one
    // section, and an upgrade copies what it lacks of the new level's section.
    for (int level = 1; level < levelCount; ++level) {
        int below = servedBy[level - 1], here = servedBy[level];
        if (below == 0 || here == 0 || below == here || !sections[below].headRead ||
            !sections[here].headRead)
            continue;
        // A name the CD lacks has been told already.
        for (const Entry& entry : sections[below].entries) {
            if (entry.onCd && filesOf[here].count(foldName(entry.destination)) == 0)
                report.fault(here, std::string("the section for level ") + std::to_string(level) + " (" +
                                       levelNames[level] + ") lacks " + quoted(entry.destination) +
                                       " of level " + std::to_string(level - 1) + " (line " +
                                       std::to_string(entry.line) + "): an install at level " +
                                       std::to_string(level) + " misses it");
        }
    }

    // The removal's catalogue against what the levels install; the saves are the game's own.
    std::set<std::string> installed;
    for (int level = 0; level < levelCount; ++level) {
        if (servedBy[level] != 0) {
            for (const auto& file : filesOf[servedBy[level]])
                installed.insert(file.first);
        }
    }
    // One note per name while they are few, else one per folder with the first names.
    constexpr std::size_t namesPerNote = 5;
    for (const CatalogueFolder& place : catalogueFolders) {
        if (place.table == &saveFiles)
            continue;
        std::vector<std::string> left;
        for (int i = 0; i < place.table->count; ++i) {
            std::string path = std::string(place.folder) + place.table->names[i];
            if (installed.count(foldName(path)) == 0)
                left.push_back(path);
        }
        if (left.size() <= namesPerNote) {
            for (const std::string& path : left)
                report.note(0, "the removal's catalogue names " + quoted(path) + ", which no level installs");
            continue;
        }
        std::string first;
        for (std::size_t i = 0; i < namesPerNote; ++i)
            first += (i ? ", " : "") + quoted(left[i]);
        report.note(0, "the removal's catalogue names " + std::to_string(left.size()) + " files in " +
                           quoted(place.folder) + " that no level installs: " + first + ", ...");
    }

    for (int level = 0; level < levelCount; ++level) {
        std::uint32_t required = 0;
        if (servedBy[level] == 0 || !requiredBytes(level, required))
            continue;
        const FileSet& files = filesOf[servedBy[level]];
        std::uint64_t bytes = bytesOf(files);
        if (bytes > required)
            report.fault(servedBy[level], std::string("level ") + std::to_string(level) + " (" + levelNames[level] +
                                              ") copies " + std::to_string(bytes) + " bytes, more than the " +
                                              std::to_string(required) +
                                              " the setup asks free: the disk can fill during the copy");
    }
    const int pairs[][2] = {{0, 1}, {0, 2}, {1, 2}};
    std::vector<std::string> upgradeSummaries;
    for (const auto& pair : pairs) {
        std::uint32_t required = 0;
        int from = servedBy[pair[0]], to = servedBy[pair[1]];
        if (from == 0 || to == 0 || !sections[from].headRead || !sections[to].headRead ||
            !upgradeRequiredBytes(pair[0], pair[1], required))
            continue;
        FileSet added;
        for (const auto& file : filesOf[to]) {
            if (filesOf[from].count(file.first) == 0)
                added.insert(file);
        }
        std::uint64_t bytes = bytesOf(added);
        if (bytes > required)
            report.fault(to, "the upgrade from level " + std::to_string(pair[0]) + " to " + std::to_string(pair[1]) +
                                 " adds " + std::to_string(bytes) + " bytes, more than the " + std::to_string(required) +
                                 " the setup asks free: the disk can fill during the copy");
        upgradeSummaries.push_back("upgrade " + std::to_string(pair[0]) + " to " + std::to_string(pair[1]) +
                                   ": " + plural(added.size(), "file", "files") + ", " + roomText(bytes, required));
    }

    for (int level = 0; level < levelCount; ++level) {
        std::uint32_t required = 0;
        if (servedBy[level] == 0 || !requiredBytes(level, required))
            continue;
        const FileSet& files = filesOf[servedBy[level]];
        std::string what = sections[servedBy[level]].headRead
                               ? plural(files.size(), "file", "files") + ", " + roomText(bytesOf(files), required)
                               : std::string("refused: an install at that level fails");
        report.summary(std::string("level ") + std::to_string(level) + " (" + levelNames[level] +
                       "): section of line " + std::to_string(servedBy[level]) + ", " + what);
    }
    for (const std::string& text : upgradeSummaries)
        report.summary(text);
    report.summary(report.faults() == 0 ? "clean" + (report.notes() ? ", " + plural(report.notes(), "note", "notes") : std::string())
                                        : plural(report.faults(), "fault", "faults") + ", " +
                                              plural(report.notes(), "note", "notes"));
    return report.faults() == 0 ? checkClean : checkFaults;
}
