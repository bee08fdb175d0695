#include "shell/program.h"
#include "report/report.h"
#include "shell/main_window.h"

// Dispatches this thread's messages until WM_QUIT or an error; returns the
// wParam of the last message retrieved.
static int RunMessageLoop() {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// Creates window #2 and runs its loop until the window is closed.
static unsigned WINAPI SecondThreadProc(void *) {
    CreateMainWindow(SECOND_WINDOW_TITLE);
    return static_cast<unsigned>(RunMessageLoop());
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitializeCriticalSection(&ReportLock);
    // Without the class or window #1 there is nothing to wait for.
    if (!RegisterMainClass(instance)) {
        return 1;
    }
    if (CreateMainWindow(MAIN_WINDOW_TITLE) == nullptr) {
        return 1;
    }
    // The runtime's thread start sets up its per-thread state; the handle is
    // not needed and nobody waits for the thread.
    unsigned secondThreadId = 0;
    _beginthreadex(nullptr, 0, SecondThreadProc, nullptr, 0, &secondThreadId);

    int exitCode = RunMessageLoop();

    // The process ends without waiting for the second thread, which may be
    // capturing. Holding the report lock from here on, and never deleting
    // it, lets an entry in progress finish and keeps any later one from
    // starting, so no entry is cut short.
    EnterCriticalSection(&ReportLock);
    return exitCode;
}
