// Acting on dialog controls of another process: buttons, edits, lists, progress bars, trees.
#include "driver/driver_internal.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace driver {

using namespace detail;

namespace {

// Remote memory in the process that owns a window, for messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND w, SIZE_T size) : size_(size)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                   PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (process_)
            base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                                      PAGE_READWRITE));
    }
    ~RemoteBuffer()
    {
        if (base_)
            VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return base_ != nullptr; }
    char* at(SIZE_T offset) const { return base_ + offset; }
    bool write(SIZE_T offset, const void* data, SIZE_T n)
    {
        SIZE_T done = 0;
        return offset + n <= size_ && WriteProcessMemory(process_, base_ + offset, data, n, &done) && done == n;
    }
    bool read(SIZE_T offset, void* data, SIZE_T n)
    {
        SIZE_T done = 0;
        return offset + n <= size_ && ReadProcessMemory(process_, base_ + offset, data, n, &done) && done == n;
    }
    // Reads what lies at an address of the target; a short read near the end of its memory
    // still counts when something was read.
    bool readAt(const void* address, void* data, SIZE_T n)
    {
        SIZE_T done = 0;
        return address && (ReadProcessMemory(process_, address, data, n, &done) || done > 0);
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
    SIZE_T size_;
};

}  // namespace

bool click(HWND dlg, int id)
{
    HWND b = GetDlgItem(dlg, id);
    if (!canClick(dlg, b))
        return false;
    return PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(b)) != 0;
}

bool postCommand(HWND dlg, int id, WORD code)
{
    return PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, code),
                        reinterpret_cast<LPARAM>(GetDlgItem(dlg, id))) != 0;
}

bool press(HWND dlg, int id)
{
    HWND b = GetDlgItem(dlg, id);
    if (!canClick(dlg, b))
        return false;
    return PostMessageA(b, BM_CLICK, 0, 0) != 0;
}

bool postClose(HWND w) { return PostMessageA(w, WM_CLOSE, 0, 0) != 0; }

bool whileHeld(HWND w, const std::function<bool()>& posts)
{
    // A thread waiting for its messages stays held: Wine satisfies no wait of a suspended thread.
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(w, nullptr));
    if (!thread)
        return false;
    bool posted = false;
    if (SuspendThread(thread) != static_cast<DWORD>(-1)) {
        posted = posts();
        ResumeThread(thread);
    }
    CloseHandle(thread);
    return posted;
}

bool setEditText(HWND dlg, int id, const std::string& text)
{
    HWND e = GetDlgItem(dlg, id);
    if (!canClick(dlg, e))
        return false;
    DWORD_PTR ok = 0;
    if (!sendQuery(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok) || !ok)
        return false;
    if (!sendQuery(e, EM_SETMODIFY, TRUE, 0, nullptr))
        return false;
    return PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(e)) != 0;
}

bool setEditTextWide(HWND dlg, int id, const std::wstring& text)
{
    HWND e = GetDlgItem(dlg, id);
    if (!canClick(dlg, e))
        return false;
    DWORD_PTR ok = 0;
    if (!SendMessageTimeoutW(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             sendTimeoutMs, &ok) ||
        !ok)
        return false;
    if (!sendQuery(e, EM_SETMODIFY, TRUE, 0, nullptr))
        return false;
    return PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(e)) != 0;
}

bool typeChars(HWND dlg, int id, const std::string& text, TypeMode mode)
{
    HWND e = GetDlgItem(dlg, id);
    if (!canClick(dlg, e))
        return false;
    if (mode == TypeMode::replace) {
        if (!sendQuery(e, EM_SETSEL, 0, -1, nullptr))
            return false;
    } else {
        DWORD_PTR len = 0;
        if (!sendQuery(e, WM_GETTEXTLENGTH, 0, 0, &len) || !sendQuery(e, EM_SETSEL, len, len, nullptr))
            return false;
    }
    for (unsigned char c : text)
        if (!PostMessageA(e, WM_CHAR, c, 1))
            return false;
    return true;
}

int checkState(HWND dlg, int id)
{
    HWND b = GetDlgItem(dlg, id);
    if (!b)
        return -1;
    return static_cast<int>(sendValue(b, BM_GETCHECK, 0, 0, -1));
}

int comboCount(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    if (!c)
        return -1;
    return static_cast<int>(sendValue(c, CB_GETCOUNT, 0, 0, CB_ERR));
}

std::string comboItem(HWND dlg, int id, int index)
{
    HWND c = GetDlgItem(dlg, id);
    if (!c)
        return std::string();
    // Wine 8 answers a CB_GETLBTEXTA from another process with the Unicode text unconverted;
    // ask in Unicode and convert as the target's own ANSI call would.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(c, CB_GETLBTEXTLEN, index, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, sendTimeoutMs, &len) ||
        static_cast<LRESULT>(len) == CB_ERR)
        return std::string();
    std::vector<wchar_t> buf(len + 16, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(c, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, sendTimeoutMs, &got) ||
        static_cast<LRESULT>(got) == CB_ERR)
        return std::string();
    buf.back() = L'\0';
    int wn = static_cast<int>(std::wcslen(buf.data()));
    int n = WideCharToMultiByte(CP_ACP, 0, buf.data(), wn, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, buf.data(), wn, &out[0], n, nullptr, nullptr);
    return out;
}

std::vector<std::string> comboItems(HWND dlg, int id)
{
    std::vector<std::string> out;
    int n = comboCount(dlg, id);
    for (int i = 0; i < n; ++i)
        out.push_back(comboItem(dlg, id, i));
    return out;
}

int comboSelection(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    if (!c)
        return CB_ERR;
    return static_cast<int>(sendValue(c, CB_GETCURSEL, 0, 0, CB_ERR));
}

bool comboSelect(HWND dlg, int id, int index)
{
    HWND c = GetDlgItem(dlg, id);
    if (!canClick(dlg, c))
        return false;
    if (sendValue(c, CB_SETCURSEL, index, 0, CB_ERR) != index)
        return false;
    return PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c)) != 0;
}

int comboFind(HWND dlg, int id, const std::string& text)
{
    std::vector<std::string> items = comboItems(dlg, id);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text)
            return static_cast<int>(i);
    return -1;
}

int progressPos(HWND dlg, int id)
{
    HWND p = GetDlgItem(dlg, id);
    if (!p)
        return -1;
    return static_cast<int>(sendValue(p, PBM_GETPOS, 0, 0, -1));
}

bool progressRange(HWND dlg, int id, int* low, int* high)
{
    HWND p = GetDlgItem(dlg, id);
    if (!p)
        return false;
    // With a null PBRANGE the call answers one end at a time, so no pointer crosses processes.
    DWORD_PTR lo = 0, hi = 0;
    if (!sendQuery(p, PBM_GETRANGE, TRUE, 0, &lo) || !sendQuery(p, PBM_GETRANGE, FALSE, 0, &hi))
        return false;
    *low = static_cast<int>(lo);
    *high = static_cast<int>(hi);
    return true;
}

HTREEITEM treeRoot(HWND tree)
{
    return reinterpret_cast<HTREEITEM>(sendValue(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, 0));
}

std::vector<HTREEITEM> treeChildren(HWND tree, HTREEITEM parent)
{
    std::vector<HTREEITEM> out;
    HTREEITEM item = parent
        ? reinterpret_cast<HTREEITEM>(sendValue(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                reinterpret_cast<LPARAM>(parent), 0))
        : treeRoot(tree);
    while (item) {
        out.push_back(item);
        item = reinterpret_cast<HTREEITEM>(sendValue(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                     reinterpret_cast<LPARAM>(item), 0));
    }
    return out;
}

std::string treeItemText(HWND tree, HTREEITEM item)
{
    // TVM_GETITEMA carries pointers: the item record and its text buffer must live in the
    // tree's own process.
    constexpr SIZE_T textOffset = 256;
    constexpr int textSize = 2048;
    RemoteBuffer remote(tree, textOffset + textSize);
    if (!remote.ok())
        return std::string();
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = remote.at(textOffset);
    tv.cchTextMax = textSize;
    char zero = 0;
    if (!remote.write(0, &tv, sizeof tv) || !remote.write(textOffset, &zero, 1))
        return std::string();
    if (!sendValue(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.at(0)), 0))
        return std::string();
    TVITEMA back{};
    if (!remote.read(0, &back, sizeof back))
        return std::string();
    // The control may answer with a pointer to its own copy of the text instead of filling ours.
    std::vector<char> text(textSize + 1, '\0');
    if (!remote.readAt(back.pszText, text.data(), textSize))
        return std::string();
    return std::string(text.data(), std::strlen(text.data()));
}

HTREEITEM treeSelection(HWND tree)
{
    return reinterpret_cast<HTREEITEM>(sendValue(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, 0));
}

int treeCount(HWND tree)
{
    return static_cast<int>(sendValue(tree, TVM_GETCOUNT, 0, 0, -1));
}

bool treeSelect(HWND tree, HTREEITEM item)
{
    if (!IsWindowVisible(tree) || !IsWindowEnabled(tree))
        return false;
    if (!sendValue(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item), 0))
        return false;
    return treeSelection(tree) == item;
}

HTREEITEM treeFind(HWND tree, const std::vector<std::string>& path)
{
    HTREEITEM parent = nullptr;
    for (const std::string& step : path) {
        HTREEITEM next = nullptr;
        for (HTREEITEM item : treeChildren(tree, parent))
            if (treeItemText(tree, item) == step) {
                next = item;
                break;
            }
        if (!next)
            return nullptr;
        parent = next;
    }
    return parent;
}

namespace {
void dumpLevel(HWND tree, HTREEITEM parent, int depth, std::string& out)
{
    for (HTREEITEM item : treeChildren(tree, parent)) {
        out += std::string(static_cast<size_t>(depth) * 2, ' ') + treeItemText(tree, item) + "\n";
        dumpLevel(tree, item, depth + 1, out);
    }
}
}  // namespace

std::string treeDump(HWND tree)
{
    std::string out;
    dumpLevel(tree, nullptr, 0, out);
    return out;
}

}  // namespace driver
