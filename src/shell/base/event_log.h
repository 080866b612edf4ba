// The log of a run from the command line: one UTF-8 line an event, with its time, appended to
// the log file and written to the standard output the setup was started with, where it has one
// (a shell's under Wine; on Windows a redirection, or the console of the program that started it).
#ifndef VK_EVENT_LOG_H
#define VK_EVENT_LOG_H

#include <windows.h>

// Opens path for appending, or %TEMP%\Velkorin-setup.log when path is empty. False when it cannot
// be opened: the reason has then gone to the standard output alone.
bool openEventLog(const char* path);

// One event, in the process's code page; line breaks in it become spaces.
void logEvent(const char* text);

// The text with another one after it ("%s: %s" and the like, without a format of its own).
void logEvent(const char* text, const char* more);

// Text for the standard output alone (the usage); false when there is none.
bool writeStandardOutput(const char* text);

void closeEventLog();

#endif
