// The copy engine: copies a manifest section from the CD with progress, cancel and rollback.
#ifndef VK_COPY_ENGINE_H
#define VK_COPY_ENGINE_H

#include <windows.h>

// 1 when the copy completed; 0 when it failed or was cancelled. window is dialog 106 or 115,
// whose progress panel the engine moves. The level is read from the manifest in the current
// directory, and the files come from cdDrive.
//
// What each run changes besides the files, for its callers:
// - startDir becomes the current directory without its final backslash, read as the manifest is
//   opened: the updater is later started in it.
// - copyState becomes copyRunning when the files begin, and the engine leaves it so, also after
//   a completed run: the dialog sets it back to copyIdle (an upgrade's only after a failure).
// - A fresh run sets installDir to the section's first destination folder as the files begin.
// - A completed run sets installedType to chosenType (and a fresh one installDrive), brings the
//   saves over (fresh), writes the record, ends window and opens the shortcut offer over it
//   (an upgrade only where no shortcut is there). A cancelled run sets chosenType back to
//   installedType.
//
// In a run from the command line (setup.unattended) a completed run ends no dialog and creates
// the shortcut where the offer would be made and the command line wants it, and a failed fresh
// run is undone like a cancelled one.
int runFreshInstall(HWND window, int level);
int runUpgradeInstall(HWND window, int level);

// After a run that failed or was cancelled: each file or folder it created that its undoing
// left, told to tell; their count.
int leftoversOfLastRun(void (*tell)(const char* path));

#endif
