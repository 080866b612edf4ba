// The codec check, and its notice, dialog 117: only OK (or Enter) closes it; the close box and
// Esc do nothing.

#include "shell/flow/codec_notice.h"

#include "shell/base/registry_probe.h"

static const char codecKeyPath[] =
    "SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache\\msacm.imaadpcm";

int hasAdpcmCodec()
{
    return registryKeyExists(HKEY_LOCAL_MACHINE, codecKeyPath) ? 1 : 0;
}

INT_PTR CALLBACK codecNoticeProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK)
        EndDialog(dlg, 1);
    return 0;
}
