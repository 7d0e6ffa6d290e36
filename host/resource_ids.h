// Resource identifiers of the host executable (shared by the .rc file).
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QSEXE_DIALOG 102
#define IDD_TAB_PAGE 103
#define IDR_MAINFRAME 128
#define IDD_INPUT_BOX 131
#define IDC_INPUT_PROMPT 1000
#define IDC_INPUT_EDIT 1001
#define IDC_ABOUT_ICON 1100
#define IDC_ABOUT_VERSION 1101
#define IDC_ABOUT_COPYRIGHT 1102
#define IDM_ABOUTBOX 0x0010
