// Installs a prepared CD folder through the copy engine and, in the same run on the same files,
// with a bare CopyFileA loop; prints the engine's wall time over the loop's (median over runs).
//
//   copy_bench.exe NAME CD-DRIVE DESTINATION-ROOT RUNS [PEER]
//
// NAME large-dialogs times instead the real setup, Q:\setup.exe, through menu 104, level
// choice 108 (full) and install dialog 106 into DESTINATION-ROOT's drive, from the press of Start
// to the shortcut offer, against the bare loop over the same files.
//
// PEER, when given, is a silent installer that copies the whole of CD-DRIVE into the folder its
// /D= names; it is timed from its start to its end against the same bare loop, as nsis-NAME.
//
// CD-DRIVE ("S:") holds setup.lst and the files it names at its root, as the engine copies from
// a drive root. Each run copies afresh into DESTINATION-ROOT\engine\ and
// DESTINATION-ROOT\bare\, which are deleted between runs (outside the timing).

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "testkit.h"
#include "bench_timing.h"
#include "install/copy_engine.h"
#include "install/manifest_reader.h"
#include "install/partial_file.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"

namespace {

char benchDrive[rootSize];

struct FileCopy {
    std::string source;
    std::string destination;
    std::string folder;   // the destination folder, made when the first copy finds it missing
};

// The same file list the engine reads, with the same paths.
bool listFiles(int level, const std::string& root, std::vector<FileCopy>& files)
{
    ManifestReader reader{};
    if (!findManifestSection(reader, level))
        return false;
    SectionHead head;
    if (!readSectionHead(reader, head)) {
        closeManifest(reader);
        return false;
    }
    FileEntry entry = firstFileEntry(head);
    while (nextFileEntry(reader, entry)) {
        std::string destination = root + entry.destinationFolder;
        files.push_back({std::string(benchDrive) + "\\" + entry.sourceFolder + entry.fileName,
                         destination + entry.fileName, destination});
    }
    closeManifest(reader);
    return true;
}

bool bareCopy(const std::vector<FileCopy>& files)
{
    for (const FileCopy& file : files) {
        if (CopyFileA(file.source.c_str(), file.destination.c_str(), TRUE))
            continue;
        if (GetLastError() != ERROR_PATH_NOT_FOUND || !CreateDirectoryA(file.folder.c_str(), nullptr) ||
            !CopyFileA(file.source.c_str(), file.destination.c_str(), TRUE)) {
            std::printf("bare copy of %s failed with %lu\n", file.source.c_str(), GetLastError());
            return false;
        }
    }
    return true;
}

// One run of a set: the subject and the bare loop, in turns that alternate from run to run so
// that neither always meets a colder cache. False when either failed.
bool alternateWithBareLoop(int run, const std::function<bool()>& subject, const std::vector<FileCopy>& files,
                           double& bareSeconds)
{
    bool ok = true;
    for (int turn = 0; turn < 2; ++turn) {
        if ((turn == 0) == (run % 2 == 0)) {
            ok = subject() && ok;
        } else {
            double start = now();
            ok = bareCopy(files) && ok;
            bareSeconds = now() - start;
        }
    }
    return ok;
}

// The offer of a shortcut at the end of an install is declined as soon as it is up; a message
// box (an error of the engine) is printed and closed, so that a failed run ends. A CBT hook runs
// only when a window is activated: a hook on every message would charge the engine's bar steps
// and labels a call to the wineserver each, which the setup on its own never pays.
LRESULT CALLBACK answerDialogsHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE) {
        if (GetDlgItem(window, IDC_SHORTCUT_NO)) {
            PostMessageA(window, WM_COMMAND, IDC_SHORTCUT_NO, 0);
        } else if (HWND text = GetDlgItem(window, 0xFFFF)) {
            char shown[512] = {};
            GetWindowTextA(text, shown, sizeof shown);
            std::printf("message box: %s\n", shown);
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// No copy: what one run of the engine pays for its display and its checks, timed apart.
enum class Probe { none, paintEveryPercent, requiredCalls };

struct EngineRun {
    int level;
    Probe probe;
    int result;
    double seconds;
    double labelSetAt;   // when label 1045 was last set: the completion sets "100 %" first
    double completion;   // from then to the return: save migration, record, shortcut offer
    WNDPROC labelProc;
    WNDPROC barProc;
    int barPaints;       // the engine's repaints of the bar (the label's go with them)
    double barPaintSeconds;
    double labelPaintSeconds;
};

// What the engine would pay over a run that crosses every percent once if it painted them all:
// 100 bar steps and 100 label changes, each followed by a pump. The engine paints at most ten
// times a second.
double showFullProgress(HWND dlg)
{
    double start = now();
    for (int percent = 1; percent <= 100; ++percent) {
        char label[16];
        std::snprintf(label, sizeof label, "%d %%", percent);
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
        SendDlgItemMessageA(dlg, IDC_PROGRESS_PERCENT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(label));
        pumpMessages();
    }
    return now() - start;
}

// What the engine cannot leave out, whatever it paints: the 100 bar steps and label texts of a
// run, here unpainted; after every file a look at the queue (a close may wait); the two looks
// before each copy (is the source there, is the destination's name free), and each copy made
// whole or nothing, through its partial name and its rename (copyWhole), where the bare loop
// makes one CopyFileA. Under Wine a name not there yet costs a scan of its folder.
struct RequiredCalls {
    double steps = 0;
    double queueChecks = 0;
    double sourceChecks = 0;
    double nameChecks = 0;
    double wholeCopies = 0;
};

const std::vector<FileCopy>* probedFiles = nullptr;   // destinations in a tree of their own
RequiredCalls requiredCalls;

// The engine's calls for each file, in its order and into a tree that fills as the engine's
// does, each timed.
void timeCopyCalls(const std::vector<FileCopy>& files, RequiredCalls& calls)
{
    std::string madeFolder;   // as the engine, no name is asked for in a folder it just made
    for (const FileCopy& file : files) {
        char partial[MAX_PATH];
        partialFilePath(partial, sizeof partial, file.folder.c_str());
        double start = now();
        GetFileAttributesA(file.source.c_str());
        double sourceChecked = now();
        calls.sourceChecks += sourceChecked - start;
        if (file.folder != madeFolder) {
            DWORD attributes = GetFileAttributesA(file.destination.c_str());
            DWORD error = GetLastError();
            calls.nameChecks += now() - sourceChecked;
            if (attributes == INVALID_FILE_ATTRIBUTES && error == ERROR_PATH_NOT_FOUND) {
                CreateDirectoryA(file.folder.c_str(), nullptr);
                madeFolder = file.folder;
            }
        }
        start = now();
        copyWhole(file.source.c_str(), partial, file.destination.c_str());
        calls.wholeCopies += now() - start;
    }
}

double timeRequiredCalls(HWND dlg)
{
    HWND bar = GetDlgItem(dlg, IDC_PROGRESS_BAR);
    HWND label = GetDlgItem(dlg, IDC_PROGRESS_PERCENT);
    SendMessageA(bar, WM_SETREDRAW, FALSE, 0);
    SendMessageA(label, WM_SETREDRAW, FALSE, 0);
    double start = now();
    for (int percent = 1; percent <= 100; ++percent) {
        char text[16];
        std::snprintf(text, sizeof text, "%d %%", percent);
        SendMessageA(bar, PBM_STEPIT, 0, 0);
        SendMessageA(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    requiredCalls = {};
    requiredCalls.steps = now() - start;
    SendMessageA(bar, WM_SETREDRAW, TRUE, 0);
    SendMessageA(label, WM_SETREDRAW, TRUE, 0);

    const UINT kinds = QS_KEY | QS_MOUSE | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;
    start = now();
    for (std::size_t i = 0; i < probedFiles->size(); ++i)
        GetQueueStatus(kinds);
    requiredCalls.queueChecks = now() - start;
    timeCopyCalls(*probedFiles, requiredCalls);
    return requiredCalls.steps + requiredCalls.queueChecks + requiredCalls.sourceChecks + requiredCalls.nameChecks +
           requiredCalls.wholeCopies;
}

EngineRun* engineRun = nullptr;

// The engine's repaints of the bar and the label, timed as they happen.
LRESULT timePaint(WNDPROC proc, HWND control, UINT msg, WPARAM wParam, LPARAM lParam, double& seconds)
{
    if (msg != WM_PAINT)
        return CallWindowProcA(proc, control, msg, wParam, lParam);
    double start = now();
    LRESULT result = CallWindowProcA(proc, control, msg, wParam, lParam);
    seconds += now() - start;
    return result;
}

LRESULT CALLBACK timedLabelProc(HWND label, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SETTEXT)
        engineRun->labelSetAt = now();
    return timePaint(engineRun->labelProc, label, msg, wParam, lParam, engineRun->labelPaintSeconds);
}

LRESULT CALLBACK timedBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT)
        ++engineRun->barPaints;
    return timePaint(engineRun->barProc, bar, msg, wParam, lParam, engineRun->barPaintSeconds);
}

// A progress dialog as the install dialog is while it copies: visible, driven by the engine.
INT_PTR CALLBACK benchDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
        SetDlgItemTextA(dlg, IDC_PROGRESS_PERCENT, "0 %");
        engineRun->labelProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            GetDlgItem(dlg, IDC_PROGRESS_PERCENT), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timedLabelProc)));
        engineRun->barProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            GetDlgItem(dlg, IDC_PROGRESS_BAR), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timedBarProc)));
        ShowWindow(dlg, SW_SHOW);
        UpdateWindow(dlg);
        PostMessageA(dlg, WM_COMMAND, IDC_PROGRESS_START, 0);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PROGRESS_START && engineRun->probe != Probe::none) {
            engineRun->seconds =
                engineRun->probe == Probe::paintEveryPercent ? showFullProgress(dlg) : timeRequiredCalls(dlg);
            EndDialog(dlg, 1);
        } else if (LOWORD(wParam) == IDC_PROGRESS_START) {
            engineRun->barPaints = 0;
            engineRun->barPaintSeconds = engineRun->labelPaintSeconds = 0;
            double start = now();
            engineRun->result = runFreshInstall(dlg, engineRun->level);
            double end = now();
            engineRun->seconds = end - start;
            engineRun->completion = end - engineRun->labelSetAt;
            if (!engineRun->result)
                EndDialog(dlg, 1);
            setup.copyState = copyIdle;
        }
        break;
    case WM_CLOSE:
        EndDialog(dlg, 1);
        break;
    }
    return 0;
}

// The run's result is 1 when the engine completed.
EngineRun engineCopy(int level, const std::string& root, Probe probe = Probe::none)
{
    std::memset(setup.targetDir, 0, sizeof setup.targetDir);
    std::strcpy(setup.targetDir, root.c_str());
    setup.chosenType = level;
    EngineRun run = {level, probe, 0, 0, 0, 0, nullptr, nullptr, 0, 0, 0};
    engineRun = &run;
    DialogBoxParamA(setup.appInstance, MAKEINTRESOURCEA(IDD_INSTALL), nullptr, benchDialogProc, 0);
    engineRun = nullptr;
    return run;
}

// From the peer's start to its end: its own loading is part of what a player waits for.
bool peerCopy(const std::string& peer, const std::string& root, double& seconds)
{
    std::string command = "\"" + peer + "\" /S /D=" + root.substr(0, root.size() - 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = now();
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("cannot start %s: %lu\n", peer.c_str(), GetLastError());
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    seconds = now() - start;
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (code != 0)
        std::printf("%s ended with %lu\n", peer.c_str(), code);
    return code == 0;
}

// A dialog of the process once visible, looked for every millisecond: the driver's own wait
// polls every 10 ms.
HWND waitVisible(const driver::DialogQuery& query, const driver::Process& process)
{
    const double deadline = now() + 60;
    HWND found = nullptr;
    while (!(found = driver::findDialog(query)) && process.running() && now() < deadline)
        Sleep(1);
    return found;
}

// Menu 104 to the shortcut offer; only the copy, from the press of Start, is timed.
bool installThroughDialogs(const std::string& setupExe, const std::string& folderName, double& seconds)
{
    std::string folder = setupExe.substr(0, setupExe.find_last_of('\\') + 1);
    driver::Process process;
    if (!process.start(setupExe, "", folder)) {
        std::printf("cannot start %s: %lu\n", setupExe.c_str(), process.lastError());
        return false;
    }
    const DWORD id = process.id();
    driver::DialogQuery menuQuery = driver::byIds({IDC_MENU_INSTALL, IDC_MENU_BONUS_VOICES, IDC_MENU_EXIT}, id);
    menuQuery.absentIds = {IDC_MENU_START_GAME, IDC_MENU_UNINSTALL};
    HWND menu = waitVisible(menuQuery, process);
    HWND choice = menu && driver::click(menu, IDC_MENU_INSTALL)
                      ? waitVisible(driver::byIds({IDC_LEVEL_MINIMUM, IDC_LEVEL_STANDARD, IDC_LEVEL_FULL}, id), process)
                      : nullptr;
    HWND install = choice && driver::click(choice, IDC_LEVEL_FULL)
                       ? waitVisible(driver::byIds({IDC_PROGRESS_START, IDC_INSTALL_DRIVE_LIST, IDC_INSTALL_FOLDER_NAME}, id),
                                     process)
                       : nullptr;
    bool ready = false;
    if (install) {
        std::string drive = folderName.substr(0, 3);
        int index = driver::comboFind(install, IDC_INSTALL_DRIVE_LIST, drive);
        ready = index >= 0 && driver::comboSelect(install, IDC_INSTALL_DRIVE_LIST, index) &&
                driver::setEditText(install, IDC_INSTALL_FOLDER_NAME, folderName.substr(3)) &&
                driver::waitUntil([&] { return driver::controlText(install, IDC_PROGRESS_DESTINATION) == folderName; },
                                  10000);
    }
    HWND offer = nullptr;
    if (ready) {
        double start = now();
        if (driver::click(install, IDC_PROGRESS_START)) {
            // The search for the offer asks the wineserver about every window of the prefix, a
            // few dozen calls a time, which would slow the setup's own calls through the
            // whole copy: until the install dialog hides as the copy ends, a call a time will do.
            const double deadline = now() + 60;
            while (driver::isVisible(install) && process.running() && now() < deadline)
                Sleep(1);
            offer = waitVisible(driver::byIds({IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}, id), process);
        }
        seconds = now() - start;
    }
    if (!offer)
        std::printf("the setup did not reach the shortcut offer:\n%s", driver::describeWindows(id).c_str());
    // What follows the offer (the success message, the updater) is not measured.
    process.terminateTree();
    return offer != nullptr;
}

int dialogRuns(const std::string& name, const std::string& destinationRoot, const std::vector<FileCopy>& files,
               int runs)
{
    // The setup copies from the CD-ROM drive it finds, where bench/run puts the same set.
    const std::string setupExe = "Q:\\setup.exe";
    const std::string installRoot = destinationRoot + "\\dialogs";
    const std::string bareRoot = destinationRoot + "\\bare\\";
    std::vector<double> setupTimes, bareTimes, ratios;
    int status = 0;
    CreateDirectoryA(destinationRoot.c_str(), nullptr);
    for (int i = 0; i < runs && status == 0; ++i) {
        testkit::deleteTree(installRoot);
        testkit::deleteTree(bareRoot.substr(0, bareRoot.size() - 1));
        CreateDirectoryA(bareRoot.c_str(), nullptr);
        // Without a record the setup opens menu 104.
        testkit::clearRecord();
        double setupSeconds = 0, bareSeconds = 0;
        if (!alternateWithBareLoop(
                i, [&] { return installThroughDialogs(setupExe, installRoot + "\\", setupSeconds); }, files,
                bareSeconds))
            status = 1;
        setupTimes.push_back(setupSeconds);
        bareTimes.push_back(bareSeconds);
        ratios.push_back(setupSeconds / bareSeconds);
        std::printf("%s: run %d: setup from Start to the shortcut offer %.3f s, bare loop %.3f s, ratio %.3f\n",
                    name.c_str(), i + 1, setupSeconds, bareSeconds, ratios.back());
        std::fflush(stdout);
    }
    testkit::deleteTree(destinationRoot);
    testkit::clearRecord();
    if (status != 0)
        return 1;
    std::printf("%s: %zu files, median setup %.3f s, median bare loop %.3f s, %s\n", name.c_str(), files.size(),
                median(setupTimes), median(bareTimes), ratioSummary(ratios).c_str());
    return 0;
}

int peerRuns(const std::string& name, const std::string& peer, const std::string& destinationRoot,
             const std::vector<FileCopy>& files, int runs)
{
    const std::string peerRoot = destinationRoot + "\\peer\\";
    const std::string bareRoot = destinationRoot + "\\bare\\";
    const std::string label = "nsis-" + name;
    std::vector<double> peerTimes, bareTimes, ratios;
    int status = 0;
    CreateDirectoryA(destinationRoot.c_str(), nullptr);
    for (int i = 0; i < runs && status == 0; ++i) {
        testkit::deleteTree(peerRoot.substr(0, peerRoot.size() - 1));
        testkit::deleteTree(bareRoot.substr(0, bareRoot.size() - 1));
        CreateDirectoryA(bareRoot.c_str(), nullptr);
        double peerSeconds = 0, bareSeconds = 0;
        if (!alternateWithBareLoop(i, [&] { return peerCopy(peer, peerRoot, peerSeconds); }, files, bareSeconds))
            status = 1;
        peerTimes.push_back(peerSeconds);
        bareTimes.push_back(bareSeconds);
        ratios.push_back(peerSeconds / bareSeconds);
        std::printf("%s: run %d: nsis installer %.3f s, bare loop %.3f s, ratio %.3f\n", label.c_str(), i + 1,
                    peerSeconds, bareSeconds, ratios.back());
        std::fflush(stdout);
    }
    testkit::deleteTree(destinationRoot);
    if (status != 0)
        return 1;
    std::printf("%s: %zu files, median nsis installer %.3f s, median bare loop %.3f s, %s\n", label.c_str(),
                files.size(), median(peerTimes), median(bareTimes), ratioSummary(ratios).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::printf("usage: copy_bench NAME CD-DRIVE DESTINATION-ROOT RUNS [PEER]\n");
        return 2;
    }
    const std::string name = argv[1];
    const std::string destinationRoot = argv[3];
    const int runs = std::atoi(argv[4]);
    const int level = 2;

    InitCommonControls();
    setup.appInstance = GetModuleHandleA(nullptr);
    if (std::strlen(argv[2]) != 2 || argv[2][1] != ':') {
        std::printf("%s: %s is not a drive\n", name.c_str(), argv[2]);
        return 2;
    }
    std::strcpy(benchDrive, argv[2]);
    std::strcpy(setup.cdDrive, benchDrive);
    if (!SetCurrentDirectoryA((std::string(benchDrive) + "\\").c_str())) {
        std::printf("%s: cannot enter %s\n", name.c_str(), benchDrive);
        return 1;
    }
    HHOOK hook = SetWindowsHookExA(WH_CBT, answerDialogsHook, nullptr, GetCurrentThreadId());

    const std::string engineRoot = destinationRoot + "\\engine\\";
    const std::string bareRoot = destinationRoot + "\\bare\\";
    std::vector<FileCopy> files;
    if (!listFiles(level, bareRoot, files)) {
        std::printf("%s: no usable manifest in %s\\\n", name.c_str(), benchDrive);
        return 1;
    }
    CreateDirectoryA(destinationRoot.c_str(), nullptr);
    if (name == "large-dialogs")
        return dialogRuns(name, destinationRoot, files, runs);

    std::vector<double> engineTimes, bareTimes, ratios, completions, paints, barPaintSeconds, labelPaintSeconds;
    int status = 0;
    for (int i = 0; i < runs && status == 0; ++i) {
        testkit::deleteTree(engineRoot.substr(0, engineRoot.size() - 1));
        testkit::deleteTree(bareRoot.substr(0, bareRoot.size() - 1));
        CreateDirectoryA(engineRoot.c_str(), nullptr);
        CreateDirectoryA(bareRoot.c_str(), nullptr);
        EngineRun run{};
        double bareSeconds = 0;
        auto engine = [&] {
            run = engineCopy(level, engineRoot);
            if (run.result == 1)
                return true;
            std::printf("%s: the engine's run failed\n", name.c_str());
            return false;
        };
        if (!alternateWithBareLoop(i, engine, files, bareSeconds))
            status = 1;
        engineTimes.push_back(run.seconds);
        bareTimes.push_back(bareSeconds);
        ratios.push_back(run.seconds / bareSeconds);
        completions.push_back(run.completion);
        paints.push_back(run.barPaints);
        barPaintSeconds.push_back(run.barPaintSeconds);
        labelPaintSeconds.push_back(run.labelPaintSeconds);
        std::printf("%s: run %d: engine %.3f s (completion %.3f s, %d repaints %.3f s), bare loop %.3f s, ratio %.3f\n",
                    name.c_str(), i + 1, run.seconds, run.completion, run.barPaints,
                    run.barPaintSeconds + run.labelPaintSeconds, bareSeconds, ratios.back());
        std::fflush(stdout);
    }
    testkit::deleteTree(destinationRoot);
    // The record each engine run wrote into the bench's registry.
    testkit::clearRecord();
    UnhookWindowsHookEx(hook);
    if (status != 0 || engineTimes.empty())
        return 1;

    std::vector<double> display, steps, queueChecks, sourceChecks, nameChecks, wholeCopies;
    std::vector<FileCopy> probeFiles;
    listFiles(level, engineRoot, probeFiles);
    probedFiles = &probeFiles;
    for (int i = 0; i < 3; ++i) {
        display.push_back(engineCopy(level, engineRoot, Probe::paintEveryPercent).seconds);
        CreateDirectoryA(destinationRoot.c_str(), nullptr);
        CreateDirectoryA(engineRoot.c_str(), nullptr);
        engineCopy(level, engineRoot, Probe::requiredCalls);
        testkit::deleteTree(destinationRoot);
        steps.push_back(requiredCalls.steps);
        queueChecks.push_back(requiredCalls.queueChecks);
        sourceChecks.push_back(requiredCalls.sourceChecks);
        nameChecks.push_back(requiredCalls.nameChecks);
        wholeCopies.push_back(requiredCalls.wholeCopies);
    }
    std::printf("%s: painting each of a run's 100 bar steps and labels would take %.3f s; the engine repainted "
                "the bar and the label %.0f times a run, the bar in %.3f s, the label in %.3f s; "
                "of the engine's time, the completion (save migration, record, shortcut offer) takes %.3f s\n",
                name.c_str(), median(display), median(paints), median(barPaintSeconds), median(labelPaintSeconds),
                median(completions));
    // The least the engine can cost over the bare loop with no repaint at all.
    double required = median(steps) + median(queueChecks) + median(sourceChecks) + median(nameChecks) +
                      median(completions);
    std::printf("%s: unpainted, the 100 bar steps and labels take %.3f s, a look at the queue after each file %.3f s, "
                "whether the source is there %.3f s, whether the name is free %.3f s; the copies made whole "
                "through their partial names %.3f s, the bare loop's copies %.3f s; with the completion that is "
                "already a ratio of %.3f\n",
                name.c_str(), median(steps), median(queueChecks), median(sourceChecks), median(nameChecks),
                median(wholeCopies), median(bareTimes), (median(wholeCopies) + required) / median(bareTimes));
    // The two copies of a run follow each other, so the ratio within a run is the steadier
    // figure on a machine whose load changes; its median is the result.
    std::printf("%s: %zu files, median engine %.3f s, median bare loop %.3f s, %s\n", name.c_str(), files.size(),
                median(engineTimes), median(bareTimes), ratioSummary(ratios).c_str());
    std::fflush(stdout);
    return argc == 6 ? peerRuns(name, argv[5], destinationRoot, files, runs) : 0;
}
