// The capture sequence. Its order is what the report shows: each memory
// sample is taken just before the context of the same number is retrieved,
// and the records stay locked while the entry is written.
#include "capture/capture.h"
#include "report/report.h"

#include <cstdint>

// Two DWORDs, then six SIZE_T counts.
#ifdef _WIN64
static_assert(sizeof(MEMORYSTATUS) == 56);
#else
static_assert(sizeof(MEMORYSTATUS) == 32);
#endif

// The report has 32 bits for a memory count; like the 32-bit platform, a
// count past them shows as all bits set.
static DWORD SampleValue(uint64_t count) {
    return count > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<DWORD>(count);
}

// GetProcAddress's generic entry, in the one function type that converts to
// any other without a warning.
typedef void (*AnyProc)();

static AnyProc LookUpEntry(HMODULE module, const char *name) {
    return reinterpret_cast<AnyProc>(GetProcAddress(module, name));
}

void CaptureInputContexts(HWND window) {
    MEMORYSTATUS memoryStatus = {};
    memoryStatus.dwLength = sizeof memoryStatus;

    HMODULE immModule = LoadLibraryA("imm32.dll");
    ImmLockIMCProc lockIMC = nullptr;
    ImmUnlockIMCProc unlockIMC = nullptr;
    if (immModule != nullptr) {
        lockIMC = reinterpret_cast<ImmLockIMCProc>(LookUpEntry(immModule, "ImmLockIMC"));
        unlockIMC = reinterpret_cast<ImmUnlockIMCProc>(LookUpEntry(immModule, "ImmUnlockIMC"));
    }
    // Without both entries nothing is locked, so nothing is left locked; the
    // entry is still written, its records reported as null.
    bool canLock = lockIMC != nullptr && unlockIMC != nullptr;

    ReportEntry entry = {};
    entry.window = window;
    entry.button = GetDlgItem(window, ID_BUTTON);
    entry.edit = GetDlgItem(window, ID_EDIT);

    GlobalMemoryStatus(&memoryStatus);
    entry.dwAP1 = SampleValue(memoryStatus.dwAvailPhys);
    entry.dwAV1 = SampleValue(memoryStatus.dwAvailVirtual);
    entry.hIMC1 = ImmGetContext(window);

    GlobalMemoryStatus(&memoryStatus);
    entry.dwAP2 = SampleValue(memoryStatus.dwAvailPhys);
    entry.dwAV2 = SampleValue(memoryStatus.dwAvailVirtual);
    entry.hIMC2 = ImmGetContext(entry.button);

    GlobalMemoryStatus(&memoryStatus);
    entry.dwAP3 = SampleValue(memoryStatus.dwAvailPhys);
    entry.dwAV3 = SampleValue(memoryStatus.dwAvailVirtual);
    entry.hIMC3 = ImmGetContext(entry.edit);

    if (canLock) {
        entry.pic1 = lockIMC(entry.hIMC1);
        entry.pic2 = lockIMC(entry.hIMC2);
        entry.pic3 = lockIMC(entry.hIMC3);
    }
    entry.threadId = GetCurrentThreadId();

    AppendReportEntry(entry);

    if (canLock) {
        unlockIMC(entry.hIMC3);
        unlockIMC(entry.hIMC2);
        unlockIMC(entry.hIMC1);
    }
    ImmReleaseContext(entry.edit, entry.hIMC3);
    ImmReleaseContext(entry.button, entry.hIMC2);
    ImmReleaseContext(window, entry.hIMC1);
    if (immModule != nullptr) {
        FreeLibrary(immModule);
    }
}
