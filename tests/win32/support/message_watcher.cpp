#include "support/message_watcher.h"

#include <cstdlib>
#include <cstring>

namespace testkit {

MessageWatcher::MessageWatcher(std::vector<int> answers)
    : answers_(std::move(answers)), stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_([this] { run(); })
{
}

MessageWatcher::~MessageWatcher()
{
    stop();
    CloseHandle(stopEvent_);
}

void MessageWatcher::run()
{
    DWORD self = GetCurrentProcessId();
    for (;;) {
        HWND box = driver::findProcessMessageBox(self);
        if (box) {
            driver::MessageBoxInfo info = driver::readMessageBox(box);
            seen_.push_back({info.caption, info.text, GetWindow(box, GW_OWNER)});
            std::size_t index = seen_.size() - 1;
            int reply = answers_.empty() ? IDOK : answers_[index < answers_.size() ? index : answers_.size() - 1];
            driver::answer(box, reply);
            driver::waitGone(box, 5000);
            continue;
        }
        if (WaitForSingleObject(stopEvent_, 5) == WAIT_OBJECT_0)
            return;
    }
}

std::vector<MessageWatcher::Seen> MessageWatcher::stop()
{
    if (thread_.joinable()) {
        SetEvent(stopEvent_);
        thread_.join();
    }
    return seen_;
}

std::vector<std::string> captionsAndTexts(const std::vector<MessageWatcher::Seen>& seen)
{
    std::vector<std::string> texts;
    for (const auto& box : seen)
        texts.push_back(box.caption + "|" + box.text);
    return texts;
}

namespace {

LRESULT CALLBACK ownerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(w, msg, wParam, lParam);
}

}  // namespace

OwnerWindow::OwnerWindow()
{
    WNDCLASSA cls = {};
    cls.lpfnWndProc = ownerProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "VkTestOwner";
    RegisterClassA(&cls);
    window_ = CreateWindowA("VkTestOwner", "test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                            100, nullptr, nullptr, cls.hInstance, nullptr);
}

OwnerWindow::~OwnerWindow()
{
    DestroyWindow(window_);
}

}  // namespace testkit
