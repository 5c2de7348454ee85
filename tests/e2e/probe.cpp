// Test helper run under Wine beside torvane.exe: finds a visible top-level window by its
// title and prints the text of one of its controls as UTF-8, so that the tests on the Linux
// side can compare it with Japanese literals.
//   torvane-probe text <title> [control id]   default id: the message box's text
//   torvane-probe absent <title>              exit 0 when no such window is shown
#include <windows.h>

#include <shellapi.h>
#include <stdlib.h>

// The static control that holds a message box's text.
static const int kMessageBoxTextId = 0xFFFF;

struct WindowSearch {
    const wchar_t* title;
    HWND found;
};

static BOOL CALLBACK MatchTitle(HWND window, LPARAM searchAddress) {
    WindowSearch* search = (WindowSearch*)searchAddress;
    wchar_t title[256];
    if (IsWindowVisible(window) && GetWindowTextW(window, title, 256) > 0 &&
        lstrcmpW(title, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND FindShownWindow(const wchar_t* title) {
    WindowSearch search = {title, NULL};
    EnumWindows(MatchTitle, (LPARAM)&search);
    return search.found;
}

static HWND WaitForWindow(const wchar_t* title) {
    for (int tries = 0; tries < 100; ++tries) {
        HWND window = FindShownWindow(title);
        if (window != NULL) {
            return window;
        }
        Sleep(100);
    }
    return NULL;
}

static void PrintUtf8(const wchar_t* text) {
    char bytes[4096];
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), 0, 0);
    DWORD written;
    if (length > 1) {
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes, length - 1, &written, NULL);
    }
}

static int PrintControlText(const wchar_t* title, int controlId) {
    HWND window = WaitForWindow(title);
    HWND control = window != NULL ? GetDlgItem(window, controlId) : NULL;
    if (control == NULL) {
        return 1;
    }
    // GetWindowTextW would give another process's edit box its creation text, not what
    // it shows now; WM_GETTEXT asks the control itself.
    wchar_t text[1024] = L"";
    DWORD_PTR copied;
    SendMessageTimeoutW(control, WM_GETTEXT, 1024, (LPARAM)text, SMTO_BLOCK, 5000, &copied);
    PrintUtf8(text);
    return 0;
}

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count == 4 && lstrcmpW(args[1], L"text") == 0) {
        return PrintControlText(args[2], _wtoi(args[3]));
    }
    if (count == 3 && lstrcmpW(args[1], L"text") == 0) {
        return PrintControlText(args[2], kMessageBoxTextId);
    }
    if (count == 3 && lstrcmpW(args[1], L"absent") == 0) {
        return FindShownWindow(args[2]) == NULL ? 0 : 1;
    }
    return 2;
}
