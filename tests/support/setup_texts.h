// The setup's texts as the tests expect them, byte for byte (code page 932 at run time). The
// program keeps its own copies: a text changed on one side only makes a test fail.
#ifndef VK_SETUP_TEXTS_H
#define VK_SETUP_TEXTS_H

namespace texts {

constexpr const char captionSetup[] = "Velkorinセットアップ";
constexpr const char captionWarning[] = "警告";
constexpr const char captionPlus[] = "警告！！";
constexpr const char captionError[] = "ERROR";
constexpr const char captionShortcut[] = "Velkorin　警告";   // the shortcut's failures
constexpr const char defaultCaption[] = "エラー";   // what a box with a null caption shows
constexpr const char titleGame[] = "Velkorin";
constexpr const char titleGameWarning[] = "Velkorin　警告";

constexpr const char confirmExit[] = "終了しますか？";
constexpr const char cdMissing[] = "ＣＤ－ＲＯＭが挿入されていない可能性があります。";
constexpr const char cdMissingExit[] = "ＣＤ－ＲＯＭが挿入されていない可能性があります。終了します。";

constexpr const char installDone[] = "インストールは正常に終了しました。";
constexpr const char installFailed[] = "インストールは失敗しました。";
constexpr const char confirmInstallCancel[] = "インストールを中止しますか？";
constexpr const char noDrive[] = "インストール出来るドライブがありません。";
constexpr const char folderExists[] = "既に存在しているフォルダです。現在のファイルをそのままで上書きしますか？";
constexpr const char rootQuestion[] = "ルートにインストールしようとしていますがよろしいですか？";
constexpr const char nameTooLong[] = "フォルダ名が長すぎます。";
constexpr const char copySaves[] = "セーブファイルが他のフォルダにあります。コピーしますか？";

constexpr const char upgradeDone[] = "再インストールは正常に終了しました。";
constexpr const char upgradeFailed[] = "再インストールは失敗しました。";
constexpr const char confirmUpgradeCancel[] = "再インストールを中止しますか？";
constexpr const char noRoom[] = "インストール先の容量が足りません。";

constexpr const char confirmDeleteSaves[] = "セーブデータも消去されますがよろしいですか？";
constexpr const char uninstallDone[] = "アンインストール終了しました。";

}  // namespace texts

#endif
