// The main window: guide text, file drops and closing.
#include "app/main_window.h"

#include <shellapi.h>
#include <string.h>
#include <wchar.h>

#include "convert/convert.h"
#include "convert/name_test.h"
#include "shared/globals.h"
#include "shared/texts.h"

static void OnCreate(HWND window) {
    DragAcceptFiles(window, TRUE);
}

static void PaintDropGuide(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 10, 10, kTextGuideLine1, (int)sizeof(kTextGuideLine1) - 1);
    TextOutA(dc, 10, 40, kTextGuideLine2, (int)sizeof(kTextGuideLine2) - 1);
    ValidateRect(window, NULL);
    EndPaint(window, &paint);
}

// True when the ANSI path reads back as the very name the shell dropped. Where the code
// page has no letter for a character of the name, the ANSI path holds "?" or a look-alike
// letter ("cafe" for "café") instead, and so names no file or some other one.
static bool SpellsDroppedName(HDROP drop, const char* path) {
    wchar_t dropped[kPathBufferSize + 1];
    wchar_t spelled[kPathBufferSize + 1];
    if (DragQueryFileW(drop, 0, NULL, 0) >= kPathBufferSize) {
        return false;
    }
    DragQueryFileW(drop, 0, dropped, kPathBufferSize + 1);
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, spelled, kPathBufferSize + 1) == 0) {
        return false;
    }
    return wcscmp(dropped, spelled) == 0;
}

// Copies the first dropped path into g_droppedPath unless it does not fit there or the ANSI
// code page cannot spell it. Such a path, cut short or misspelt, might name some other file
// whose subtitle would then be overwritten; since no outcome of a conversion is ever shown,
// such a drop is passed over just as silently. The length query alone is not enough: Wine
// counts it in UTF-16 units, not bytes; a copy one byte longer than the buffer shows a cut.
static bool TakeFirstDroppedPath(HDROP drop) {
    char path[kPathBufferSize + 2];
    path[kPathBufferSize + 1] = '\0';
    if (DragQueryFileA(drop, 0, NULL, 0) >= kPathBufferSize) {
        return false;
    }
    DragQueryFileA(drop, 0, path, kPathBufferSize + 1);
    const size_t length = strlen(path);
    if (length >= kPathBufferSize || !SpellsDroppedName(drop, path)) {
        return false;
    }
    memcpy(g_droppedPath, path, length + 1);
    return true;
}

static void OnDropFiles(HWND window, HDROP drop) {
    if (TakeFirstDroppedPath(drop)) {
        if (HasTextFileName(g_droppedPath)) {
            ConvertDroppedFile();
        } else {
            MessageBoxA(window, kTextOnlyTxt, kTitleRefused, MB_OK);
        }
    }
    DragFinish(drop);
}

static void OnClose(HWND window) {
    DestroyWindow(window);
}

static void OnDestroy() {
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: OnCreate(window); return 0;
        case WM_PAINT: PaintDropGuide(window); return 0;
        case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return 0;
        case WM_DROPFILES: OnDropFiles(window, (HDROP)wParam); return 0;
        case WM_CLOSE: OnClose(window); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
