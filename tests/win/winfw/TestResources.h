#pragma once
#define IDD_TEST_DIALOG 200
#define IDC_INPUT 1000
#define IDC_CONVERT 1005
#define IDC_EXIT 1006
#define IDC_LINK 1014
