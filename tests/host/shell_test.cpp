// The window procedure, the class, and the program's start and end, through
// the fake platform.
#include "capture/capture.h"
#include "platform/fake_platform.h"
#include "report/report.h"
#include "report_reader.h"
#include "shell/main_window.h"
#include "shell/program.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const HWND WINDOW = FakeHandle<HWND>(0x10010);

class Shell : public testing::Test {
  protected:
    void SetUp() override {
        EnterFreshDirectory();
        FakeReset();
    }

    static bool Called(const std::string &prefix) {
        for (const std::string &call : FakeCallTexts()) {
            if (call.compare(0, prefix.size(), prefix) == 0) {
                return true;
            }
        }
        return false;
    }

    static size_t EntriesWritten() {
        ReadReportResult read = ReadReport(ReadFileBytes(REPORT_FILE_NAME), "\n");
        EXPECT_EQ(read.errors, std::vector<std::string>{});
        return read.entries.size();
    }
};

TEST_F(Shell, OnlyCommandOneCaptures) {
    // A click of the button: identifier 1, notification BN_CLICKED (0).
    EXPECT_EQ(MainWindowProc(WINDOW, WM_COMMAND, 1, 0x10020), 0);
    EXPECT_TRUE(Called("LoadLibraryA(imm32.dll)"));
    EXPECT_EQ(EntriesWritten(), 1u);

    // The notification code is not looked at.
    EXPECT_EQ(MainWindowProc(WINDOW, WM_COMMAND, 0x03000001, 0x10020), 0);
    EXPECT_EQ(EntriesWritten(), 2u);

    // Typing in the edit control notifies with identifier 2: nothing happens.
    FakeReset();
    EXPECT_EQ(MainWindowProc(WINDOW, WM_COMMAND, 0x03000002, 0x10030), 0);
    EXPECT_EQ(MainWindowProc(WINDOW, WM_COMMAND, 0x00010000, 0), 0);
    EXPECT_EQ(FakeCallTexts(), std::vector<std::string>{});
    EXPECT_EQ(EntriesWritten(), 2u);
}

TEST_F(Shell, DestroyQuitsTheLoopAndOtherMessagesGoToTheDefault) {
    EXPECT_EQ(MainWindowProc(WINDOW, WM_DESTROY, 0, 0), 0);
    EXPECT_EQ(FakeCallTexts(), std::vector<std::string>{"PostQuitMessage(0)"});
    EXPECT_EQ(RunMessageLoop(), 0);

    FakeReset();
    MainWindowProc(WINDOW, WM_CLOSE, 7, 9);
    EXPECT_EQ(FakeCallTexts(), std::vector<std::string>{"DefWindowProcA(00010010, 0010, 7, 9)"});
}

TEST_F(Shell, CreationAddsTheControlsAndPostsOneCapture) {
    FakeScriptOf().clientRect = RECT{0, 0, 434, 211};
    EXPECT_EQ(MainWindowProc(WINDOW, WM_CREATE, 0, 0), 0);
    std::vector<std::string> expected = {
        "GetClientRect(00010010)",
        "GetModuleHandleA(NULL)",
        "CreateWindowExA(0, BUTTON, BUTTON, 50000000, 334, 161, 100, 50, 00010010, 1)",
        "CreateWindowExA(200, EDIT, EDIT, 50000000, 234, 161, 100, 50, 00010010, 2)",
        "PostMessageA(00010010, 0111, 1, 0)",
    };
    EXPECT_EQ(FakeCallTexts(), expected);
    EXPECT_FALSE(std::filesystem::exists(REPORT_FILE_NAME));
}

TEST_F(Shell, RegistersTheClass) {
    ASSERT_TRUE(RegisterMainClass(FakeHandle<HINSTANCE>(0x400000)));
    WNDCLASSA windowClass = FakeRegisteredClass();
    EXPECT_EQ(windowClass.style, 3u);
    EXPECT_EQ(windowClass.lpfnWndProc, MainWindowProc);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hInstance, FakeHandle<HINSTANCE>(0x400000));
    EXPECT_EQ(windowClass.hIcon, FakeHandle<HICON>(0x1C0));
    EXPECT_EQ(windowClass.hCursor, FakeHandle<HCURSOR>(0x1C1));
    EXPECT_EQ(windowClass.hbrBackground, FakeHandle<HBRUSH>(16));
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
    EXPECT_STREQ(windowClass.lpszClassName, "Vantorel test window");
    EXPECT_TRUE(Called("LoadIconA(00000000, 32512)"));
    EXPECT_TRUE(Called("LoadCursorA(00000000, 32512)"));
}

TEST_F(Shell, AClassThatCannotBeRegisteredEndsTheToolAtOnce) {
    FakeScriptOf().failRegisterClass = true;
    EXPECT_NE(WinMain(FakeHandle<HINSTANCE>(0x400000), nullptr, nullptr, 1), 0);
    EXPECT_TRUE(Called("MessageBoxA(00000000, RegisterClass failed, NULL, 00000010)"));
    EXPECT_FALSE(Called("CreateWindowExA"));
    EXPECT_FALSE(Called("_beginthreadex"));
    EXPECT_FALSE(Called("GetMessageA"));
}

TEST_F(Shell, AFirstWindowThatCannotBeCreatedEndsTheToolAtOnce) {
    FakeScriptOf().failCreateWindow = true;
    EXPECT_NE(WinMain(FakeHandle<HINSTANCE>(0x400000), nullptr, nullptr, 1), 0);
    EXPECT_FALSE(Called("MessageBoxA"));
    EXPECT_FALSE(Called("ShowWindow"));
    EXPECT_FALSE(Called("_beginthreadex"));
    EXPECT_FALSE(Called("GetMessageA"));
}

TEST_F(Shell, StartsCapturesOnceAndEndsHoldingTheReportLock) {
    // Window #1 is the first window created; closing it is queued up front.
    FakeScriptOf().messages.push_back(MSG{WINDOW, WM_DESTROY, 0, 0, 0, {0, 0}});
    EXPECT_EQ(WinMain(FakeHandle<HINSTANCE>(0x400000), nullptr, nullptr, 0), 0);

    std::vector<std::string> calls;
    for (const std::string &call : FakeCallTexts()) {
        if (call.compare(0, 3, "Imm") != 0 && call.find("Library") == std::string::npos &&
            call.compare(0, 3, "Get") != 0 && call.compare(0, 4, "Load") != 0) {
            calls.push_back(call);
        }
    }
    std::vector<std::string> expected = {
        "RegisterClassA(Vantorel test window)",
        "CreateWindowExA(0, Vantorel test window, ThreadInputContext #1, 00CF0000, "
        "-2147483648, -2147483648, 450, 250, 00000000, 0)",
        "CreateWindowExA(0, BUTTON, BUTTON, 50000000, 334, 161, 100, 50, 00010010, 1)",
        "CreateWindowExA(200, EDIT, EDIT, 50000000, 234, 161, 100, 50, 00010010, 2)",
        "PostMessageA(00010010, 0111, 1, 0)",
        "ShowWindow(00010010, 1)",
        "UpdateWindow(00010010)",
        "_beginthreadex(0, 00000000, 0)",
        "PostQuitMessage(0)",
        "GlobalMemoryStatus(32)",
        "GlobalMemoryStatus(32)",
        "GlobalMemoryStatus(32)",
        "EnterCriticalSection",
        "LeaveCriticalSection",
        "EnterCriticalSection",
    };
    EXPECT_EQ(calls, expected);
    EXPECT_FALSE(Called("DeleteCriticalSection"));
    EXPECT_EQ(FakeThreadStart(), SecondThreadProc);

    ReadReportResult read = ReadReport(ReadFileBytes(REPORT_FILE_NAME), "\n");
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].window, 0x10010u);
    EXPECT_EQ(read.entries[0].button, 0x10020u);
    EXPECT_EQ(read.entries[0].edit, 0x10030u);
    // This thread holds the lock as the ending main thread would; give it back.
    LeaveCriticalSection(&ReportLock);
}

TEST_F(Shell, TheSecondThreadOwnsWindowTwoUntilItIsClosed) {
    ASSERT_TRUE(RegisterMainClass(FakeHandle<HINSTANCE>(0x400000)));
    FakeScriptOf().messages.push_back(MSG{WINDOW, WM_DESTROY, 0, 0, 0, {0, 0}});
    EXPECT_EQ(SecondThreadProc(nullptr), 0u);
    EXPECT_EQ(FakeCountsNow().windowsCreated, 3);
    EXPECT_TRUE(Called("CreateWindowExA(0, Vantorel test window, ThreadInputContext #2, "));
    EXPECT_EQ(EntriesWritten(), 1u);
}

TEST_F(Shell, AFailingMessageLoopEnds) {
    ASSERT_TRUE(RegisterMainClass(FakeHandle<HINSTANCE>(0x400000)));
    FakeScriptOf().messages.push_back(MSG{WINDOW, WM_CLOSE, 5, 0, 0, {0, 0}});
    EXPECT_EQ(RunMessageLoop(), 5);
    EXPECT_EQ(FakeCallTexts().back(), "GetMessageA() = -1");
}

} // namespace
