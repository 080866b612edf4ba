// Ids of the driver's practice target: one dialog with every kind of control the setup uses.
#ifndef VK_DRIVER_TARGET_IDS_H
#define VK_DRIVER_TARGET_IDS_H

#define IDD_TARGET          200
#define IDD_TARGET_CHILD    201

#define IDC_T_ASK           1001   // asks a Yes/No question owned by the dialog
#define IDC_T_CLOSE         1002   // posts WM_CLOSE
#define IDC_T_EDIT          1003
#define IDC_T_COMBO         1004
#define IDC_T_RADIO_A       1005
#define IDC_T_RADIO_B       1006
#define IDC_T_PROGRESS      1007
#define IDC_T_STEP          1008   // steps the progress bar by 10
#define IDC_T_OPEN_CHILD    1009   // opens IDD_TARGET_CHILD owned by the dialog
#define IDC_T_LOG           1010   // read-only edit: what the dialog saw, one event a line
#define IDC_T_DISABLED      1011   // a disabled button
#define IDC_T_CHILD_OK      1012

#endif
