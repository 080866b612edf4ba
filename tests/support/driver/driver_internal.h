// What the parts of the driver share; not for its users.
#ifndef VK_DRIVER_INTERNAL_H
#define VK_DRIVER_INTERNAL_H

#include "driver/driver.h"

#include <cstdio>
#include <string>
#include <vector>

namespace driver {
namespace detail {

constexpr char dialogClass[] = "#32770";
constexpr int messageTextId = 0xFFFF;
constexpr int messageIconId = 0x440;

inline bool sendQuery(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(w, msg, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             sendTimeoutMs, &r))
        return false;
    if (result)
        *result = r;
    return true;
}

// LRESULT of a sent query, or fallback when the target did not answer.
inline LRESULT sendValue(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT fallback)
{
    DWORD_PTR r = 0;
    if (!sendQuery(w, msg, wParam, lParam, &r))
        return fallback;
    return static_cast<LRESULT>(r);
}

inline std::string hexBytes(const std::string& s)
{
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        if (!out.empty())
            out += ' ';
        out += buf;
    }
    return out;
}

inline std::string handleText(HWND w)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%lx", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(w)));
    return buf;
}

inline BOOL CALLBACK collectWindow(HWND w, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

// Calls f on every top-level window in z order until it returns false. The list is taken
// first, so f may look at other windows freely.
template <class F>
void enumTopLevel(F f)
{
    std::vector<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND w : all)
        if (!f(w))
            return;
}

inline std::vector<HWND> directChildren(HWND parent)
{
    std::vector<HWND> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back(c);
    return out;
}

inline bool canClick(HWND dlg, HWND ctrl)
{
    return ctrl && IsWindowVisible(dlg) && IsWindowEnabled(dlg) && IsWindowVisible(ctrl) &&
           IsWindowEnabled(ctrl);
}

}  // namespace detail
}  // namespace driver

#endif
