// Captures of real windows and controls against the platform's own IMM.
#include "capture/capture.h"
#include "report/report.h"
#include "report_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace {

const char TEST_CLASS[] = "Vantorel capture test";

// A top-level window with a BUTTON (id 1) and an EDIT (id 2), as the tool's.
HWND CreateTestWindow() {
    static ATOM registered = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = TEST_CLASS;
        return RegisterClassA(&windowClass);
    }();
    EXPECT_NE(registered, 0);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(0, TEST_CLASS, "capture test", WS_OVERLAPPEDWINDOW, 0, 0, 450,
                                  250, nullptr, nullptr, instance, nullptr);
    CreateWindowExA(0, "BUTTON", "BUTTON", WS_CHILD | WS_VISIBLE, 334, 161, 100, 50, window,
                    reinterpret_cast<HMENU>(ID_BUTTON), instance, nullptr);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "EDIT", WS_CHILD | WS_VISIBLE, 234, 161, 100, 50,
                    window, reinterpret_cast<HMENU>(ID_EDIT), instance, nullptr);
    return window;
}

uint32_t ValueOf(const void *handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

std::string Hex8(DWORD value) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

typedef DWORD(WINAPI *ImmGetIMCLockCountProc)(HIMC);

template <typename Proc> Proc ImmEntry(const char *name) {
    return reinterpret_cast<Proc>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("imm32.dll"), name)));
}

ReadReportResult ReadTheReport() {
    ReadReportResult read = ReadReport(ReadFileBytes(REPORT_FILE_NAME), "\r\n");
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    return read;
}

class RealCapture : public testing::Test {
  protected:
    void SetUp() override {
        EnterFreshDirectory();
    }
};

TEST_F(RealCapture, ReadsTheContextsOfAWindowAndItsControls) {
    HWND window = CreateTestWindow();
    HWND button = GetDlgItem(window, ID_BUTTON);
    HWND edit = GetDlgItem(window, ID_EDIT);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(edit, nullptr);
    CaptureInputContexts(window);

    ReadReportResult read = ReadTheReport();
    ASSERT_EQ(read.entries.size(), 1u);
    const ReadEntry &entry = read.entries[0];
    EXPECT_EQ(entry.threadId, GetCurrentThreadId());
    EXPECT_EQ(entry.window, ValueOf(window));
    EXPECT_EQ(entry.button, ValueOf(button));
    EXPECT_EQ(entry.edit, ValueOf(edit));

    auto lockIMC = ImmEntry<ImmLockIMCProc>("ImmLockIMC");
    auto unlockIMC = ImmEntry<ImmUnlockIMCProc>("ImmUnlockIMC");
    auto lockCount = ImmEntry<ImmGetIMCLockCountProc>("ImmGetIMCLockCount");
    ASSERT_TRUE(lockIMC && unlockIMC && lockCount);
    HWND windows[3] = {window, button, edit};
    for (int n = 0; n < 3; n++) {
        HIMC context = ImmGetContext(windows[n]);
        ASSERT_NE(context, nullptr);
        EXPECT_EQ(entry.hIMC[n], ValueOf(context));
        EXPECT_EQ(lockCount(context), 0u) << "the capture left context " << n << " locked";
        ASSERT_TRUE(entry.blocks[n].present);
        INPUTCONTEXT *record = lockIMC(context);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(BlockValue(entry, n, "fOpen"), std::to_string(record->fOpen));
        EXPECT_EQ(BlockValue(entry, n, "fdwConversion"), Hex8(record->fdwConversion));
        EXPECT_EQ(BlockValue(entry, n, "lfFont.W.lfHeight"),
                  std::to_string(record->lfFont.W.lfHeight));
        EXPECT_EQ(BlockValue(entry, n, "fdwInit"), Hex8(record->fdwInit));
        unlockIMC(context);
        ImmReleaseContext(windows[n], context);
    }
    DestroyWindow(window);
}

TEST_F(RealCapture, AControlWithoutContextGivesZerosAndNull) {
    HWND window = CreateTestWindow();
    HWND edit = GetDlgItem(window, ID_EDIT);
    ImmAssociateContext(edit, nullptr);
    CaptureInputContexts(window);

    ReadReportResult read = ReadTheReport();
    ASSERT_EQ(read.entries.size(), 1u);
    const ReadEntry &entry = read.entries[0];
    EXPECT_EQ(entry.edit, ValueOf(edit));
    EXPECT_EQ(entry.hIMC[2], 0u);
    EXPECT_NE(entry.lines[4].find(", hIMC3:00000000, "), std::string::npos) << entry.lines[4];
    EXPECT_TRUE(entry.blocks[0].present);
    EXPECT_TRUE(entry.blocks[1].present);
    EXPECT_FALSE(entry.blocks[2].present);
    EXPECT_EQ(entry.lines.back(), "pic3: (null)");
    DestroyWindow(window);
}

// Counters of this process that a leak would move. Wine keeps none of them
// (all read 0 there); on Windows they are live.
struct ProcessCounters {
    DWORD handles;
    DWORD userObjects;
    DWORD gdiObjects;
};

ProcessCounters CountersNow() {
    ProcessCounters counters = {};
    GetProcessHandleCount(GetCurrentProcess(), &counters.handles);
    counters.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    counters.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return counters;
}

TEST_F(RealCapture, TwoThreadsCapturingAtOnceWriteWholeEntriesAndLeaveNothingBehind) {
    const int perThread = 2000;
    auto lockCount = ImmEntry<ImmGetIMCLockCountProc>("ImmGetIMCLockCount");
    ASSERT_NE(lockCount, nullptr);
    std::mutex ownersMutex;
    std::map<uint32_t, DWORD> ownerOf;
    std::atomic<int> ready{0};
    std::atomic<int> lockedAfter{0};
    ProcessCounters before = CountersNow();
    auto captureMany = [&] {
        HWND window = CreateTestWindow();
        {
            std::lock_guard<std::mutex> guard(ownersMutex);
            ownerOf[ValueOf(window)] = GetCurrentThreadId();
        }
        ready++;
        while (ready < 2) {
            Sleep(0);
        }
        for (int i = 0; i < perThread; i++) {
            CaptureInputContexts(window);
        }
        HWND windows[3] = {window, GetDlgItem(window, ID_BUTTON), GetDlgItem(window, ID_EDIT)};
        for (HWND each : windows) {
            HIMC context = ImmGetContext(each);
            lockedAfter += static_cast<int>(lockCount(context));
            ImmReleaseContext(each, context);
        }
        DestroyWindow(window);
    };
    std::thread first(captureMany);
    std::thread second(captureMany);
    first.join();
    second.join();
    ProcessCounters after = CountersNow();

    ReadReportResult read = ReadTheReport();
    ASSERT_EQ(read.entries.size(), 2u * perThread);
    std::map<uint32_t, int> entriesOf;
    for (const ReadEntry &entry : read.entries) {
        ASSERT_EQ(ownerOf.count(entry.window), 1u);
        EXPECT_EQ(entry.threadId, ownerOf[entry.window]);
        entriesOf[entry.window]++;
    }
    EXPECT_EQ(entriesOf.size(), 2u);
    for (const auto &[window, count] : entriesOf) {
        EXPECT_EQ(count, perThread);
    }

    EXPECT_EQ(lockedAfter, 0);
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.userObjects, before.userObjects);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
}

} // namespace
