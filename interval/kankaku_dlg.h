// The modal dialog in which the user sets the interval between subtitle entries.
#pragma once

#include <windows.h>

INT_PTR CALLBACK KankakuDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
