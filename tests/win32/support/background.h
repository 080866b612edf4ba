// Runs code under test on a thread of its own, so that the test's thread can drive the dialogs it
// opens and answer the message boxes it shows, as the driver does from another process.
#ifndef VK_TEST_BACKGROUND_H
#define VK_TEST_BACKGROUND_H

#include <windows.h>

#include <functional>

#include "driver/driver.h"

namespace testkit {

class Background {
public:
    explicit Background(std::function<void()> work);
    // A work still running (a test that failed half-way) is unwound with WM_QUIT, which ends
    // every modal loop and message box of its thread in turn.
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    // Waits until the work has returned.
    bool finished(DWORD timeoutMs = driver::defaultTimeoutMs);
    bool running() const;
    DWORD threadId() const { return threadId_; }

private:
    static DWORD WINAPI run(void* self);
    std::function<void()> work_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};

}  // namespace testkit

#endif
