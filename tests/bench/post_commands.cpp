// Posts messages to the tool's windows from another process, as fast as the
// queues take them: "TITLE COUNT" posts COUNT capture commands to the window
// of that title, "TITLE close" asks it to close. Several pairs are served in
// turn, one message each, so that the windows are kept busy at once.
// Exits 0 when every message was posted.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

struct Target {
    HWND window;
    int remaining; // capture commands still to post; -1 for a close
};

static bool Post(HWND window, UINT message, WPARAM wParam) {
    // A full queue refuses a message: wait for the window to catch up.
    for (int attempt = 0; attempt < 10000; attempt++) {
        if (PostMessageA(window, message, wParam, 0)) {
            return true;
        }
        Sleep(1);
    }
    return false;
}

int main(int argc, char **argv) {
    std::vector<Target> targets;
    for (int i = 1; i + 1 < argc; i += 2) {
        HWND window = FindWindowA("Vantorel test window", argv[i]);
        if (window == nullptr) {
            fprintf(stderr, "no window titled %s\n", argv[i]);
            return 2;
        }
        int count = strcmp(argv[i + 1], "close") == 0 ? -1 : atoi(argv[i + 1]);
        targets.push_back(Target{window, count});
    }
    bool more = true;
    while (more) {
        more = false;
        for (Target &target : targets) {
            if (target.remaining > 0) {
                if (!Post(target.window, WM_COMMAND, 1)) {
                    return 1;
                }
                more = --target.remaining > 0 || more;
            } else if (target.remaining == -1) {
                if (!Post(target.window, WM_CLOSE, 0)) {
                    return 1;
                }
                target.remaining = 0;
            }
        }
    }
    return 0;
}
