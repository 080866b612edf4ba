// Support for the Win32 tests: answering the message boxes that the code under test shows on
// this thread, and the discs of the Wine bench's drives.
#ifndef VK_TEST_BENCH_H
#define VK_TEST_BENCH_H

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "driver/driver.h"

namespace bench {

// Answers the message boxes of this process from a second thread while the test's own thread
// is blocked inside MessageBoxA: the i-th box gets answers[i]; boxes beyond the list get the
// last answer. Records caption, text and owner of each. stop() ends the watch and returns what
// was seen; it waits until no box is pending.
class MessageWatcher {
public:
    explicit MessageWatcher(std::vector<int> answers);
    ~MessageWatcher();
    MessageWatcher(const MessageWatcher&) = delete;
    MessageWatcher& operator=(const MessageWatcher&) = delete;

    struct Seen {
        std::string caption;
        std::string text;
        HWND owner;
    };
    std::vector<Seen> stop();

private:
    void run();
    std::vector<int> answers_;
    std::vector<Seen> seen_;
    HANDLE stopEvent_;
    std::thread thread_;
};

// "caption|text" of each box seen, in the order shown: one comparison checks them all.
std::vector<std::string> captionsAndTexts(const std::vector<MessageWatcher::Seen>& seen);

// A plain visible top-level window to own message boxes and dialogs.
class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    HWND handle() const { return window_; }

private:
    HWND window_;
};

// The bench's drives folder as Win32 code sees it ("Z:\...\drives").
std::string drivesFolder();

// Puts a disc with the given volume label into drive letter (A, P, Q or R) and waits until the
// system reports that label; empty label: none.
bool insertDisc(char letter, const std::string& label);

// Takes the disc out: the drive then answers like an empty CD drive.
bool removeDisc(char letter);

// Leaves the bench as tests expect it: only Q: holds a disc, labelled VELKORIN.
void restoreDefaultDiscs();

// Deletes a folder tree (Win32 path); true when it is gone.
bool removeTree(const std::string& path);

}  // namespace bench

#endif
