// Program entry: the window class, the main window and the message loop.
#include "app/main_window.h"

#include "shared/globals.h"
#include "shared/texts.h"

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszMenuName = "RC";
    windowClass.lpszClassName = kTextClassName;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExA(WS_EX_LEFT, kTextClassName, kTextWindowTitle, WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, 450, 200, NULL, NULL, instance, NULL);
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand) {
    (void)commandLine;
    if (previousInstance == NULL && !RegisterMainWindowClass(instance)) {
        return 0;
    }
    HWND window = CreateMainWindow(instance);
    if (window == NULL) {
        // Without a window nothing would ever post the quit message.
        return 0;
    }
    ShowWindow(window, showCommand);
    g_intervalSeconds = kDefaultIntervalSeconds;
    UpdateWindow(window);
    return RunMessageLoop();
}
