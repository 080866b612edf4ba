#include "shell/base/dialogs.h"

#include <string>

#include "shell/base/event_log.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"

int pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!GetMessageA(&msg, nullptr, 0, 0))
            return 0;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

void makeTopMost(HWND dlg)
{
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void hideMainMenu()
{
    ShowWindow(setup.mainMenuWnd, SW_HIDE);
}

void showMainMenu()
{
    ShowWindow(setup.mainMenuWnd, SW_SHOWNORMAL);
}

void openDialog(int templateId, HWND owner, DLGPROC proc)
{
    DialogBoxParamA(setup.appInstance, MAKEINTRESOURCEA(templateId), owner, proc, 0);
}

int showMessage(HWND owner, const char* text, const char* caption, UINT type)
{
    if (!setup.unattended)
        return MessageBoxA(owner, text, caption, type);
    // Every question the program asks is whether to go on: an existing folder used, the saves
    // brought over, the saves deleted with the rest.
    bool question = (type & MB_TYPEMASK) == MB_YESNO;
    std::string line = caption ? std::string("[") + caption + "] " + text : std::string(text);
    if (question)
        line += " → はい";
    logEvent(line.c_str());
    return question ? IDYES : IDOK;
}

void showErrorCode(HWND owner, DWORD code)
{
    char text[64];
    formatText(text, sizeof text, "エラーコード %d", static_cast<int>(code));
    showMessage(owner, text, nullptr, MB_OK);
}
