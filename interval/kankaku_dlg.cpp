// The interval dialog: shows the current interval and stores an accepted entry.
#include "interval/kankaku_dlg.h"

#include <stdio.h>

#include "interval/interval_check.h"
#include "res/resource.h"
#include "shared/globals.h"
#include "shared/texts.h"

static void OnInitDialog(HWND dialog) {
    // Focus first, by SetFocus: unlike the dialog manager's own focusing, it selects
    // nothing, so the caret stands before the first digit.
    SetFocus(GetDlgItem(dialog, IDC_KANKAKU_EDIT));
    char text[16];
    snprintf(text, sizeof(text), "%d", g_intervalSeconds);
    SetDlgItemTextA(dialog, IDC_KANKAKU_EDIT, text);
}

static void OnOk(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_KANKAKU_EDIT, g_entryText, kEntryTextBufferSize);
    const IntervalCheckResult result = CheckIntervalEntry(g_entryText);
    if (result.verdict != kIntervalAccepted) {
        // Owned by the dialog, so the box stands over it and the dialog stays as it was.
        MessageBoxA(dialog, result.message, kTitleError, MB_OK);
        return;
    }
    g_intervalSeconds = result.value;
    EndDialog(dialog, IDOK);
}

static void OnCancel(HWND dialog) {
    EndDialog(dialog, IDCANCEL);
}

static void OnDialogCommand(HWND dialog, int id) {
    switch (id) {
        case IDOK: OnOk(dialog); break;
        case IDCANCEL: OnCancel(dialog); break;
    }
}

// Returns 0 throughout so that the dialog manager does its default work.
INT_PTR CALLBACK KankakuDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog); break;
        case WM_COMMAND: OnDialogCommand(dialog, LOWORD(wParam)); break;
    }
    return 0;
}
