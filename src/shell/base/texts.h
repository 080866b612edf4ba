// Texts and captions that more than one screen shows.
#ifndef VK_TEXTS_H
#define VK_TEXTS_H

constexpr const char captionSetup[] = "Velkorinセットアップ";
constexpr const char captionWarning[] = "警告";
constexpr const char captionError[] = "ERROR";
constexpr const char captionGameWarning[] = "Velkorin　警告";

constexpr const char textCdMaybeMissing[] = "ＣＤ－ＲＯＭが挿入されていない可能性があります。";
// Start-up finds no CD with the game's label, or cannot read its own folder.
constexpr const char textCdMissingExit[] = "ＣＤ－ＲＯＭが挿入されていない可能性があります。終了します。";

// No fixed disk has room for the level; the recorded folder's disk has no room for the upgrade.
constexpr const char textNoDrive[] = "インストール出来るドライブがありません。";
constexpr const char textNoRoom[] = "インストール先の容量が足りません。";

// The outcomes of an install, an upgrade and a removal.
constexpr const char textInstallDone[] = "インストールは正常に終了しました。";
constexpr const char textInstallFailed[] = "インストールは失敗しました。";
constexpr const char textUpgradeDone[] = "再インストールは正常に終了しました。";
constexpr const char textUpgradeFailed[] = "再インストールは失敗しました。";
constexpr const char textUninstallFinished[] = "アンインストール終了しました。";

// Asked before a removal that takes the save files too.
constexpr const char textConfirmDeleteSaves[] = "セーブデータも消去されますがよろしいですか？";

// A folder name, or the install folder made of it, too long to be used.
constexpr const char textNameTooLong[] = "フォルダ名が長すぎます。";

// The game's window titles, sought by start-up.
constexpr const char titleGame[] = "Velkorin";
constexpr const char titleGameWarning[] = "Velkorin　警告";

// The updater on the CD, started after an install or upgrade by this relative name: it is found
// in the setup's current directory, the CD folder the setup was started from.
constexpr const char updaterProgram[] = "UPDATE.EXE";

// The game program inside the install folder.
constexpr const char gameProgramFormat[] = "%svelkorin.exe";

#endif
