// Waits until the keyboard focus is in the top-level window of the given
// title: on the window itself or any of its controls, or with a control id,
// on that control. A click activates a window only once its thread has
// handled the click, and keys sent before then go to the window that had the
// focus. Exits 0 then, 1 after ten seconds.
// Usage: wait_for_focus TITLE [CONTROL_ID]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    int controlId = argc > 2 ? atoi(argv[2]) : 0;
    for (int waited = 0; argc > 1 && waited < 10000; waited += 10) {
        HWND window = FindWindowA(nullptr, argv[1]);
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        HWND focus = window != nullptr && GetGUIThreadInfo(0, &info) ? info.hwndFocus : nullptr;
        if (focus != nullptr && (controlId != 0 ? focus == GetDlgItem(window, controlId)
                                                : focus == window || IsChild(window, focus))) {
            return 0;
        }
        Sleep(10);
    }
    fprintf(stderr, "the focus never came to %s\n", argc > 1 ? argv[1] : "(no title given)");
    return 1;
}
