// The Wine bench as the GoogleTest programs find and change it: where its build, drives and
// discs are (from the environment tools/wine-run passes on), the discs in its drives A:, P:, Q:
// and R:, the kinds of its drives, fillers that leave a drive full, and installations seeded by
// hand. Paths are Win32 paths; the bench's Unix folders are reached through Z:.
#ifndef VK_WINE_BENCH_H
#define VK_WINE_BENCH_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "testkit.h"

namespace testkit {

// Locations.
// A path from an environment variable; a Unix path (from the bench's shell) as Z: sees it. Empty
// when the variable is not set.
std::string envPath(const char* name);
std::string buildDir();               // VK_BUILD_DIR (the cross build tree)
std::string drivesDir();              // VK_DRIVES (the folders behind the drive letters)
std::string discFolder(char letter);  // <drives>\<letter>\disc: the disc in that drive
std::string demoCdFolder();           // <build>\demo-cd, made by tools/make-demo-cd
std::string standinLogPath();         // VK_STANDIN_LOG, else C:\standins.log

// Discs. A disc is in while its folder exists; its label is the folder's .windows-label, which
// Wine reads only when the drive is defined afresh (a disc change), as these do.
// An empty disc with that label; a disc taken out earlier is put back as it was.
::testing::AssertionResult insertDisc(char letter, const std::string& label = "VELKORIN");
// A fresh copy of the demo CD with that label.
::testing::AssertionResult insertDemoDisc(char letter, const std::string& label = "VELKORIN");
// Takes the disc out: its folder is renamed away, so the drive letter dangles. Wine then
// reports an empty label (Windows fails with 21) and fails the free-space calls with 3.
::testing::AssertionResult removeDisc(char letter);
// Writes the label, has Wine read it and waits until GetVolumeInformationA reports it.
::testing::AssertionResult setDriveLabel(char letter, const std::string& label);
::testing::AssertionResult waitDriveLabel(char letter, const std::string& label,
                                          DWORD timeoutMs = driver::defaultTimeoutMs);
// Every drive empty, what was taken out of it too; Wine told.
::testing::AssertionResult clearDiscs();
// The discs as the bench starts and every test leaves them: only Q: holds one, labelled
// VELKORIN (its files as the last test left them).
::testing::AssertionResult restoreDefaultDiscs();

// Defines a bench drive afresh as another kind (DRIVE_FIXED, DRIVE_REMOTE...) and waits until
// GetDriveTypeA reports it.
::testing::AssertionResult setDriveKind(char letter, UINT driveType);

// The dpi Wine gives the programs started from now on (HKCU\Control Panel\Desktop, LogPixels,
// as winecfg's Graphics tab sets it): 96, 144, 192. A running program keeps the dpi it started
// with. Every test starts at the bench's own.
constexpr DWORD benchDpi = 96;
::testing::AssertionResult setStartDpi(DWORD dpi);

// The files below dir, as relative paths ("midi\vk01_fm.mid"), sorted; folders only as the
// path of their files.
std::vector<std::string> listFilesBelow(const std::string& dir);

// <letter>:\vk-filler grown or cut until the drive has exactly wanted bytes free (a multiple of
// 4096: tmpfs counts whole pages). The filler is written, not extended: a sparse end takes no room.
::testing::AssertionResult leaveFreeOnDrive(char letter, ULONGLONG wanted);
// The filler deleted again.
::testing::AssertionResult freeDrive(char letter);

// Installations made by hand: dir (ending with '\') and each of files below it (relative names,
// folders made as needed), each holding its own relative name.
::testing::AssertionResult seedInstallation(const std::string& dir, const std::vector<std::string>& files);
// The catalogue's files as seed asks (catalogueFiles), so.
::testing::AssertionResult seedCatalogue(const std::string& dir, const Seed& seed = Seed());

// A drive whose disc or disk fails as a real one does: tools/faulty-fs serves the drive's folder
// again through FUSE, with the faults its rules file names (a read or write that fails past an
// offset, a reader killed or held there), and the drive is defined on that mount for the test.
// The destructor puts the drive back on its folder and unmounts.
class FaultyDrive {
public:
    FaultyDrive() = default;
    FaultyDrive(const FaultyDrive&) = delete;
    FaultyDrive& operator=(const FaultyDrive&) = delete;
    ~FaultyDrive();

    // Serves letter's folder (unixFolder, a Unix path) with rules in force. Where this host cannot
    // mount a user-space file system at all, succeeds with unavailable() saying why, and the
    // drive stays as it was.
    ::testing::AssertionResult serve(char letter, const std::string& unixFolder, const std::string& rules);
    const std::string& unavailable() const { return unavailable_; }
    // New rules; the file system reads them again at its next access.
    bool setRules(const std::string& rules);
    ::testing::AssertionResult release();

private:
    std::string unixPath(const std::string& name) const;
    ::testing::AssertionResult run(const std::vector<std::string>& arguments, const std::string& done);

    char letter_ = 0;
    std::string folder_;
    std::string base_;
    std::string unavailable_;
    bool mounted_ = false;
    bool defined_ = false;
};

// The Unix folder behind a bench drive letter (D:, E: or a disc drive's disc), for FaultyDrive.
std::string unixDriveFolder(char letter);

}  // namespace testkit

#endif
