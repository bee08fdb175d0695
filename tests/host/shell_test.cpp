// The windows, their commands and the life of the tool, on the fake platform.
#include "fake_platform.h"
#include "shell/main_window.h"
#include "shell/program.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

const HINSTANCE INSTANCE = FakeHandle<HINSTANCE>(0x00400000);

TEST(Shell, OnlyCommandOneCaptures) {
    EnterFreshDirectory();
    FakeReset();
    ASSERT_TRUE(RegisterMainClass(INSTANCE));
    // wParam: the notification code in the high word, the control id in the low.
    const struct {
        WPARAM wParam;
        size_t entries;
    } commands[] = {
        {1, 1},          // a click of the button, or the command posted at creation
        {0x00050001, 2}, // the notification code is not looked at
        {0x03000002, 2}, // the edit's text changed
        {0, 2},
    };
    for (const auto &[wParam, entries] : commands) {
        EXPECT_EQ(fakeClass.lpfnWndProc(FakeHandle<HWND>(0x10010), WM_COMMAND, wParam, 0), 0);
        EXPECT_EQ(ReadEntries(FileBytes(REPORT_FILE_NAME)).size(), entries) << wParam;
    }
}

// The class, then the window and its controls, which fill the bottom-right
// corner of the fake's client area of 434 by 211 pixels.
TEST(Shell, TheWindowAndItsControlsAsCreated) {
    EnterFreshDirectory();
    FakeReset();
    ASSERT_TRUE(RegisterMainClass(INSTANCE));
    ASSERT_NE(CreateMainWindow(MAIN_WINDOW_TITLE), nullptr);
    char text[160];
    snprintf(text, sizeof text, "class \"%s\", style %X, brush %d", fakeClass.lpszClassName,
             static_cast<unsigned>(fakeClass.style),
             static_cast<int>(reinterpret_cast<intptr_t>(fakeClass.hbrBackground)));
    std::vector<std::string> made = {text};
    for (const FakeWindow &w : fakeWindows) {
        snprintf(text, sizeof text, "%s \"%s\" id %d, style %08X %X, at %d,%d, %d by %d",
                 w.className.c_str(), w.title.c_str(), w.id, static_cast<unsigned>(w.style),
                 static_cast<unsigned>(w.exStyle), w.x, w.y, w.width, w.height);
        made.push_back(text);
    }
    EXPECT_EQ(made, (std::vector<std::string>{
                        "class \"Vantorel test window\", style 3, brush 16", // COLOR_BTNFACE + 1
                        "Vantorel test window \"ThreadInputContext #1\" id 0, style 00CF0000 0, "
                        "at -2147483648,-2147483648, 450 by 250",
                        "BUTTON \"BUTTON\" id 1, style 50000000 0, at 334,161, 100 by 50",
                        "EDIT \"EDIT\" id 2, style 50000000 200, at 234,161, 100 by 50"}));
    EXPECT_EQ(FileBytes(REPORT_FILE_NAME), ""); // its capture waits for the message loop
}

TEST(Shell, AFailedStartEndsTheToolWithExitCodeOne) {
    for (bool classFails : {true, false}) {
        EnterFreshDirectory();
        FakeReset();
        fake.failRegisterClass = classFails;
        fake.failCreateWindow = true;
        EXPECT_EQ(WinMain(INSTANCE, nullptr, nullptr, 0), 1);
        std::vector<std::string> box = {"MessageBoxA(00000000, RegisterClass failed, NULL, 16)"};
        EXPECT_EQ(fakeLog, classFails ? box : std::vector<std::string>{});
    }
}

// A key typed into window #1's edit, then window #1 closed: both windows
// have captured on their own threads, the key has reached the edit, and the
// report lock, set up before any use, stays held so that no entry starts.
TEST(Shell, TheToolRunsTwoWindowsAndEndsHoldingTheReportLock) {
    EnterFreshDirectory();
    FakeReset();
    DeleteCriticalSection(&ReportLock); // as in a new process
    PostMessageA(FakeHandle<HWND>(0x10030), WM_KEYDOWN, 'A', 0);
    PostMessageA(FakeHandle<HWND>(0x10010), WM_DESTROY, 0, 0);
    EXPECT_EQ(WinMain(INSTANCE, nullptr, nullptr, 0), 0);

    std::vector<ReadEntry> entries = ReadEntries(FileBytes(REPORT_FILE_NAME));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].header[WindowField(0, 0)],
              0x10040u); // the fake runs a new thread to its end at once
    EXPECT_EQ(entries[1].header[WindowField(0, 0)], 0x10010u);
    EXPECT_NE(entries[0].header[THREAD_ID_FIELD], entries[1].header[THREAD_ID_FIELD]);
    EXPECT_EQ(fakeWindows[3].title, "ThreadInputContext #2");
    std::vector<std::string> log = fakeLog;
    EXPECT_EQ(std::count(log.begin(), log.end(), "DispatchMessageA(00010030, 258)"), 1); // WM_CHAR
    EXPECT_EQ(std::count(log.begin(), log.end(), "EnterCriticalSection on a lock not set up"), 0);

    std::atomic<bool> entered = false;
    std::thread other([&] {
        EnterCriticalSection(&ReportLock);
        entered = true;
        LeaveCriticalSection(&ReportLock);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(entered);
    LeaveCriticalSection(&ReportLock);
    other.join();
}

} // namespace
