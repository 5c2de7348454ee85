// The three commands of the menu bar.
#include "app/main_window.h"

#include "interval/kankaku_dlg.h"
#include "res/resource.h"
#include "shared/texts.h"

static void LeaveProgram(HWND window) {
    SendMessageA(window, WM_CLOSE, 0, 0);
}

static void ShowVersionBox(HWND window) {
    MessageBoxA(window, kTextVersion, kTitleVersion, MB_OK);
}

static void OpenIntervalDialog(HWND window) {
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    DialogBoxParamA(instance, "KANKAKU_OPTDLG", window, KankakuDlgProc, 0);
}

void OnCommand(HWND window, int id) {
    switch (id) {
        case IDM_EXIT: LeaveProgram(window); break;
        case IDM_VERSION: ShowVersionBox(window); break;
        case IDM_KANKAKU: OpenIntervalDialog(window); break;
    }
}
