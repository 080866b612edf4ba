// A player's journey on a system whose code page is not 932. The setup names its code page in
// its manifest, so its texts, the Japanese folder name the player types, the record and the
// shortcut come out as on a Japanese system, and a name with a character that code page 932
// cannot hold is refused as there. CTest runs this program under the Unix locales C.UTF-8
// (Wine's system code page 1252) and hi_IN.UTF-8 (65001, the code page Windows' "Beta: Use
// Unicode UTF-8" gives), through VK_WINE_LOCALE: Wine starts every program of the run, the
// setup and what it starts included, under that locale. This program reads and types the
// setup's texts in code page 932 by the same manifest element.

#include <gtest/gtest.h>

#include <string>

#include "journey.h"
#include "setup_texts.h"

namespace {

// 表 ends in the byte 5C, which is no separator: the folder is walked by character whatever the
// system's code page.
const char folderName[] = "ゲーム\\表示\\";
const char installDir[] = "D:\\ゲーム\\表示\\";
const wchar_t installDirWide[] = L"D:\\ゲーム\\表示\\";
// Korean, which code page 932 cannot hold (the edit then hands the setup "?"). Outside any
// assertion macro: its text is compiled into code page 932 as well.
const wchar_t unholdableName[] = L"ゲーム\\한";

// The ANSI code page of the system's locale; "0" for a locale without one (Wine's 65001).
std::string systemCodePage()
{
    char codePage[8] = "";
    GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, codePage, sizeof codePage);
    return codePage;
}

// The record's "dir" as the registry holds it, in Unicode: what the setup's ANSI write made of
// its bytes, whatever code page the reader has.
std::wstring recordDirWide()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Orbek\\Velkorin\\install", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"<no record>";
    wchar_t dir[MAX_PATH] = L"";
    DWORD size = sizeof dir - sizeof dir[0];
    LONG rc = RegQueryValueExW(key, L"dir", nullptr, nullptr, reinterpret_cast<BYTE*>(dir), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? dir : L"<no dir>";
}

class NonJapaneseSystem : public e2e::Journey {};

}  // namespace

TEST_F(NonJapaneseSystem, JapaneseTextsAndFolderNamesFromInstallToRemoval)
{
    ASSERT_NE("932", systemCodePage()) << "the locale is Japanese: run this through CTest, which sets VK_WINE_LOCALE";
    ASSERT_EQ(932u, GetACP()) << "this program's manifest names code page 932";

    // A Korean character reaches the setup as "?" and is refused with its own message; the
    // install dialog opens again with the defaults.
    HWND refused;
    openInstallDialog(IDC_LEVEL_MINIMUM, &refused);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::setEditTextWide(refused, IDC_INSTALL_FOLDER_NAME, unholdableName));
    const std::string refusedName = "ゲーム\\?\\";
    ASSERT_TRUE(driver::waitUntil([&] {
        const std::string destination = driver::controlText(refused, IDC_PROGRESS_DESTINATION);
        return destination.size() > refusedName.size() &&
               destination.compare(destination.size() - refusedName.size(), refusedName.size(), refusedName) == 0;
    }, e2e::waitTimeoutMs)) << driver::quote(driver::controlText(refused, IDC_PROGRESS_DESTINATION));
    ASSERT_TRUE(driver::click(refused, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(refused, "警告", "インストール出来ない文字 ? が含まれています。", IDOK));
    driver::DialogQuery reopened =
        driver::byTitle(texts::captionSetup, {IDC_PROGRESS_START, IDC_INSTALL_DRIVE_LIST, IDC_INSTALL_FOLDER_NAME}, setupPid());
    reopened.owner = refused;
    HWND install = driver::waitDialog(reopened, e2e::waitTimeoutMs);
    ASSERT_NE(nullptr, install) << driver::describeWindows(setupPid());

    // The minimum into a Japanese folder, with the shortcut; the setup reads the record back
    // and hands over.
    EXPECT_EQ("1 メガバイト", driver::controlText(install, IDC_PROGRESS_REQUIRED));
    startInstallOnD(install, folderName);
    ASSERT_FALSE(HasFatalFailure());
    finishFreshInstall(install);
    expectFiles(installDir, 0, {});
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"D:\\ゲーム\\表示\\VELKORIN.EXE"));
    expectRecord(installDir, 0);
    EXPECT_TRUE(recordDirWide() == installDirWide) << driver::toUtf8(testkit::readRecordValue("dir").data);
    testkit::LinkProperties link = testkit::readLink(shortcutPath());
    EXPECT_EQ(std::string(installDir) + "velkorin.exe", link.target);
    EXPECT_EQ(installDir, link.workDir);
    EXPECT_TRUE(driver::fileExists(link.target));

    // The upgrade from menu 105, which shows the recorded folder as the program reads it.
    upgrade(IDC_LEVEL_STANDARD, installDir);
    ASSERT_FALSE(HasFatalFailure());
    expectFiles(installDir, 1, {});
    expectRecord(installDir, 1);

    // The removal takes the folder and its chain, the shortcut and the record.
    uninstall(false, {});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(driver::directoryExists("D:\\ゲーム"));
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
    EXPECT_FALSE(shortcutExists());
}
