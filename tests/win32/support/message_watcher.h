// Support for the Win32 tests: answering the message boxes that the code under test shows on
// this thread, and a window to own them.
#ifndef VK_TEST_BENCH_H
#define VK_TEST_BENCH_H

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "driver/driver.h"

namespace testkit {

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

}  // namespace testkit

#endif
