// Times the folder browser, dialog 111, from its opening to the moment it is shown, against a
// bare breadth-first FindFirstFileA walk of the same drive (median over runs).
//
//   browser_bench.exe DRIVE RUNS
//
// DRIVE ("S:") holds the folders the browser lists; the browser reads them all as it opens.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "install/folder_browser.h"
#include "bench_timing.h"
#include "resources/resource.h"
#include "shell/base/setup_state.h"

namespace {

double shownAt = 0;
double readAt = 0;   // WM_INITDIALOG returned: the folders read and in the tree

// The browser's own procedure, watched from outside: a hook would cost every message of the
// dialog a call to the wineserver, the tree's 2,560 insertions among them. The dialog is shown
// when it first gets WM_SHOWWINDOW after WM_INITDIALOG; it is closed right away.
INT_PTR CALLBACK timedBrowserProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = folderBrowserDialogProc(dlg, msg, wParam, lParam);
    if (msg == WM_INITDIALOG)
        readAt = now();
    if (msg == WM_SHOWWINDOW && wParam && shownAt == 0) {
        shownAt = now();
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    }
    return result;
}

double openBrowser(double& reading)
{
    shownAt = readAt = 0;
    double start = now();
    DialogBoxParamA(setup.appInstance, MAKEINTRESOURCEA(IDD_FOLDER_BROWSER), nullptr, timedBrowserProc, 0);
    reading = readAt - start;
    return shownAt - start;
}

// The same walk the browser makes, level by level, without the tree: the folders' paths only.
std::size_t bareWalk(const std::string& root)
{
    std::vector<std::string> folders{root};
    for (std::size_t cursor = 0; cursor < folders.size() && folders.size() < browseCapacity; ++cursor) {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((folders[cursor] + "*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || std::strcmp(entry.cFileName, ".") == 0 ||
                std::strcmp(entry.cFileName, "..") == 0)
                continue;
            if (folders.size() < browseCapacity)
                folders.push_back(folders[cursor] + entry.cFileName + "\\");
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return folders.size();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::strlen(argv[1]) != 2 || argv[1][1] != ':') {
        std::printf("usage: browser_bench DRIVE RUNS\n");
        return 2;
    }
    const int runs = std::atoi(argv[2]);
    InitCommonControls();
    setup.appInstance = GetModuleHandleA(nullptr);
    std::snprintf(setup.driveRoot, sizeof setup.driveRoot, "%s\\", argv[1]);

    std::vector<double> browserTimes, readTimes, bareTimes, ratios;
    std::size_t folders = 0;
    for (int i = 0; i < runs; ++i) {
        double browserSeconds = 0, readSeconds = 0, bareSeconds = 0;
        // Alternate which goes first, so that neither always meets a colder cache.
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (i % 2 == 0)) {
                browserSeconds = openBrowser(readSeconds);
            } else {
                double start = now();
                folders = bareWalk(setup.driveRoot);
                bareSeconds = now() - start;
            }
        }
        if (browserSeconds <= 0) {
            std::printf("browser: dialog 111 was never shown\n");
            return 1;
        }
        browserTimes.push_back(browserSeconds);
        readTimes.push_back(readSeconds);
        bareTimes.push_back(bareSeconds);
        ratios.push_back(browserSeconds / bareSeconds);
        std::printf("browser: run %d: dialog 111 shown after %.3f s (%d folders listed, read and in the tree after "
                    "%.3f s), bare walk %.3f s, ratio %.3f\n",
                    i + 1, browserSeconds, setup.browseCount, readSeconds, bareSeconds, ratios.back());
        std::fflush(stdout);
    }
    std::printf("browser: of the dialog's time, reading the folders into the tree takes %.3f s\n", median(readTimes));
    std::printf("browser: %zu folders, median dialog %.3f s, median bare walk %.3f s, %s\n", folders,
                median(browserTimes), median(bareTimes), ratioSummary(ratios).c_str());
    return 0;
}
