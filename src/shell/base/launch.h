// Every program the setup starts, with the fixed start-up information of every launch.
#ifndef VK_LAUNCH_H
#define VK_LAUNCH_H

// Fills launchInfo, the start-up information of every launch.
void fillLaunchInfo();

// Starts a program and returns at once; false when it could not be started.
// A path or working directory that the system could not take counts as a missing program.
bool launchProgram(const char* path, const char* workDir);

// Starts the installed game, "<installDir>velkorin.exe", in installDir. A path that does not fit
// fails with ERROR_FILENAME_EXCED_RANGE, as the system fails a program it cannot find.
bool launchGame();

#endif
