#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/flow/command_line.h"

namespace {

struct Read {
    bool ok;
    CommandLine line;
    std::string fault;
};

Read read(const std::vector<const char*>& arguments)
{
    Read r;
    char fault[128];
    r.ok = readCommandLine(static_cast<int>(arguments.size()), arguments.data(), r.line, fault, sizeof fault);
    r.fault = fault;
    return r;
}

}  // namespace

TEST(CommandLine, EachRunWithItsSwitchesInAnyCase)
{
    Read none = read({});
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(SetupMode::dialogs, none.line.mode);

    Read install = read({"/s", "-Type=full", "/DIR=d:\\Games\\Velkorin", "/shortcut=No", "/LOG=C:\\a b.log"});
    ASSERT_TRUE(install.ok) << install.fault;
    EXPECT_EQ(SetupMode::install, install.line.mode);
    EXPECT_EQ(2, install.line.level);
    EXPECT_STREQ("d:\\Games\\Velkorin", install.line.folder);
    EXPECT_FALSE(install.line.shortcut);
    EXPECT_STREQ("C:\\a b.log", install.line.logFile);

    Read defaults = read({"/S", "/TYPE=MINIMUM"});
    ASSERT_TRUE(defaults.ok);
    EXPECT_EQ(0, defaults.line.level);
    EXPECT_STREQ("", defaults.line.folder);
    EXPECT_TRUE(defaults.line.shortcut);

    Read upgrade = read({"/UPGRADE", "/TYPE=standard", "/S"});
    ASSERT_TRUE(upgrade.ok);
    EXPECT_EQ(SetupMode::upgrade, upgrade.line.mode);
    EXPECT_EQ(1, upgrade.line.level);

    Read removal = read({"/S", "/UNINSTALL", "/KEEPSAVES"});
    ASSERT_TRUE(removal.ok);
    EXPECT_EQ(SetupMode::uninstall, removal.line.mode);
    EXPECT_TRUE(removal.line.keepSaves);

    EXPECT_EQ(SetupMode::usage, read({"/S", "/BOGUS", "/?"}).line.mode);
}

TEST(CommandLine, WrongOnesAreToldWithWhatIsWrong)
{
    const std::string longFolder = "/DIR=C:\\" + std::string(300, 'x');
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"/S", "/TYPE=FULL", "/QUIET"}, "不明なスイッチ /QUIET があります。"},
        {{"/S", "/TYPE=FULL", "D:\\"}, "スイッチではない引数 D:\\ があります。"},
        {{"/S", "/TYPE"}, "/TYPE に値がありません。"},
        {{"/S", "/TYPE="}, "/TYPE に値がありません。"},
        {{"/S", "/TYPE=HUGE"}, "/TYPE の値は使えません: HUGE"},
        {{"/S", "/TYPE=FULL", "/SHORTCUT=MAYBE"}, "/SHORTCUT の値は使えません: MAYBE"},
        {{"/S=1", "/TYPE=FULL"}, "/S に値は付けられません。"},
        {{"/S", "/S", "/TYPE=FULL"}, "/S が二度指定されています。"},
        {{"/TYPE=FULL"}, "/S がありません。"},
        {{"/S"}, "/TYPE がありません。"},
        {{"/S", "/UPGRADE", "/UNINSTALL"}, "/UPGRADE と /UNINSTALL は同時に指定できません。"},
        {{"/S", "/UPGRADE", "/TYPE=FULL", "/DIR=D:\\X"}, "/DIR はこの操作には使えません。"},
        {{"/S", "/UNINSTALL", "/TYPE=FULL"}, "/TYPE はこの操作には使えません。"},
        {{"/S", "/TYPE=FULL", "/KEEPSAVES"}, "/KEEPSAVES はこの操作には使えません。"},
        {{"/S", "/TYPE=FULL", "/DIR=Games\\Velkorin"},
         "/DIR にはドライブ名から始まるフォルダ（例 D:\\Games\\Velkorin）を指定して下さい。"},
        {{"/S", "/TYPE=FULL", longFolder.c_str()}, "/DIR の値が長すぎます。"},
    };
    for (const auto& c : cases) {
        Read r = read(c.first);
        EXPECT_FALSE(r.ok) << c.second;
        EXPECT_EQ(c.second, r.fault);
    }
    // The log still goes where it is asked to.
    Read logged = read({"/S", "/BOGUS", "/TYPE=x", "/LOG=C:\\v.log"});
    EXPECT_EQ("不明なスイッチ /BOGUS があります。", logged.fault);
    EXPECT_STREQ("C:\\v.log", logged.line.logFile);
}
