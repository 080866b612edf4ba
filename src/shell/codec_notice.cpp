// The codec notice, dialog 117: only OK (or Enter) closes it; the close box and Esc do nothing.

#include "shell/setup_state.h"
#include "shell/start_up.h"

INT_PTR CALLBACK codecNoticeProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK)
        EndDialog(dlg, 1);
    return 0;
}
