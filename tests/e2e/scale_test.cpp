// Every dialog of the real program at 100, 150 and 200 % display scale (96, 144 and 192 dpi), as
// players with other screens meet it: no control over another, none outside its dialog, no static
// text cut off.

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "journey.h"

namespace {

// The font of every template.
constexpr const char dialogFont[] = "ＭＳ Ｐゴシック";
constexpr int dialogPointSize = 9;

struct Placed {
    HWND window;
    RECT rect;   // in the dialog's client area
    std::string name;
};

bool inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// A group box frames the controls it holds.
bool frames(const Placed& outer, const Placed& inner)
{
    return driver::className(outer.window) == "Button" &&
           (GetWindowLongA(outer.window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX && inside(inner.rect, outer.rect);
}

// The static's text does not fit, drawn with the dialog's font as the static draws it.
bool textCutOff(HWND label, HDC dc)
{
    std::string text = driver::windowText(label);
    LONG style = GetWindowLongA(label, GWL_STYLE);
    LONG type = style & SS_TYPEMASK;
    if (text.empty() || (type > SS_RIGHT && type != SS_LEFTNOWORDWRAP))
        return false;
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0], static_cast<int>(wide.size()))));
    RECT box, need;
    GetClientRect(label, &box);
    need = {0, 0, box.right, 0};
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &need,
              DT_CALCRECT | DT_EXPANDTABS | (type == SS_LEFTNOWORDWRAP ? 0 : DT_WORDBREAK) |
                  ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    return need.right > box.right || need.bottom > box.bottom;
}

// Whatever is wrong with the dialog as it stands at dpi, one line each.
std::string layoutFaults(HWND dlg, int dpi)
{
    RECT client;
    GetClientRect(dlg, &client);
    std::vector<Placed> placed;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
        std::string name = driver::className(c) + " " + std::to_string(static_cast<short>(GetDlgCtrlID(c))) + " at " +
                           std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
                           std::to_string(r.bottom) + " " + driver::quote(driver::windowText(c));
        if (IsWindowVisible(c))
            placed.push_back({c, r, name});
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-MulDiv(dialogPointSize, dpi, 72), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, dialogFont);
    HGDIOBJ old = SelectObject(dc, font);
    std::string faults;
    for (size_t i = 0; i < placed.size(); ++i) {
        const Placed& a = placed[i];
        if (!inside(a.rect, client))
            faults += "outside the client area " + std::to_string(client.right) + "x" + std::to_string(client.bottom) +
                      ": " + a.name + "\n";
        if (driver::className(a.window) == "Static" && textCutOff(a.window, dc))
            faults += "text cut off: " + a.name + "\n";
        for (size_t j = i + 1; j < placed.size(); ++j) {
            const Placed& b = placed[j];
            // Controls that the template puts edge to edge may share a pixel: the dialog manager
            // rounds each position and size apart.
            RECT common;
            if (IntersectRect(&common, &a.rect, &b.rect) && common.right - common.left > 1 &&
                common.bottom - common.top > 1 && !frames(a, b) && !frames(b, a))
                faults += "overlapping: " + a.name + "\n  and " + b.name + "\n";
        }
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return faults;
}

struct Screen {
    const char* name;
    int dialog;
};

void PrintTo(const Screen& screen, std::ostream* out) { *out << screen.name; }

class Scale : public e2e::Journey, public ::testing::WithParamInterface<std::tuple<Screen, int>> {
protected:
    // The setup takes the dpi when it starts; the bench's own comes back whatever the test found.
    void prepare() override { ASSERT_TRUE(testkit::setStartDpi(std::get<1>(GetParam()))); }

    void TearDown() override
    {
        Journey::TearDown();
        EXPECT_TRUE(testkit::setStartDpi(testkit::benchDpi));
    }

    void next(HWND from, int button, std::vector<int> ids, HWND* dlg, std::vector<int> absent = {})
    {
        ASSERT_TRUE(driver::click(from, button));
        ASSERT_TRUE(waitSetupDialog(dlg, ids, e2e::startTimeoutMs, texts::captionSetup, absent));
    }

    // The dialog, reached as a player reaches it.
    void open(int dialog, HWND* dlg)
    {
        HWND menu = nullptr, choice = nullptr, install = nullptr;
        switch (dialog) {
        case IDD_MENU_NEW: return startAt104(dlg);
        case IDD_CODEC_NOTICE:
            ASSERT_TRUE(testkit::deleteKeyTree(HKEY_LOCAL_MACHINE, e2e::codecKey));
            ASSERT_TRUE(startSetup());
            ASSERT_TRUE(waitSetupDialog(dlg, {IDOK}, e2e::startTimeoutMs, texts::captionSetup, {IDC_MENU_INSTALL}));
            return;
        case IDD_LEVEL_CHOICE:
            startAt104(&menu);
            return next(menu, IDC_MENU_INSTALL, {IDC_LEVEL_MINIMUM, IDC_LEVEL_FULL}, dlg);
        case IDD_INSTALL: return openInstallDialog(IDC_LEVEL_MINIMUM, dlg);
        case IDD_FOLDER_BROWSER:
            openInstallDialog(IDC_LEVEL_MINIMUM, &install);
            return next(install, IDC_INSTALL_BROWSE, {IDOK, IDCANCEL}, dlg);
        case IDD_SHORTCUT:
        case IDD_PLUS_WARNING:
            if (dialog == IDD_PLUS_WARNING) {
                ASSERT_TRUE(testkit::ensureKey(HKEY_CURRENT_USER, e2e::plusKey));
            }
            freshInstall(IDC_LEVEL_MINIMUM, "Orbek\\VELKORIN\\", &install);
            ASSERT_TRUE(waitSetupDialog(&choice, {IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}));
            if (dialog == IDD_SHORTCUT) {
                *dlg = choice;
                return;
            }
            ASSERT_TRUE(driver::click(choice, IDC_SHORTCUT_NO));
            EXPECT_EQ("", driver::expectMessage(install, texts::captionSetup, texts::installDone, IDOK,
                                                e2e::startTimeoutMs));
            ASSERT_TRUE(waitSetupDialog(dlg, {IDC_PLUS_OK}, e2e::startTimeoutMs, texts::captionPlus));
            return;
        }
        // Menu 105 and what it opens, over an installation of the level each choice 112-114
        // serves.
        bool choice112to114 = dialog >= IDD_UPGRADE_FROM_MINIMUM && dialog <= IDD_UPGRADE_FROM_FULL;
        ASSERT_TRUE(testkit::writeRecord(firstDir, choice112to114 ? dialog - IDD_UPGRADE_FROM_MINIMUM : 0));
        startAt105(dialog == IDD_MENU_INSTALLED ? dlg : &menu);
        if (dialog == IDD_UNINSTALL)
            next(menu, IDC_MENU_UNINSTALL, {IDC_UNINSTALL_START, IDC_UNINSTALL_KEEP_SAVES}, dlg);
        if (choice112to114 || dialog == IDD_UPGRADE)
            next(menu, IDC_MENU_INSTALL, {IDC_UPGRADE_INSTALLED_FOLDER}, choice112to114 ? dlg : &choice);
        if (dialog == IDD_UPGRADE)
            next(choice, IDC_LEVEL_STANDARD, {IDC_PROGRESS_START, IDC_PROGRESS_BAR}, dlg, {IDC_INSTALL_DRIVE_LIST});
    }
};

const Screen screens[] = {
    {"menu_104", IDD_MENU_NEW}, {"menu_105", IDD_MENU_INSTALLED}, {"install_106", IDD_INSTALL},
    {"level_choice_108", IDD_LEVEL_CHOICE}, {"uninstall_109", IDD_UNINSTALL}, {"shortcut_offer_110", IDD_SHORTCUT},
    {"folder_browser_111", IDD_FOLDER_BROWSER}, {"upgrade_choice_112", IDD_UPGRADE_FROM_MINIMUM},
    {"upgrade_choice_113", IDD_UPGRADE_FROM_STANDARD}, {"upgrade_choice_114", IDD_UPGRADE_FROM_FULL},
    {"upgrade_115", IDD_UPGRADE}, {"plus_warning_116", IDD_PLUS_WARNING}, {"codec_notice_117", IDD_CODEC_NOTICE},
};

}  // namespace

TEST_P(Scale, NoControlCoveredCutOffOrOutsideItsDialog)
{
    HWND dlg = nullptr;
    open(std::get<0>(GetParam()).dialog, &dlg);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ("", layoutFaults(dlg, std::get<1>(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, Scale, ::testing::Combine(::testing::ValuesIn(screens), ::testing::Values(96, 144, 192)),
                         [](const ::testing::TestParamInfo<std::tuple<Screen, int>>& param) {
                             return std::string(std::get<0>(param.param).name) + "_" +
                                    std::to_string(std::get<1>(param.param)) + "dpi";
                         });
