// Times the setup from its process start to a visible menu 104 against a program that does no
// more than show one dialog from a template: this program itself, started with --dialog, showing
// the same template 104. Prints the setup's time over the other's (median over runs).
//
//   startup_bench.exe SETUP.EXE RUNS
//
// The setup starts in its own folder, which must be a CD the setup finds, with no install record.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "testkit.h"
#include "bench_timing.h"
#include "resources/resource.h"

namespace {

const DWORD startTimeoutMs = 20000;

INT_PTR CALLBACK plainDialogProc(HWND dlg, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_CLOSE)
        EndDialog(dlg, 1);
    return 0;
}

// From CreateProcessA to the first moment menu 104 of the process is visible. The wait polls
// every millisecond: the driver's own wait, at 10 ms, would be a tenth of what it measures.
bool timeToMenu(const std::string& program, const std::string& commandLine, const std::string& workDir,
                double& seconds)
{
    driver::Process process;
    double start = now();
    if (!process.start(program, commandLine, workDir)) {
        std::printf("cannot start %s: %lu\n", program.c_str(), process.lastError());
        return false;
    }
    // Menu 105 has the ids of 104 and more.
    driver::DialogQuery query = driver::byIds({IDC_MENU_INSTALL, IDC_MENU_BONUS_VOICES, IDC_MENU_EXIT}, process.id());
    query.absentIds = {IDC_MENU_START_GAME, IDC_MENU_UNINSTALL};
    bool shown = false;
    while (!(shown = driver::findDialog(query) != nullptr) && process.running() && now() - start < startTimeoutMs / 1000.0)
        Sleep(1);
    seconds = now() - start;
    if (!shown)
        std::printf("%s showed no menu 104:\n%s", program.c_str(), driver::describeWindows(process.id()).c_str());
    process.terminateTree();
    return shown;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--dialog") == 0) {
        InitCommonControls();
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MENU_NEW), nullptr, plainDialogProc, 0);
        return 0;
    }
    if (argc != 3) {
        std::printf("usage: startup_bench SETUP.EXE RUNS\n");
        return 2;
    }
    const std::string setupExe = argv[1];
    const int runs = std::atoi(argv[2]);
    std::string folder = setupExe.substr(0, setupExe.find_last_of('\\') + 1);
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) {
        std::printf("startup: cannot name this program\n");
        return 1;
    }
    const std::string plainCommand = "\"" + std::string(self) + "\" --dialog";
    // Menu 104 is what is timed: a record left by an earlier run would open menu 105.
    testkit::clearRecord();

    std::vector<double> setupTimes, plainTimes, ratios;
    for (int i = 0; i < runs; ++i) {
        double setupSeconds = 0, plainSeconds = 0;
        // Alternate which goes first, so that neither always meets a colder cache.
        for (int turn = 0; turn < 2; ++turn) {
            bool ok = (turn == 0) == (i % 2 == 0) ? timeToMenu(setupExe, "", folder, setupSeconds)
                                                  : timeToMenu(self, plainCommand, "", plainSeconds);
            if (!ok)
                return 1;
        }
        setupTimes.push_back(setupSeconds);
        plainTimes.push_back(plainSeconds);
        ratios.push_back(setupSeconds / plainSeconds);
        std::printf("startup: run %d: setup %.3f s, one dialog %.3f s, ratio %.3f\n", i + 1, setupSeconds,
                    plainSeconds, ratios.back());
        std::fflush(stdout);
    }
    std::printf("startup: median setup %.3f s, median one dialog %.3f s, %s\n", median(setupTimes),
                median(plainTimes), ratioSummary(ratios).c_str());
    return 0;
}
