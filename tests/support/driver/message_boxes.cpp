// Finding, reading and answering the message boxes of another process.
#include "driver/driver_internal.h"

#include <algorithm>

namespace driver {

using namespace detail;

bool isMessageBox(HWND w)
{
    if (className(w) != dialogClass)
        return false;
    bool hasText = false;
    for (HWND c : directChildren(w)) {
        // Exact ids: a -1 static of an extended template reads 0xFFFFFFFF and is no box text.
        int id = GetDlgCtrlID(c);
        if (id == messageTextId)
            hasText = true;
        else if (id != messageIconId && (id < IDOK || id > IDCONTINUE))
            return false;
    }
    return hasText;
}

HWND findMessageBox(HWND owner)
{
    HWND found = nullptr;
    enumTopLevel([&](HWND w) {
        if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == owner && isMessageBox(w)) {
            found = w;
            return false;
        }
        return true;
    });
    return found;
}

HWND findProcessMessageBox(DWORD processId)
{
    HWND found = nullptr;
    enumTopLevel([&](HWND w) {
        if (IsWindowVisible(w) && processOf(w) == processId && isMessageBox(w)) {
            found = w;
            return false;
        }
        return true;
    });
    return found;
}

HWND waitMessageBox(HWND owner, DWORD timeoutMs)
{
    HWND found = nullptr;
    waitUntil([&] { return (found = findMessageBox(owner)) != nullptr; }, timeoutMs);
    noteScreen(found);
    return found;
}

HWND waitProcessMessageBox(DWORD processId, DWORD timeoutMs)
{
    HWND found = nullptr;
    waitUntil([&] { return (found = findProcessMessageBox(processId)) != nullptr; }, timeoutMs);
    noteScreen(found);
    return found;
}

std::string messageText(HWND box) { return controlText(box, messageTextId); }

MessageBoxInfo readMessageBox(HWND box)
{
    MessageBoxInfo info;
    info.window = box;
    info.caption = caption(box);
    info.text = messageText(box);
    for (HWND c : directChildren(box)) {
        int id = GetDlgCtrlID(c);
        if (id >= IDOK && id <= IDCONTINUE && lstrcmpiA(className(c).c_str(), "Button") == 0)
            info.buttons.push_back(id);
    }
    std::sort(info.buttons.begin(), info.buttons.end());
    return info;
}

bool answer(HWND box, int answerId)
{
    HWND b = GetDlgItem(box, answerId);
    if (!b || lstrcmpiA(className(b).c_str(), "Button") != 0)
        return false;
    return PostMessageA(box, WM_COMMAND, MAKEWPARAM(answerId, BN_CLICKED), reinterpret_cast<LPARAM>(b)) != 0;
}

namespace {

std::string checkAndAnswer(HWND box, const std::string& wantCaption, const std::string& wantText,
                           int answerId, DWORD timeoutMs)
{
    MessageBoxInfo info = readMessageBox(box);
    std::string problems;
    if (info.caption != wantCaption)
        problems += "caption " + quote(info.caption) + ", expected " + quote(wantCaption) + "; ";
    if (info.text != wantText)
        problems += "text " + quote(info.text) + ", expected " + quote(wantText) + "; ";
    if (!problems.empty())
        return "message box " + handleText(box) + ": " + problems + "left unanswered";
    if (!answer(box, answerId)) {
        std::string ids;
        for (int id : info.buttons)
            ids += " " + std::to_string(id);
        return "message box " + quote(info.text) + " has no button " + std::to_string(answerId) +
               " (buttons:" + ids + ")";
    }
    if (!waitHidden(box, timeoutMs))
        return "message box " + quote(info.text) + " still shown " + std::to_string(timeoutMs) +
               " ms after answering " + std::to_string(answerId);
    return std::string();
}

}  // namespace

std::string expectMessage(HWND owner, const std::string& wantCaption, const std::string& wantText,
                          int answerId, DWORD timeoutMs)
{
    HWND box = waitMessageBox(owner, timeoutMs);
    if (!box)
        return "no message box owned by " + describeWindow(owner) + " within " +
               std::to_string(timeoutMs) + " ms (expected " + quote(wantText) + "); windows:\n" +
               describeWindows(IsWindow(owner) ? processOf(owner) : 0);
    return checkAndAnswer(box, wantCaption, wantText, answerId, timeoutMs);
}

std::string expectProcessMessage(DWORD processId, const std::string& wantCaption,
                                 const std::string& wantText, int answerId, DWORD timeoutMs)
{
    HWND box = waitProcessMessageBox(processId, timeoutMs);
    if (!box)
        return "no message box of process " + std::to_string(processId) + " within " +
               std::to_string(timeoutMs) + " ms (expected " + quote(wantText) + "); windows:\n" +
               describeWindows(processId);
    return checkAndAnswer(box, wantCaption, wantText, answerId, timeoutMs);
}

}  // namespace driver
