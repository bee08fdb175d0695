// Controls of the fake platform, for tests: what each operation returns, which
// ones fail, and the log of every call in order with its arguments.
#pragma once

#include "platform/platform.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

struct FakeCall {
    std::string text;    // e.g. "ImmReleaseContext(00002002, 0000C003)"
    bool reportLockHeld; // whether the calling thread held a critical section
};

struct FakeMemorySample {
    DWORD dwAvailPhys;
    DWORD dwAvailVirtual;
};

struct FakeScript {
    bool failLoadLibrary;
    bool missingLockEntry;
    bool missingUnlockEntry;
    bool failWideCharToMultiByte;
    DWORD threadId; // 0: every thread gets an identifier of its own
    std::map<uintptr_t, std::map<int, HWND>> dialogItems; // window -> id -> child
    std::map<uintptr_t, HIMC> contexts;                   // window -> its context
    std::map<uintptr_t, INPUTCONTEXT *> records;          // context -> locked record
    std::vector<FakeMemorySample> memorySamples;          // handed out in turn, cycling
    bool failRegisterClass;
    bool failCreateWindow;    // top-level windows only
    RECT clientRect;          // what GetClientRect gives
    std::deque<MSG> messages; // GetMessageA takes these in turn; -1 once none is left
};

// What the fake holds at the moment, for checks after a run.
struct FakeCounts {
    int modulesLoaded;                   // LoadLibraryA minus FreeLibrary
    int contextsHeld;                    // ImmGetContext minus ImmReleaseContext
    std::map<uintptr_t, int> lockCounts; // context -> ImmLockIMC minus ImmUnlockIMC
    int wideCharToMultiByteCalls;
    int windowsCreated; // their handles are 0x00010010, 0x00010020, and so on
};

// The class RegisterClassA last registered, and the thread start routine
// _beginthreadex was last given (the fake starts no thread).
WNDCLASSA FakeRegisteredClass();
unsigned(WINAPI *FakeThreadStart())(void *);

// Clears the log, the counts and the script.
void FakeReset();
FakeScript &FakeScriptOf();
std::vector<FakeCall> FakeCalls();
std::vector<std::string> FakeCallTexts();
FakeCounts FakeCountsNow();

// The module handle LoadLibraryA returns when it succeeds.
HMODULE FakeImmModule();

// A handle of any kind with the given 32-bit value.
template <typename Handle> Handle FakeHandle(uint32_t value) {
    return reinterpret_cast<Handle>(static_cast<uintptr_t>(value));
}

// A handle's value as the fake writes it in the log: 8 upper-case hex digits.
std::string FakeHex(const void *handle);
