// Resource ids of the setup program: dialogs 104-117, controls 1015-1051.
// Kept free of other includes so that the resource compiler and the tests can read it.
#ifndef VK_RESOURCE_H
#define VK_RESOURCE_H

#define IDI_SETUP 1

// Main menus: 104 when the game is not installed, 105 when it is.
#define IDD_MENU_NEW            104
#define IDD_MENU_INSTALLED      105
#define IDC_MENU_UNINSTALL      1015
#define IDC_MENU_EXIT           1016
#define IDC_MENU_START_GAME     1018
#define IDC_MENU_INSTALL        1029
#define IDC_MENU_BONUS_VOICES   1030

// Progress dialogs: 106 installs afresh, 115 upgrades in place; they share their control ids.
#define IDD_INSTALL             106
#define IDD_UPGRADE             115
#define IDC_PROGRESS_START      1020
#define IDC_PROGRESS_CANCEL     1021
#define IDC_PROGRESS_BAR        1023
#define IDC_PROGRESS_FREE_SPACE 1039
#define IDC_PROGRESS_REQUIRED   1040
#define IDC_PROGRESS_PERCENT    1045
#define IDC_PROGRESS_DESTINATION 1050

// Install dialog 106 only.
#define IDC_INSTALL_FOLDER_NAME 1019
#define IDC_INSTALL_DRIVE_LIST  1028
#define IDC_INSTALL_BROWSE      1047

// Level choice 108; the upgrade choices 112 and 113 use the same level buttons.
#define IDD_LEVEL_CHOICE        108
#define IDC_LEVEL_MINIMUM       1032
#define IDC_LEVEL_FULL          1033
#define IDC_LEVEL_STANDARD      1034

// Uninstall dialog 109.
#define IDD_UNINSTALL           109
#define IDC_UNINSTALL_START     1025
#define IDC_UNINSTALL_DELETE_ALL 1040
#define IDC_UNINSTALL_KEEP_SAVES 1041
#define IDC_UNINSTALL_CANCEL    1043

// Shortcut offer 110.
#define IDD_SHORTCUT            110
#define IDC_SHORTCUT_YES        1020
#define IDC_SHORTCUT_NO         1044

// Folder browser 111 (OK and Cancel are IDOK and IDCANCEL; the tree view is made at run time).
#define IDD_FOLDER_BROWSER      111

// Upgrade choices: 112 over a minimum, 113 over a standard, 114 over a full installation.
#define IDD_UPGRADE_FROM_MINIMUM  112
#define IDD_UPGRADE_FROM_STANDARD 113
#define IDD_UPGRADE_FROM_FULL     114
#define IDC_UPGRADE_BACK        1048
#define IDC_UPGRADE_INSTALLED_FOLDER 1051

// Microsoft Plus! warning 116.
#define IDD_PLUS_WARNING        116
#define IDC_PLUS_OK             1020

// Audio codec notice 117 (its button is IDOK).
#define IDD_CODEC_NOTICE        117

#endif
