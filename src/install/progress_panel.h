// The progress panel that the install dialog 106 and the upgrade dialog 115 share: bar 1023,
// percentage 1045, free space 1039 and requirement 1040, and the question a close asks while a
// copy runs. The copy engine moves the bar and the percentage of whichever dialog it is given.
#ifndef VK_PROGRESS_PANEL_H
#define VK_PROGRESS_PANEL_H

#include <windows.h>

#include <cstdint>

#include "install/progress.h"

// The bar at 0 of 0 to 100, one step at a time, and "0 %".
void resetProgressPanel(HWND dlg);

// "%ld メガバイト" in control id; nothing is written for a size that cannot be shown.
void showMegabytes(HWND dlg, int id, std::uint64_t bytes);

// The free space of root in 1039; nothing where it cannot be read, rather than the last drive's
// or a number the failed call left behind.
void showFreeSpace(HWND dlg, const char* root);

// What a close does to a progress dialog. While a copy runs it asks question first, over the
// bar and the label painted as they stand: No keeps the dialog and the copy; Yes asks the copy
// to stop (copyState becomes copyCancelRequested). True when the dialog is to end.
bool confirmClose(HWND dlg, const char* question);

// The panel as one copy run moves it. While the files go by, the bar's steps and the label's
// texts are taken unpainted; the screen shows them at most every displayInterval, at the end of
// the run, and under whatever the pump opens meanwhile (the question a close asks).
struct PanelProgress {
    HWND window;
    CopyProgress progress;
    std::int32_t shownPercent;   // what label 1045 shows, so it is set only when it changes
    DisplayThrottle display;
    bool redrawHeld;             // the bar and the label take steps and texts unpainted
    bool unpainted;              // they hold steps or a text that the screen does not show yet
    std::int32_t paintedPosition;   // where the bar stood when it was last repainted
};

// A run of count file lines begins on dlg's panel.
void startPanelProgress(PanelProgress& panel, HWND dlg, std::int32_t count);

// One file line done, copied or found present: the bar's steps and the label, unpainted.
void advancePanel(PanelProgress& panel);

// After every file: whatever messages wait are taken (pumpMessages), a close among them, with
// the bar and the label painting again; the two are repainted once displayInterval has passed.
void tendPanel(PanelProgress& panel);

// Repaints the bar and the label as they stand and takes every waiting message: at the end of
// a run.
void refreshPanel(PanelProgress& panel);

// The bar and the label paint again, showing where they stand (a run that fails shows where it
// stopped).
void releasePanel(PanelProgress& panel);

// "100 %", as a completed run shows.
void showPanelComplete(PanelProgress& panel);

#endif
