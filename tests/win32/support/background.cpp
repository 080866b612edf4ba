#include "support/background.h"

namespace testkit {

Background::Background(std::function<void()> work) : work_(std::move(work))
{
    thread_ = CreateThread(nullptr, 0, run, this, 0, &threadId_);
}

Background::~Background()
{
    for (int attempt = 0; attempt < 50 && running(); ++attempt) {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, 100);
    }
    if (running())
        TerminateThread(thread_, 1);
    CloseHandle(thread_);
}

DWORD WINAPI Background::run(void* self)
{
    static_cast<Background*>(self)->work_();
    return 0;
}

bool Background::finished(DWORD timeoutMs)
{
    return driver::waitUntil([this] { return !running(); }, timeoutMs);
}

bool Background::running() const
{
    return WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT;
}

}  // namespace testkit
