#include "install/progress_panel.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>

#include "install/free_space.h"
#include "install/size_tables.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"
#include "shell/base/texts.h"

static const char zeroPercent[] = "0 %";

void resetProgressPanel(HWND dlg)
{
    SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    SendDlgItemMessageA(dlg, IDC_PROGRESS_PERCENT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(zeroPercent));
}

void showMegabytes(HWND dlg, int id, std::uint64_t bytes)
{
    char text[64];
    if (formatMegabytes(text, sizeof text, bytes))
        SendDlgItemMessageA(dlg, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void showFreeSpace(HWND dlg, const char* root)
{
    std::uint64_t freeBytes = 0;
    if (queryFreeBytes(root, freeBytes))
        showMegabytes(dlg, IDC_PROGRESS_FREE_SPACE, freeBytes);
    else
        SendDlgItemMessageA(dlg, IDC_PROGRESS_FREE_SPACE, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
}

// The copy between two repaints leaves the bar and the label behind what they hold.
static void paintBarAndLabel(HWND dlg)
{
    for (int id : {IDC_PROGRESS_BAR, IDC_PROGRESS_PERCENT}) {
        if (HWND control = GetDlgItem(dlg, id)) {
            InvalidateRect(control, nullptr, TRUE);
            UpdateWindow(control);
        }
    }
}

bool confirmClose(HWND dlg, const char* question)
{
    if (setup.copyState == copyIdle)
        return true;
    paintBarAndLabel(dlg);
    if (showMessage(dlg, question, captionSetup, MB_YESNO) != IDYES)
        return false;
    setup.copyState = copyCancelRequested;
    return true;
}

static void setPercentLabel(HWND window, std::int32_t percent)
{
    char label[16];
    if (formatPercent(label, sizeof label, percent))
        SendDlgItemMessageA(window, IDC_PROGRESS_PERCENT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(label));
}

void startPanelProgress(PanelProgress& panel, HWND dlg, std::int32_t count)
{
    // A run from the command line has a window without a panel: nothing to move or paint.
    panel.window = GetDlgItem(dlg, IDC_PROGRESS_BAR) ? dlg : nullptr;
    panel.progress = {count, 0};
    panel.shownPercent = -1;
    panel.display = {GetTickCount()};
    panel.redrawHeld = false;
    panel.unpainted = false;
    panel.paintedPosition = panel.window
                                ? static_cast<std::int32_t>(SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0))
                                : 0;
}

// Both controls paint at once on every step and text (the static even when its text is
// unchanged); with redraw off they only keep where they stand, for the next repaint to show.
static void holdRedraw(PanelProgress& panel)
{
    if (panel.redrawHeld)
        return;
    SendDlgItemMessageA(panel.window, IDC_PROGRESS_BAR, WM_SETREDRAW, FALSE, 0);
    SendDlgItemMessageA(panel.window, IDC_PROGRESS_PERCENT, WM_SETREDRAW, FALSE, 0);
    panel.redrawHeld = true;
}

// Redraw on, nothing repainted: a window shown over them, or uncovering them, finds both
// painting what they hold.
static void allowRedraw(PanelProgress& panel)
{
    if (!panel.redrawHeld)
        return;
    SendDlgItemMessageA(panel.window, IDC_PROGRESS_BAR, WM_SETREDRAW, TRUE, 0);
    SendDlgItemMessageA(panel.window, IDC_PROGRESS_PERCENT, WM_SETREDRAW, TRUE, 0);
    panel.redrawHeld = false;
}

// Only the bar's part between where it was painted and where it stands changes; widened on
// either side by the bar's height, it takes in every block that part touches. Under Wine's
// 32-bit loader a repaint of the bar costs in proportion to what it paints: the whole bar about
// 6.6 ms, a strip of 20 of its 300 pixels 1.1 ms.
static void invalidateBarChange(PanelProgress& panel)
{
    HWND bar = GetDlgItem(panel.window, IDC_PROGRESS_BAR);
    auto position = static_cast<std::int32_t>(SendMessageA(bar, PBM_GETPOS, 0, 0));
    if (position == panel.paintedPosition)
        return;
    PBRANGE range;
    SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    RECT change;
    GetClientRect(bar, &change);
    int span = range.iHigh - range.iLow;
    if (span > 0) {
        int from = MulDiv(panel.paintedPosition - range.iLow, change.right, span);
        int to = MulDiv(position - range.iLow, change.right, span);
        change.left = std::min(from, to) - change.bottom;
        change.right = std::max(from, to) + change.bottom;
    }
    InvalidateRect(bar, &change, TRUE);
    panel.paintedPosition = position;
}

void releasePanel(PanelProgress& panel)
{
    allowRedraw(panel);
    if (!panel.unpainted)
        return;
    invalidateBarChange(panel);
    InvalidateRect(GetDlgItem(panel.window, IDC_PROGRESS_PERCENT), nullptr, TRUE);
    panel.unpainted = false;
}

void advancePanel(PanelProgress& panel)
{
    ProgressAdvance advance = advanceProgress(panel.progress);
    if (!panel.window)
        return;
    bool labelChanges = advance.percent != panel.shownPercent;
    // With many files to a percent most files change nothing.
    if (advance.steps == 0 && !labelChanges)
        return;
    holdRedraw(panel);
    panel.unpainted = true;
    for (std::int32_t i = 0; i < advance.steps; ++i)
        SendDlgItemMessageA(panel.window, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    if (labelChanges) {
        setPercentLabel(panel.window, advance.percent);
        panel.shownPercent = advance.percent;
    }
}

// QS_ALLINPUT of newer headers adds QS_RAWINPUT, which older systems refuse as an invalid flag.
static bool messagesWaiting()
{
    const UINT kinds = QS_KEY | QS_MOUSE | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;
    return HIWORD(GetQueueStatus(kinds)) != 0;
}

void refreshPanel(PanelProgress& panel)
{
    releasePanel(panel);
    pumpMessages();
    panel.display.shownAt = GetTickCount();
}

// A message that waits is no reason to repaint: the mouse moved over the dialog, say, as it may
// after every file.
void tendPanel(PanelProgress& panel)
{
    if (displayDue(panel.display, GetTickCount())) {
        refreshPanel(panel);
    } else if (messagesWaiting()) {
        allowRedraw(panel);
        pumpMessages();
    }
}

void showPanelComplete(PanelProgress& panel)
{
    if (panel.window)
        setPercentLabel(panel.window, 100);
}
