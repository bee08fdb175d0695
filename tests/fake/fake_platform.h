// The fake platform's controls, for the tests: what the operations answer,
// which of them fail, the log of the calls in order, and the windows made.
#pragma once

#include "platform/platform.h"

#include <map>
#include <string>
#include <vector>

struct FakeScript {
    bool failLoadLibrary, missingLockEntry, missingUnlockEntry, failConversion;
    bool failRegisterClass, failCreateWindow;          // the latter for top-level windows only
    std::map<uintptr_t, std::map<int, HWND>> children; // window -> control id -> control
    std::map<uintptr_t, HIMC> contexts;                // window -> its context
    std::map<uintptr_t, INPUTCONTEXT *> records;       // context -> its locked record
};

// Window n (from 1) has the handle 0x00010000 + 0x10 * n.
struct FakeWindow {
    std::string className, title;
    DWORD exStyle, style;
    int x, y, width, height, id;
    HWND parent;
};

extern FakeScript fake;
extern std::vector<std::string> fakeLog;
extern std::vector<FakeWindow> fakeWindows;
extern WNDCLASSA fakeClass; // the class registered

// Clears the script, the log, the windows and the counters. Threads get the
// identifiers 0x100, 0x101 and on in the order of their first call.
void FakeReset();

template <typename Handle> Handle FakeHandle(uint32_t value) {
    return reinterpret_cast<Handle>(static_cast<uintptr_t>(value));
}
