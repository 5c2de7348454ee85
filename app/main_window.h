// The steps of WinMain and the main window's procedure and command handler.
#pragma once

#include <windows.h>

bool RegisterMainWindowClass(HINSTANCE instance);
// Returns NULL when the window could not be created.
HWND CreateMainWindow(HINSTANCE instance);
// Returns the quit message's code once the last window has gone.
int RunMessageLoop();

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void OnCommand(HWND window, int id);
