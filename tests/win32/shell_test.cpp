// The tool's class, windows and controls as the real platform sees them, in
// the tool's own code and process.
#include "capture/capture.h"
#include "report/report.h"
#include "report_reader.h"
#include "shell/main_window.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

namespace {

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    std::string text = name;
    for (char &c : text) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string TextOf(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A child's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

size_t EntriesFor(HWND window) {
    ReadReportResult read = ReadReport(ReadFileBytes(REPORT_FILE_NAME), "\r\n");
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    size_t count = 0;
    for (const ReadEntry &entry : read.entries) {
        count += entry.window == static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
    }
    return count;
}

class ToolWindow : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(RegisterMainClass(GetModuleHandleA(nullptr)));
    }

    HWND window = nullptr;

    void SetUp() override {
        EnterFreshDirectory();
        window = CreateMainWindow("ThreadInputContext #1");
        ASSERT_NE(window, nullptr);
    }

    // The window is left to the end of the process: without a window
    // manager, Wine waits two seconds for every visible window destroyed.
};

TEST_F(ToolWindow, TheClassIsRegisteredAsDesigned) {
    WNDCLASSA windowClass = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), MAIN_CLASS_NAME, &windowClass));
    EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(windowClass.lpfnWndProc, MainWindowProc);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(windowClass.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
}

TEST_F(ToolWindow, TheWindowCarriesItsButtonAndEditAlongTheBottomEdge) {
    EXPECT_EQ(TextOf(window), "ThreadInputContext #1");
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 450);
    EXPECT_EQ(frame.bottom - frame.top, 250);

    RECT client;
    GetClientRect(window, &client);
    HWND button = GetDlgItem(window, ID_BUTTON);
    HWND edit = GetDlgItem(window, ID_EDIT);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(edit, nullptr);

    EXPECT_EQ(ClassOf(button), "BUTTON");
    EXPECT_EQ(TextOf(button), "BUTTON");
    EXPECT_EQ(GetWindowLongA(button, GWL_STYLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongA(button, GWL_EXSTYLE), 0);
    RECT place = PlaceOf(button);
    EXPECT_EQ(place.left, client.right - 100);
    EXPECT_EQ(place.top, client.bottom - 50);
    EXPECT_EQ(place.right, client.right);
    EXPECT_EQ(place.bottom, client.bottom);

    EXPECT_EQ(ClassOf(edit), "EDIT");
    EXPECT_EQ(TextOf(edit), "EDIT");
    EXPECT_EQ(GetWindowLongA(edit, GWL_STYLE) & 0xFFFF0000, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongA(edit, GWL_EXSTYLE), WS_EX_CLIENTEDGE);
    place = PlaceOf(edit);
    EXPECT_EQ(place.left, client.right - 200);
    EXPECT_EQ(place.top, client.bottom - 50);
    EXPECT_EQ(place.right, client.right - 100);
    EXPECT_EQ(place.bottom, client.bottom);
}

TEST_F(ToolWindow, ANewWindowWritesOneEntryOnceItsLoopRuns) {
    EXPECT_FALSE(std::filesystem::exists(REPORT_FILE_NAME));
    PumpMessages();
    EXPECT_EQ(EntriesFor(window), 1u);
    PumpMessages();
    EXPECT_EQ(EntriesFor(window), 1u);

    // A press of the button writes one more; typing in the edit writes none.
    SendMessageA(GetDlgItem(window, ID_BUTTON), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(EntriesFor(window), 2u);
    HWND edit = GetDlgItem(window, ID_EDIT);
    SendMessageA(edit, WM_CHAR, 'x', 1);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
    PumpMessages();
    EXPECT_EQ(EntriesFor(window), 2u);
}

TEST_F(ToolWindow, ResizingLeavesTheControlsWhereTheyWere) {
    RECT button = PlaceOf(GetDlgItem(window, ID_BUTTON));
    RECT edit = PlaceOf(GetDlgItem(window, ID_EDIT));
    SetWindowPos(window, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 700);
    RECT buttonAfter = PlaceOf(GetDlgItem(window, ID_BUTTON));
    RECT editAfter = PlaceOf(GetDlgItem(window, ID_EDIT));
    EXPECT_EQ(memcmp(&button, &buttonAfter, sizeof button), 0);
    EXPECT_EQ(memcmp(&edit, &editAfter, sizeof edit), 0);
}

} // namespace
