// Installations made by hand for the tests of the removal and the menus: the catalogue's files,
// the record and the shortcut, as a finished install leaves them.
#ifndef VK_TEST_SEEDED_INSTALL_H
#define VK_TEST_SEEDED_INSTALL_H

#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace bench {

struct Seed {
    bool voice = true;   // the "voice" folder with every voice file (a full install)
    bool midi = true;    // the "midi" folder with every MIDI file
    bool saves = true;   // the eleven save files
};

// Creates dir (ending with a backslash) and every folder above it, then the catalogue's files
// as seed asks; each file holds its own name.
bool seedInstallation(const std::string& dir, const Seed& seed = Seed());

// Paths of every catalogue file of an installation in dir, and of its save files.
std::vector<std::string> catalogueFilePaths(const std::string& dir, bool withSaves);
std::vector<std::string> saveFilePaths(const std::string& dir);

// The file helpers of the end-to-end bench: makeFolders, writeFile, readFile ("<missing>" when
// the file cannot be read) and programsFolder (empty when the shell has none).
using e2e::makeFolders;
using e2e::programsFolder;
using e2e::readFile;
using e2e::writeFile;

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

// Writes the record as a finished install does: "cur", "drv", "dir" and "set".
void seedRecord(const std::string& dir, int level);
// Removes every trace of the record, the maker's key included.
void clearRecord();
bool recordValueExists(const char* name);
bool gameKeyExists();
bool makerKeyExists();

}  // namespace bench

#endif
