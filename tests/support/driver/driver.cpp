// Waiting, finding and reading windows of other processes. See driver.h for each contract.
#include "driver/driver_internal.h"

#include <algorithm>
#include <cstring>

namespace driver {

using namespace detail;

bool waitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return cond();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

DialogQuery byTitle(const std::string& title, std::vector<int> ids, DWORD processId)
{
    DialogQuery q;
    q.title = title;
    q.anyTitle = false;
    q.ids = std::move(ids);
    q.processId = processId;
    return q;
}

DialogQuery byIds(std::vector<int> ids, DWORD processId)
{
    DialogQuery q;
    q.ids = std::move(ids);
    q.processId = processId;
    return q;
}

bool matches(HWND w, const DialogQuery& query)
{
    if (className(w) != dialogClass)
        return false;
    if (query.processId && processOf(w) != query.processId)
        return false;
    if (query.owner && GetWindow(w, GW_OWNER) != query.owner)
        return false;
    if (!query.anyTitle && caption(w) != query.title)
        return false;
    for (int id : query.ids)
        if (!GetDlgItem(w, id))
            return false;
    for (int id : query.absentIds)
        if (GetDlgItem(w, id))
            return false;
    return true;
}

HWND findDialog(const DialogQuery& query)
{
    HWND found = nullptr;
    enumTopLevel([&](HWND w) {
        if (IsWindowVisible(w) && matches(w, query)) {
            found = w;
            return false;
        }
        return true;
    });
    return found;
}

HWND waitDialog(const DialogQuery& query, DWORD timeoutMs)
{
    HWND found = nullptr;
    waitUntil([&] { return (found = findDialog(query)) != nullptr; }, timeoutMs);
    noteScreen(found);
    return found;
}

namespace {

ScreenObserver& screenObserver()
{
    static ScreenObserver observer;
    return observer;
}

}  // namespace

void observeScreens(ScreenObserver observer)
{
    screenObserver() = std::move(observer);
}

void noteScreen(HWND w)
{
    if (w && screenObserver())
        screenObserver()(w);
}

bool waitGone(HWND w, DWORD timeoutMs)
{
    return waitUntil([&] { return !IsWindow(w); }, timeoutMs);
}

bool waitHidden(HWND w, DWORD timeoutMs)
{
    return waitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); }, timeoutMs);
}

std::vector<HWND> topLevelWindows(DWORD processId, bool visibleOnly)
{
    std::vector<HWND> out;
    enumTopLevel([&](HWND w) {
        if ((!processId || processOf(w) == processId) && (!visibleOnly || IsWindowVisible(w)))
            out.push_back(w);
        return true;
    });
    return out;
}

std::string describeWindow(HWND w)
{
    if (!IsWindow(w))
        return handleText(w) + " (no such window)";
    std::string s = handleText(w) + " pid " + std::to_string(processOf(w)) + " class " + className(w) +
                    " caption " + quote(caption(w));
    s += IsWindowVisible(w) ? " visible" : " hidden";
    if (!IsWindowEnabled(w))
        s += " disabled";
    if (isTopMost(w))
        s += " topmost";
    if (HWND owner = GetWindow(w, GW_OWNER))
        s += " owner " + handleText(owner);
    std::vector<int> ids = controlIds(w);
    if (!ids.empty()) {
        s += " ids";
        for (int id : ids)
            s += " " + std::to_string(id);
    }
    if (isMessageBox(w))
        s += " text " + quote(messageText(w));
    return s;
}

std::string describeWindows(DWORD processId)
{
    std::string s;
    for (HWND w : topLevelWindows(processId, false)) {
        if (className(w) != dialogClass && !IsWindowVisible(w))
            continue;   // Wine's hidden helper windows say nothing useful
        s += "  " + describeWindow(w) + "\n";
    }
    return s.empty() ? "  (no windows)\n" : s;
}

DWORD processOf(HWND w)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

std::string windowText(HWND w)
{
    if (!w || !IsWindow(w))
        return std::string();
    LRESULT len = sendValue(w, WM_GETTEXTLENGTH, 0, 0, 0);
    if (len < 0)
        len = 0;
    // The ANSI length may be an estimate from the Unicode text; leave room for every byte.
    std::vector<char> buf(static_cast<size_t>(len) * 2 + 16, '\0');
    if (!sendQuery(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), nullptr))
        return std::string();
    buf.back() = '\0';
    return std::string(buf.data(), std::strlen(buf.data()));
}

std::string controlText(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    return c ? windowText(c) : std::string();
}

std::string caption(HWND w)
{
    char buf[1024];
    int n = GetWindowTextA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string className(HWND w)
{
    char buf[256];
    int n = GetClassNameA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

bool hasControl(HWND dlg, int id) { return GetDlgItem(dlg, id) != nullptr; }

std::vector<int> controlIds(HWND dlg)
{
    std::vector<int> ids;
    for (HWND c : directChildren(dlg))
        ids.push_back(GetDlgCtrlID(c));
    return ids;
}

bool isEnabled(HWND w) { return IsWindow(w) && IsWindowEnabled(w); }
bool isVisible(HWND w) { return IsWindow(w) && IsWindowVisible(w); }
bool isTopMost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool isControlEnabled(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    return c && IsWindowEnabled(c);
}

bool isControlVisible(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    return c && IsWindowVisible(c);
}

HWND findChildByClass(HWND dlg, const char* cls)
{
    for (HWND c : directChildren(dlg))
        if (lstrcmpiA(className(c).c_str(), cls) == 0)
            return c;
    return nullptr;
}

namespace {
std::string convert(const std::string& in, UINT from, UINT to)
{
    if (in.empty())
        return in;
    int wn = MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wn), L'\0');
    MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), &w[0], wn);
    int n = WideCharToMultiByte(to, 0, w.data(), wn, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(to, 0, w.data(), wn, &out[0], n, nullptr, nullptr);
    return out;
}
}  // namespace

std::string toUtf8(const std::string& cp932) { return convert(cp932, 932, CP_UTF8); }
std::string fromUtf8(const std::string& utf8) { return convert(utf8, CP_UTF8, 932); }

std::string quote(const std::string& cp932)
{
    return "\"" + toUtf8(cp932) + "\" [" + hexBytes(cp932) + "]";
}

std::string unixToWine(const std::string& unixPath)
{
    std::string out = "Z:" + unixPath;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

}  // namespace driver
