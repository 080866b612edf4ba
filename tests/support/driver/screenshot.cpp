// Screenshots taken from inside Wine, where owned message boxes show as they are.
#include "driver/driver_internal.h"

#include <algorithm>

namespace driver {

using namespace detail;

namespace {

void collectOwned(HWND w, std::vector<HWND>& out)
{
    out.push_back(w);
    enumTopLevel([&](HWND other) {
        if (IsWindowVisible(other) && GetWindow(other, GW_OWNER) == w &&
            std::find(out.begin(), out.end(), other) == out.end())
            collectOwned(other, out);
        return true;
    });
}

bool hasPendingPaint(HWND w)
{
    if (GetUpdateRect(w, nullptr, FALSE))
        return true;
    for (HWND c : directChildren(w))
        if (IsWindowVisible(c) && hasPendingPaint(c))
            return true;
    return false;
}

}  // namespace

bool saveScreenshot(const std::string& bmpPath, HWND w)
{
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    RECT area{0, 0, screenW, screenH};
    std::vector<HWND> windows;
    if (w) {
        if (!IsWindow(w))
            return false;
        collectOwned(w, windows);
        // A hidden owner (a menu hidden by the dialog in front) would only add empty desktop.
        GetWindowRect(w, &area);
        bool any = false;
        for (HWND o : windows) {
            RECT r;
            if (!IsWindowVisible(o) || !GetWindowRect(o, &r))
                continue;
            if (any)
                UnionRect(&area, &area, &r);
            else
                area = r;
            any = true;
        }
        RECT screen{0, 0, screenW, screenH};
        IntersectRect(&area, &area, &screen);
    } else {
        windows = topLevelWindows(0, true);
    }
    // Let the windows finish painting what they were just told to show.
    waitUntil([&] {
        for (HWND o : windows)
            if (IsWindow(o) && IsWindowVisible(o) && hasPendingPaint(o))
                return false;
        return true;
    }, 1000);

    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;   // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    bi.bmiHeader.biSizeImage = stride * static_cast<DWORD>(height);

    HDC screenDc = GetDC(nullptr);
    HDC memDc = CreateCompatibleDC(screenDc);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screenDc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bmp && bits) {
        HGDIOBJ old = SelectObject(memDc, bmp);
        ok = BitBlt(memDc, 0, 0, width, height, screenDc, area.left, area.top, SRCCOPY | CAPTUREBLT) != 0;
        GdiFlush();
        SelectObject(memDc, old);
    }
    if (ok) {
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;   // "BM"
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + bi.bmiHeader.biSizeImage;
        HANDLE f = CreateFileA(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ok = f != INVALID_HANDLE_VALUE;
        if (ok) {
            DWORD done = 0;
            ok = WriteFile(f, &fh, sizeof fh, &done, nullptr) && done == sizeof fh &&
                 WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &done, nullptr) &&
                 done == sizeof bi.bmiHeader &&
                 WriteFile(f, bits, bi.bmiHeader.biSizeImage, &done, nullptr) &&
                 done == bi.bmiHeader.biSizeImage;
            CloseHandle(f);
        }
    }
    if (bmp)
        DeleteObject(bmp);
    DeleteDC(memDc);
    ReleaseDC(nullptr, screenDc);
    return ok;
}

}  // namespace driver
