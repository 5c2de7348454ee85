// Test helper run under Wine: another program that keeps a file open while torvane.exe is
// handed it, with the access and sharing that the test asks for.
//   torvane-holder <path> <access> <share>
//     access: r, w or rw (GENERIC_READ, GENERIC_WRITE or both)
//     share:  any of r, w, d (FILE_SHARE_READ, _WRITE, _DELETE), or - for no sharing
// Opens an existing file, prints "held" on its own line once it holds it, and keeps it open
// until its standard input ends; then it closes the file and exits with 0. If the file
// cannot be opened it prints "failed <error code>" and exits with 1.
#include <windows.h>

#include <shellapi.h>
#include <stdio.h>

static void Say(const char* line) {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, lstrlenA(line), &written, NULL);
}

static bool ParseAccess(const wchar_t* text, DWORD* access) {
    *access = 0;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        switch (*c) {
            case L'r': *access |= GENERIC_READ; break;
            case L'w': *access |= GENERIC_WRITE; break;
            default: return false;
        }
    }
    return *access != 0;
}

static bool ParseShare(const wchar_t* text, DWORD* share) {
    *share = 0;
    if (lstrcmpW(text, L"-") == 0) {
        return true;
    }
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        switch (*c) {
            case L'r': *share |= FILE_SHARE_READ; break;
            case L'w': *share |= FILE_SHARE_WRITE; break;
            case L'd': *share |= FILE_SHARE_DELETE; break;
            default: return false;
        }
    }
    return *share != 0;
}

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    DWORD access;
    DWORD share;
    if (count != 4 || !ParseAccess(args[2], &access) || !ParseShare(args[3], &share)) {
        Say("usage: torvane-holder <path> <r|w|rw> <share: r w d or ->\n");
        return 2;
    }
    HANDLE file = CreateFileW(args[1], access, share, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        char line[64];
        snprintf(line, sizeof(line), "failed %lu\n", GetLastError());
        Say(line);
        return 1;
    }
    Say("held\n");
    char buffer[256];
    DWORD got;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &got, NULL) &&
           got > 0) {
    }
    CloseHandle(file);
    Say("released\n");
    return 0;
}
