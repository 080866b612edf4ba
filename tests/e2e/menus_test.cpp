// The main menus of the real program: starting the game and the bonus voices, the CD probe,
// the exit question and the keys that do nothing.

#include <gtest/gtest.h>

#include "e2e_fixture.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace {

using e2e::SetupE2E;

const char installDir[] = "D:\\Orbek\\VELKORIN\\";

class Menus : public SetupE2E {
protected:
    // The menu still answers: its exit question comes, and No leaves it as it was.
    void expectMenuStays(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDNO));
        EXPECT_TRUE(setupProcess().running());
        EXPECT_TRUE(driver::isVisible(menu));
        EXPECT_TRUE(driver::isEnabled(menu));
    }

    void exitFromMenu(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        EXPECT_TRUE(waitSetupExit());
    }

    // A minimum installation whose game is the stand-in, and menu 105 over it.
    void openInstalledMenu(HWND* menu)
    {
        ASSERT_TRUE(testkit::makeFolders(installDir));
        ASSERT_TRUE(CopyFileA((testkit::demoCdFolder() + "\\VELKORIN.EXE").c_str(),
                              (std::string(installDir) + "VELKORIN.EXE").c_str(), FALSE));
        ASSERT_TRUE(testkit::writeRecord(installDir, 0));
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu105(menu));
    }

    // Started from a folder of a second copy of the CD in P:, so that its disc can be taken out:
    // Wine refuses to move away a folder that is a process's current directory. The probe
    // looks at P:, where the setup was started.
    void openInstalledMenuFromP(HWND* menu)
    {
        ASSERT_TRUE(testkit::writeRecord(installDir, 0));
        ASSERT_TRUE(testkit::insertDemoDisc('P', "DATA"));
        ASSERT_TRUE(startSetupAt("P:\\setup.exe", "P:\\omake"));
        ASSERT_TRUE(waitMenu105(menu));
    }
};

}  // namespace

TEST_F(Menus, StartGameWithTheDiscOutWarnsAndStays)
{
    HWND menu;
    openInstalledMenuFromP(&menu);
    ASSERT_TRUE(testkit::removeDisc('P'));
    ASSERT_TRUE(driver::click(menu, IDC_MENU_START_GAME));
    EXPECT_EQ("", driver::expectMessage(menu, "警告", texts::cdMissing, IDOK));
    expectMenuStays(menu);
    EXPECT_TRUE(standinCalls().empty());
    exitFromMenu(menu);
}

TEST_F(Menus, StartGameStartsTheInstalledGameAndEnds)
{
    HWND menu;
    openInstalledMenu(&menu);
    ASSERT_TRUE(driver::click(menu, IDC_MENU_START_GAME));
    EXPECT_TRUE(waitSetupExit());
    ASSERT_TRUE(waitStandinCalls(1));
    auto calls = standinCalls();
    EXPECT_EQ("VELKORIN.EXE", calls[0].name);
    // Started as velkorin.exe; Wine names the module by the file's own case, Windows as started.
    EXPECT_EQ(0, lstrcmpiA("D:\\Orbek\\VELKORIN\\velkorin.exe", calls[0].module.c_str())) << calls[0].module;
    EXPECT_EQ("D:\\Orbek\\VELKORIN", calls[0].directory);
}

TEST_F(Menus, EscapeDoesNothing)
{
    ASSERT_TRUE(startSetup());
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    // The key goes through the dialog manager, which turns it into IDCANCEL.
    HWND button = GetDlgItem(menu, IDC_MENU_INSTALL);
    ASSERT_TRUE(PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    ASSERT_TRUE(PostMessageA(button, WM_KEYUP, VK_ESCAPE, 0xC0010001));
    // Handled in order: the exit question is the first box, and the menu is still there.
    expectMenuStays(menu);
    exitFromMenu(menu);
}

TEST_F(Menus, BonusVoicesStartedFromTheCdRoot)
{
    ASSERT_TRUE(startSetup('Q'));
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    ASSERT_TRUE(driver::click(menu, IDC_MENU_BONUS_VOICES));
    EXPECT_TRUE(waitSetupExit());
    EXPECT_TRUE(expectStandinCall(1, "soundin.exe", "Q:\\omake\\soundin.exe", "Q:\\omake"));
}
