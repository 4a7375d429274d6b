// Resource and control identifiers, one block of 100 per window.
#pragma once

// Application-wide resources.
#define IDI_APP 1
#define IDB_STATE_24 10
#define IDB_STATE_36 11
#define IDB_BAR_32 12
#define IDB_BAR_48 13
#define IDB_HEADER_20 14
#define IDB_HEADER_30 15
#define IDB_MENU_16 16
#define IDB_MENU_24 17
#define IDB_BACKUP_32 40  // backup buttons, normal then highlighted: full backup, restore, remove, close
#define IDB_BACKUP_48 41

// About window.
#define IDD_ABOUT 100
#define IDC_ABOUT_ICON 101
#define IDC_ABOUT_NAME 102
#define IDC_ABOUT_VERSION 103
#define IDC_ABOUT_LINK 104

// Main window controls.
#define IDC_MAIN_FIRST 200
#define IDC_SCAN_NOW 201
#define IDC_ABORT_SCAN 202
#define IDC_REPAIR 203
#define IDC_FINISH 204
#define IDC_SELECT_ALL 205
#define IDC_STATUS_PANEL 207
#define IDC_PROBLEMS_HEADING 208
#define IDC_PROBLEMS_LIST 209
#define IDC_FINISH_LIST 210
#define IDC_TITLE_LABEL 211
#define IDC_HEADER_FIRST 220  // About, Update, Options, Help, minimize, close
#define IDC_BAR_FIRST 230     // the seven left-bar buttons
#define IDC_SECTION_ICON_FIRST 240
#define IDC_SECTION_CAPTION_FIRST 260
#define IDC_SECTION_COUNT_FIRST 280

// Tray menu of the data module.
#define IDM_OPEN 300
#define IDM_HOME 301
#define IDM_ABOUT 302
#define IDM_ONLINE_UPDATE 303
#define IDM_EXIT 304

// Repair progress dialog TRepairDialogForm.
#define IDD_REPAIR 400
#define IDC_REPAIR_LABEL 401
#define IDC_REPAIR_ANIMATION 402

// Context menu ExcludePopupMenu of the problems list.
#define IDM_EXCLUDE 500
#define IDM_SELECT_ALL 501
#define IDM_SELECT_NONE 502

// Backup page of the main window.
#define IDC_BACKUP_PAGE_LINE1 1301
#define IDC_BACKUP_PAGE_LINE2 1302
#define IDC_BACKUP_PAGE_LINE3 1303
#define IDC_BACKUP_PAGE_LIST 1304
#define IDC_BACKUP_PAGE_FULL 1305
#define IDC_BACKUP_PAGE_RESTORE 1306
#define IDC_BACKUP_PAGE_REMOVE 1307

// Full backup window TRegBackupForm.
#define IDD_REG_BACKUP 1400
#define IDC_REG_BACKUP_LIST 1401
#define IDC_REG_BACKUP_BACKUP 1402
#define IDC_REG_BACKUP_RESTORE 1403
#define IDC_REG_BACKUP_REMOVE 1404
#define IDC_REG_BACKUP_CLOSE 1405

// First-run dialog TFirstFullBackupDialog.
#define IDD_FIRST_BACKUP 1500
#define IDC_FIRST_BACKUP_HEADER 1501
#define IDC_FIRST_BACKUP_LINE1 1502
#define IDC_FIRST_BACKUP_LINE2 1503
#define IDC_FIRST_BACKUP_MESSAGE 1504
#define IDC_FIRST_BACKUP_OK 1505

// The waiting window of a full backup.
#define IDD_BACKUP_HINT 1700
#define IDC_BACKUP_HINT_TEXT 1701

// Browser repair window TBrowserRepairForm.
#define IDC_IE_REPAIR_LIST 1601
#define IDC_IE_SELECT_ALL 1602
#define IDC_IE_RESTORE 1603
#define IDC_IE_HEADING 1604
#define IDC_IE_TEXT 1605

// Disk cleaner window TSysDiskCleanerForm (its controls are numbered in ui/disk_cleaner_window.cpp).
// Add/modify dialog of a junk file type TTemporaryFileForm.
#define IDD_FILE_TYPE 2700
#define IDC_FILE_TYPE_TEXT 2701
#define IDC_FILE_TYPE_PATTERN_LABEL 2702
#define IDC_FILE_TYPE_PATTERN 2703
#define IDC_FILE_TYPE_DESC_LABEL 2704
#define IDC_FILE_TYPE_DESC 2705

// Options window TFormOptions: the page control, the three pages' controls, OK and Cancel.
#define IDD_OPTIONS 2900
#define IDC_OPT_PAGES 2901
#define IDC_OPT_RUN_GROUP 2902
#define IDC_OPT_RUN 2903
#define IDC_OPT_REMOVAL_GROUP 2904
#define IDC_OPT_AUTO_BACKUP 2905
#define IDC_OPT_CHECK_ITEM 2906
#define IDC_OPT_UPDATE_GROUP 2907
#define IDC_OPT_VERSION 2908
#define IDC_OPT_CHECK_UPDATE_BTN 2909
#define IDC_OPT_CHECK_UPDATE 2910
#define IDC_OPT_IGNORE_LIST 2920
#define IDC_OPT_REMOVE_SELECTED 2921
#define IDC_OPT_ACTIVE_TASK 2940
#define IDC_OPT_START_LABEL 2941
#define IDC_OPT_START_TIME 2942
#define IDC_OPT_DAILY_GROUP 2943
#define IDC_OPT_EVENT_LABEL 2944
#define IDC_OPT_DAYS 2945
#define IDC_OPT_DAYS_SPIN 2946
#define IDC_OPT_DAYS_LABEL 2947
#define IDC_OPT_TASK_KIND 2948
#define IDC_OPT_TASK_IMAGE 2949
#define IDC_OPT_TASK_NAME 2950

// List of found files TDetailTempFileForm.
#define IDD_TEMP_DETAILS 2800
#define IDC_TEMP_DETAILS_TOTAL 2801
#define IDC_TEMP_DETAILS_LIST 2802
