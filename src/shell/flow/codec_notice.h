// The IMA ADPCM codec the game's voices need, and the notice shown when it is missing.
#ifndef VK_CODEC_NOTICE_H
#define VK_CODEC_NOTICE_H

#include <windows.h>

// 1 when the codec is registered.
int hasAdpcmCodec();

// The codec notice, dialog 117.
INT_PTR CALLBACK codecNoticeProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
