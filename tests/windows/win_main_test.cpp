// WinMain's early exits: when the window class or the main window cannot be made it must
// return 0 at once, for a message loop with no window in it would never end.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "shared/texts.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

namespace {

bool g_loopEntered;
HHOOK g_refusalHook;

// Only a running message loop dispatches this thread timer.
void CALLBACK OnLoopTimer(HWND, UINT, UINT_PTR, DWORD) {
    g_loopEntered = true;
    PostQuitMessage(99);
}

// A CBT hook that answers HCBT_CREATEWND with nonzero makes CreateWindowEx fail.
LRESULT CALLBACK RefuseEveryWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        return 1;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

void TakeClassName(HINSTANCE instance) {
    ASSERT_TRUE(RegisterMainWindowClass(instance));
}

void RefuseWindowCreation(HINSTANCE) {
    g_refusalHook = SetWindowsHookExA(WH_CBT, RefuseEveryWindow, NULL, GetCurrentThreadId());
    ASSERT_NE(g_refusalHook, nullptr);
}

struct EarlyExitCase {
    const char* name;
    void (*arrange)(HINSTANCE instance);
};

const EarlyExitCase kEarlyExitCases[] = {
    {"class name already taken", TakeClassName},
    {"main window refused", RefuseWindowCreation},
};

TEST(WinMainEarlyExit, ReturnsZeroWithoutEnteringTheMessageLoop) {
    HINSTANCE instance = GetModuleHandleA(NULL);
    for (const EarlyExitCase& c : kEarlyExitCases) {
        SCOPED_TRACE(c.name);
        UnregisterClassA(kTextClassName, instance);
        g_loopEntered = false;
        g_refusalHook = NULL;
        c.arrange(instance);
        const UINT_PTR timer = SetTimer(NULL, 0, 100, OnLoopTimer);
        ASSERT_NE(timer, 0u);

        EXPECT_EQ(WinMain(instance, NULL, const_cast<char*>(""), SW_SHOWNORMAL), 0);
        EXPECT_FALSE(g_loopEntered);

        KillTimer(NULL, timer);
        if (g_refusalHook != NULL) {
            UnhookWindowsHookEx(g_refusalHook);
        }
    }
}

}  // namespace
