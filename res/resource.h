/*
 * Identifiers of the program's resources and of the controls in its two
 * dialog templates. Included by the resource script and by the C++ code, so
 * it must stay plain preprocessor text.
 */
#ifndef ARRAYFORGE_RES_RESOURCE_H
#define ARRAYFORGE_RES_RESOURCE_H

/* Dialog templates */
#define IDD_ABOUT               100
#define IDD_MAIN                102

/* String table */
#define IDS_ABOUT_MENU          101
#define IDS_BROWSE_TIP          102
#define IDS_APP_TITLE           57344   /* 0xE000 */

/* Images */
#define IDI_APP                 128
#define IDB_BROWSE              129
#define IDC_NODROP_CURSOR       30982   /* pointer of a cancelled link click */

/* Controls of the main window */
#define IDC_SOURCE_PATH         1000
#define IDC_OUTPUT_PATH         1001
#define IDC_TYPE_1BYTE          1002
#define IDC_TYPE_2BYTE          1003
#define IDC_TYPE_4BYTE          1004
#define IDC_CONVERT             1005
#define IDC_EXIT                1006
#define IDC_BROWSE              1007
#define IDC_PROGRESS            1008
#define IDC_HELP_BUTTON         1011
#define IDC_TOPMOST             1012

/* Controls of the About box */
#define IDC_MAIL_LINK           1013
#define IDC_SITE_LINK           1014

/* System-menu command that opens the About box (low four bits clear) */
#define IDM_ABOUTBOX            0x0010

#endif /* ARRAYFORGE_RES_RESOURCE_H */
