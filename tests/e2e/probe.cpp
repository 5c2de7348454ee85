// Test helper run under Wine beside torvane.exe: finds a visible top-level window by its
// title and prints the text of one of its controls as UTF-8, so that the tests on the Linux
// side can compare it with Japanese literals.
//   torvane-probe text <title> [control id]   default id: the message box's text
//   torvane-probe absent <title>              exit 0 when no such window is shown
//   torvane-probe usage <title>               the resources held by the window's process,
//                                             one "name value" line each (-1: not known)
#include <windows.h>

#include <psapi.h>
#include <winternl.h>
#include <shellapi.h>
#include <stdio.h>
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

static void PrintFigure(const char* name, long long value) {
    char line[128];
    const int length = snprintf(line, sizeof(line), "%s %lld\n", name, value);
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, length, &written, NULL);
}

// The process's entries in the system's list of open handles; -1 if the list is not had.
static long long CountListedHandles(DWORD processId) {
    ULONG size = 1 << 16;
    for (int tries = 0; tries < 8; ++tries, size *= 4) {
        SYSTEM_HANDLE_INFORMATION* list = (SYSTEM_HANDLE_INFORMATION*)malloc(size);
        if (list == NULL) {
            return -1;
        }
        ULONG needed = 0;
        const NTSTATUS status =
            NtQuerySystemInformation(SystemHandleInformation, list, size, &needed);
        if (NT_SUCCESS(status)) {
            long long count = 0;
            for (ULONG i = 0; i < list->Count; ++i) {
                count += list->Handle[i].OwnerPid == processId ? 1 : 0;
            }
            free(list);
            return count;
        }
        free(list);
        if (status != (NTSTATUS)0xC0000004L) {  // STATUS_INFO_LENGTH_MISMATCH
            return -1;
        }
    }
    return -1;
}

// Memory, kernel handles and window-system objects of the process that owns the window,
// as the system reports them to another process.
static int PrintUsage(const wchar_t* title) {
    HWND window = WaitForWindow(title);
    DWORD processId = 0;
    if (window == NULL || GetWindowThreadProcessId(window, &processId) == 0) {
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process == NULL) {
        return 1;
    }
    PrintFigure("pid", processId);
    PROCESS_MEMORY_COUNTERS_EX memory;
    memory.cb = sizeof(memory);
    const bool haveMemory =
        GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS*)&memory, sizeof(memory)) != 0;
    PrintFigure("working_set_bytes", haveMemory ? (long long)memory.WorkingSetSize : -1);
    PrintFigure("peak_working_set_bytes", haveMemory ? (long long)memory.PeakWorkingSetSize : -1);
    PrintFigure("private_bytes", haveMemory ? (long long)memory.PrivateUsage : -1);
    PrintFigure("pagefile_bytes", haveMemory ? (long long)memory.PagefileUsage : -1);
    DWORD handles = 0;
    PrintFigure("handles", GetProcessHandleCount(process, &handles) ? (long long)handles : -1);
    PrintFigure("listed_handles", CountListedHandles(processId));
    PrintFigure("gdi_objects", GetGuiResources(process, GR_GDIOBJECTS));
    PrintFigure("user_objects", GetGuiResources(process, GR_USEROBJECTS));
    CloseHandle(process);
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
    if (count == 3 && lstrcmpW(args[1], L"usage") == 0) {
        return PrintUsage(args[2]);
    }
    if (count == 3 && lstrcmpW(args[1], L"absent") == 0) {
        return FindShownWindow(args[2]) == NULL ? 0 : 1;
    }
    return 2;
}
