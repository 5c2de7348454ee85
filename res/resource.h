// Identifiers shared by the resource script and the code.
#pragma once

// Menu commands
#define IDM_EXIT 100
#define IDM_VERSION 300
#define IDM_KANKAKU 1001

// Interval dialog controls (both static texts share one number; nothing addresses them)
#define IDC_KANKAKU_EDIT 1002
#define IDC_KANKAKU_LABEL 1003
