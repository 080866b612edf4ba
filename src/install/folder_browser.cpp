// The folder browser, dialog 111: every folder of the install dialog's drive in a tree, read in
// one breadth-first pass when it opens. It creates and changes nothing; the choice is an index
// into browsePaths.

#include "install/folder_browser.h"

#include <commctrl.h>

#include <cstring>

#include "shell/base/folder_listing.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"

static const char rootItemFormat[] = "%s(%s)";
static const char unlabelledRootFormat[] = "(%s)";

// The tree is laid out from the dialog's client size: the buttons keep the right-hand strip.
// These are pixels at 96 dpi; the buttons are dialog units, which grow with the dpi.
constexpr int layoutDpi = 96;
constexpr int treeMargin = 7;
constexpr int treeWidthLess = 96;
constexpr int treeHeightLess = 12;
constexpr DWORD treeStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;

static HTREEITEM insertItem(HTREEITEM parent, const char* text)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(setup.folderTreeWnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// An unreadable label shows the root alone rather than whatever the call left in the buffer.
static void addRootItem()
{
    char label[pathSize] = "";
    char text[pathSize + rootSize + 2];
    if (GetVolumeInformationA(setup.driveRoot, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
        formatText(text, sizeof text, rootItemFormat, label, setup.driveRoot);
    else
        formatText(text, sizeof text, unlabelledRootFormat, setup.driveRoot);
    setup.browseCount = 0;
    copyText(setup.browsePaths[0], pathSize, setup.driveRoot);
    setup.browseItems[0] = insertItem(TVI_ROOT, text);
    setup.browseCount = 1;
}

static bool tablesFull()
{
    return setup.browseCount >= browseCapacity;
}

// A folder whose path would pass 255 characters has no entry, and so neither have its
// sub-folders; one the tree would not take is left out the same way.
static void addFolder(int parent, const char* name)
{
    if (tablesFull())
        return;
    char* path = setup.browsePaths[setup.browseCount];
    if (!formatText(path, pathSize, "%s%s\\", setup.browsePaths[parent], name))
        return;
    HTREEITEM item = insertItem(setup.browseItems[parent], name);
    if (!item)
        return;
    setup.browseItems[setup.browseCount] = item;
    ++setup.browseCount;
}

// Only folders whose attributes are the directory bit alone are shown: hidden, system,
// read-only and archive folders stay out, and with them everything below.
static void addSubFolders(int index)
{
    char pattern[pathSize + 4];
    if (!formatText(pattern, sizeof pattern, "%s*.*", setup.browsePaths[index]))
        return;
    visitSubFolders(pattern, [index](const WIN32_FIND_DATAA& found) {
        if (found.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY)
            addFolder(index, found.cFileName);
        return !tablesFull();
    });
}

// A length in pixels at 96 dpi as it stands at the dpi the dialog is drawn at; at 96 dpi, as given.
static int scaled(int pixels, int dpi)
{
    return MulDiv(pixels, dpi, layoutDpi);
}

static void onOpen(HWND dlg)
{
    setup.browseSavedSelection = setup.browseSelection;
    RECT client;
    GetClientRect(dlg, &client);
    HDC dc = GetDC(dlg);
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(dlg, dc);
    setup.folderTreeWnd = CreateWindowExA(0, WC_TREEVIEWA, "", treeStyle, scaled(treeMargin, dpiX),
                                          scaled(treeMargin, dpiY), client.right - scaled(treeWidthLess, dpiX),
                                          client.bottom - scaled(treeHeightLess, dpiY), dlg, nullptr,
                                          setup.appInstance, nullptr);
    addRootItem();
    // Level by level: the tables fill from the top, so on a drive with more folders than they
    // hold the tree still shows every upper level.
    for (setup.browseCursor = 0; setup.browseCursor < setup.browseCount && !tablesFull(); ++setup.browseCursor)
        addSubFolders(setup.browseCursor);
}

static void onSelectionChanged(HWND dlg, const NMTREEVIEWA* change)
{
    InvalidateRect(dlg, nullptr, TRUE);
    for (int i = 0; i < setup.browseCount; ++i) {
        if (setup.browseItems[i] == change->itemNew.hItem) {
            setup.browseSelection = i;
            return;
        }
    }
}

static void onOk(HWND dlg)
{
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

static void onCancel(HWND dlg)
{
    setup.browseSelection = setup.browseSavedSelection;
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

// The close box keeps the selection, as OK does.
INT_PTR CALLBACK folderBrowserDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == TVN_SELCHANGEDA)
            onSelectionChanged(dlg, reinterpret_cast<const NMTREEVIEWA*>(lParam));
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: onOk(dlg); break;
        case IDCANCEL: onCancel(dlg); break;
        }
        break;
    case WM_CLOSE: EndDialog(dlg, 1); break;
    case WM_DESTROY: setup.folderTreeWnd = nullptr; break;
    }
    return 0;
}
