#pragma once

// Resource and control ids. The numbers are fixed: tests and other tools find
// the windows' parts by them.

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_QUIETREEL_DIALOG 102
#define IDD_FAQ 105
#define IDD_HELP 108

// Other resources.
#define IDS_ABOUTBOX 101
#define IDR_MAINFRAME 128
#define IDR_MENU 134

// The system-menu entry; system commands below 0xF000 must be multiples of 16.
#define IDM_ABOUTBOX 0x0010

// Main window.
#define IDC_RESTORE 1002
#define IDC_RESET 1003
#define IDC_OPEN_FAQ 1008
#define IDC_WELCOME 1016
// Where things stand: Block's section in the hosts file or not.
#define IDC_HOSTS_STATE 1020

// Troubleshooting dialog.
#define IDC_REPAIR_BLACK_SCREEN 1008
#define IDC_CLEAN_TEMP_FILES 1009
#define IDC_FAQ_ADVICE 1018
#define IDC_FAQ_STATUS 1019

// About dialog.
#define IDC_ABOUT_TITLE 1014
#define IDC_LINK_WEBSITE 1015
#define IDC_LINK_MICROBLOG 1017
#define IDC_LINK_SHOP 1018

// Help dialog.
#define IDC_HELP_COPYRIGHT 1017

// Menu bar commands.
#define ID_MENU_ABOUT 32775
#define ID_MENU_HELP 32777
#define ID_MENU_CHECK_UPDATE 32779

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
