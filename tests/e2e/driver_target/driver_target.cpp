// Practice target for the driver: a dialog with the kinds of control the setup uses, which
// writes every event it sees into its log field, so that a second process can drive it and
// check what arrived.
//
// Command line: "/message" first shows an unowned message box, as the setup's fatal start-up
// messages are; the process exits with 3 once the dialog has ended.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "driver_target_ids.h"

static HINSTANCE instance;

static void logLine(HWND dlg, const std::string& line)
{
    HWND log = GetDlgItem(dlg, IDC_T_LOG);
    int end = GetWindowTextLengthA(log);
    SendMessageA(log, EM_SETSEL, end, end);
    std::string text = line + "\r\n";
    SendMessageA(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

static std::string itemText(HWND dlg, int id)
{
    char buf[512];
    GetDlgItemTextA(dlg, id, buf, sizeof buf);
    return buf;
}

static void fillTree(HWND dlg)
{
    RECT r{170, 7, 253, 163};
    MapDialogRect(dlg, &r);
    // Id 0, as the setup's folder browser makes its tree: found by class, not by id.
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS |
                                TVS_HASLINES | TVS_LINESATROOT, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, dlg, nullptr, instance, nullptr);
    auto add = [tree](HTREEITEM parent, const char* text) {
        TVINSERTSTRUCTA ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = const_cast<char*>(text);
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    };
    HTREEITEM root = add(TVI_ROOT, "VELKORIN(Q:\\)");
    HTREEITEM orbek = add(root, "Orbek");
    add(orbek, "VELKORIN");
    add(root, "ソフト表");
    add(root, "Program Files");
}

static void onOpen(HWND dlg)
{
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND combo = GetDlgItem(dlg, IDC_T_COMBO);
    for (const char* s : {"q:\\", "c:\\", "d:\\", "表示"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    CheckDlgButton(dlg, IDC_T_RADIO_A, BST_CHECKED);
    SendDlgItemMessageA(dlg, IDC_T_PROGRESS, PBM_SETRANGE32, 5, 205);
    SendDlgItemMessageA(dlg, IDC_T_PROGRESS, PBM_SETPOS, 45, 0);
    SetDlgItemTextA(dlg, IDC_T_EDIT, "Orbek\\VELKORIN\\");
    fillTree(dlg);
}

static void onAsk(HWND dlg)
{
    int answer = MessageBoxA(dlg, "続けますか？\n表示します。", "操縦テスト", MB_YESNO);
    logLine(dlg, "ask " + std::to_string(answer));
}

static void onEditChange(HWND dlg)
{
    HWND edit = GetDlgItem(dlg, IDC_T_EDIT);
    if (!SendMessageA(edit, EM_GETMODIFY, 0, 0))
        return;
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    logLine(dlg, "edit " + itemText(dlg, IDC_T_EDIT));
}

static void onComboChange(HWND dlg)
{
    HWND combo = GetDlgItem(dlg, IDC_T_COMBO);
    int sel = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    char text[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
    logLine(dlg, "combo " + std::to_string(sel) + " " + text);
}

static void onRadio(HWND dlg, int id)
{
    logLine(dlg, "radio " + std::to_string(id) + " " +
                     std::to_string(IsDlgButtonChecked(dlg, IDC_T_RADIO_A)) +
                     std::to_string(IsDlgButtonChecked(dlg, IDC_T_RADIO_B)));
}

static void onTreeSelection(HWND dlg, NMHDR* hdr)
{
    HTREEITEM item = nullptr;
    if (hdr->code == TVN_SELCHANGEDA)
        item = reinterpret_cast<NMTREEVIEWA*>(hdr)->itemNew.hItem;
    else if (hdr->code == TVN_SELCHANGEDW)
        item = reinterpret_cast<NMTREEVIEWW*>(hdr)->itemNew.hItem;
    else
        return;
    char text[260] = "";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(hdr->hwndFrom, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    logLine(dlg, std::string("tree ") + text);
}

static INT_PTR CALLBACK childProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_T_CHILD_OK)
            PostMessageA(dlg, WM_CLOSE, 0, 0);
        break;
    case WM_CLOSE:
        EndDialog(dlg, 1);
        break;
    }
    return 0;
}

static INT_PTR CALLBACK targetProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        onOpen(dlg);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_T_ASK: onAsk(dlg); break;
        case IDC_T_CLOSE: PostMessageA(dlg, WM_CLOSE, 0, 0); break;
        case IDC_T_STEP: SendDlgItemMessageA(dlg, IDC_T_PROGRESS, PBM_DELTAPOS, 10, 0); break;
        case IDC_T_OPEN_CHILD:
            DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TARGET_CHILD), dlg, childProc, 0);
            logLine(dlg, "child closed");
            break;
        case IDC_T_EDIT:
            if (HIWORD(wParam) == EN_CHANGE)
                onEditChange(dlg);
            break;
        case IDC_T_COMBO:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                onComboChange(dlg);
            break;
        case IDC_T_RADIO_A:
        case IDC_T_RADIO_B:
            if (HIWORD(wParam) == BN_CLICKED)
                onRadio(dlg, LOWORD(wParam));
            break;
        }
        break;
    case WM_NOTIFY:
        onTreeSelection(dlg, reinterpret_cast<NMHDR*>(lParam));
        break;
    case WM_CLOSE:
        EndDialog(dlg, 1);
        break;
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdLine, int)
{
    instance = inst;
    InitCommonControls();
    if (std::strstr(cmdLine, "/message"))
        MessageBoxA(nullptr, "起動時のメッセージ", "ERROR", MB_OK);
    DialogBoxParamA(inst, MAKEINTRESOURCEA(IDD_TARGET), nullptr, targetProc, 0);
    return 3;
}
