// The real tool in its own process under Wine, driven as a person drives it:
// real clicks and keys in a virtual X server (xdotool), its report read with
// the tests' report reader. Runs on Linux beside the Windows build.
#include "report_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string TITLE1 = "ThreadInputContext #1";
const std::string TITLE2 = "ThreadInputContext #2";

std::string BuildDir() {
    const char *dir = getenv("VANTOREL_BUILD_DIR");
    return dir ? dir : "";
}

// Runs a shell command and returns what it printed, without its last line end.
std::string Output(const std::string &command) {
    std::string text;
    FILE *pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return text;
    }
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        text += buffer;
    }
    pclose(pipe);
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

bool WaitFor(const std::function<bool()> &condition, int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

// The visible X window with this exact title, or "".
std::string VisibleWindow(const std::string &title) {
    return Output("xdotool search --onlyvisible --name '^" + title + "$' | head -n 1");
}

// Without a window manager the X window is the client area; the button and
// the edit fill its bottom-right 200 by 50 pixels.
void Click(const std::string &window, int fromRight, int fromBottom) {
    std::map<std::string, int> geometry;
    std::istringstream lines(Output("xdotool getwindowgeometry --shell " + window));
    std::string line;
    while (std::getline(lines, line)) {
        size_t equals = line.find('=');
        if (equals != std::string::npos) {
            geometry[line.substr(0, equals)] = atoi(line.c_str() + equals + 1);
        }
    }
    std::string x = std::to_string(geometry["WIDTH"] - fromRight);
    std::string y = std::to_string(geometry["HEIGHT"] - fromBottom);
    Output("xdotool mousemove --window " + window + " " + x + " " + y + " click 1");
}

void ClickButton(const std::string &window) {
    Click(window, 50, 25);
}

void ClickEdit(const std::string &window) {
    Click(window, 150, 25);
}

// Focus by a click on an empty part of the client area, then the keys a
// person uses to close a window.
void Close(const std::string &window) {
    Output("xdotool mousemove --window " + window + " 20 20 click 1 key alt+F4");
}

struct Tool {
    pid_t pid;
    std::string dir;
    size_t earlierBytes;
};

// Starts the tool in a fresh folder whose report already holds some bytes.
Tool StartTool(const std::string &earlier) {
    EXPECT_TRUE(VisibleWindow(TITLE1).empty() && VisibleWindow(TITLE2).empty())
        << "another instance of the tool is running on this display";
    static int runs = 0;
    std::string dir =
        BuildDir() + "/e2e-run-" + std::to_string(getpid()) + "-" + std::to_string(runs++);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (!earlier.empty()) {
        std::ofstream(dir + "/Vantorel.txt", std::ios::binary) << earlier;
    }
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        // Wine's helpers inherit these: nothing of ours may wait on them.
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        std::string runner = std::string(getenv("VANTOREL_SOURCE_DIR")) + "/tests/wine/run.sh";
        std::string exe = BuildDir() + "/Vantorel.exe";
        execl(runner.c_str(), runner.c_str(), BuildDir().c_str(), exe.c_str(), nullptr);
        _exit(127);
    }
    return Tool{pid, dir, earlier.size()};
}

// Waits for the tool to end; its exit code, or -1 if it did not end in time.
int WaitForExit(Tool &tool, int seconds) {
    int status = 0;
    bool ended = WaitFor([&] { return waitpid(tool.pid, &status, WNOHANG) == tool.pid; }, seconds);
    if (!ended) {
        kill(tool.pid, SIGKILL);
        waitpid(tool.pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReportBytes(const Tool &tool) {
    return ReadFileBytes(tool.dir + "/Vantorel.txt");
}

ReadReportResult ReadToolReport(const Tool &tool) {
    return ReadReport(ReportBytes(tool).substr(tool.earlierBytes), "\r\n");
}

size_t EntryCount(const Tool &tool) {
    return ReadToolReport(tool).entries.size();
}

// Posts messages to the tool's windows from another Windows process.
int PostCommands(const std::string &arguments) {
    std::string runner = std::string(getenv("VANTOREL_SOURCE_DIR")) + "/tests/wine/run.sh";
    return system((runner + " " + BuildDir() + " " + BuildDir() + "/tests/post_commands.exe " +
                   arguments + " </dev/null >/dev/null 2>&1")
                      .c_str());
}

// Both windows up and both creation entries written; window #2 moved aside,
// as a person would drag it, so that both can be clicked.
void WaitForStart(Tool &tool, std::string &window1, std::string &window2) {
    ASSERT_TRUE(WaitFor(
        [&] { return !VisibleWindow(TITLE1).empty() && !VisibleWindow(TITLE2).empty(); }, 30))
        << "the two windows did not appear";
    window1 = VisibleWindow(TITLE1);
    window2 = VisibleWindow(TITLE2);
    ASSERT_TRUE(WaitFor([&] { return EntryCount(tool) >= 2; }, 20));
    Output("xdotool windowmove " + window2 + " 520 300");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

class EndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(BuildDir().empty()) << "VANTOREL_BUILD_DIR is not set";
        // The virtual X server that the Wine fixture started.
        std::string display = ReadFileBytes(BuildDir() + "/wine-state/display");
        ASSERT_FALSE(display.empty()) << "no virtual X server";
        setenv("DISPLAY", (":" + display.substr(0, display.find('\n'))).c_str(), 1);
    }
};

TEST_F(EndToEnd, APersonClicksTypesAndClosesBothWindows) {
    const std::string earlier = "an earlier report\r\nwhose last line has no end";
    Tool tool = StartTool(earlier);
    std::string window1, window2;
    WaitForStart(tool, window1, window2);

    ReadReportResult read = ReadToolReport(tool);
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    ASSERT_EQ(read.entries.size(), 2u);
    std::map<uint32_t, uint32_t> threadOf; // window handle -> its thread
    for (const ReadEntry &entry : read.entries) {
        threadOf[entry.window] = entry.threadId;
    }
    ASSERT_EQ(threadOf.size(), 2u);
    EXPECT_NE(read.entries[0].threadId, read.entries[1].threadId);

    // A click on each button: one more entry, from that window's thread.
    uint32_t handles[2];
    const std::string *windows[2] = {&window1, &window2};
    for (int n = 0; n < 2; n++) {
        ClickButton(*windows[n]);
        ASSERT_TRUE(WaitFor([&] { return EntryCount(tool) == 3u + n; }, 10)) << "click " << n;
        const ReadEntry &entry = ReadToolReport(tool).entries.back();
        ASSERT_EQ(threadOf.count(entry.window), 1u);
        EXPECT_EQ(entry.threadId, threadOf[entry.window]);
        handles[n] = entry.window;
    }
    EXPECT_NE(handles[0], handles[1]);

    // Typing in an edit control writes nothing.
    ClickEdit(window1);
    Output("xdotool type --delay 20 'typed text'");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_EQ(EntryCount(tool), 4u);

    // Closing window #2 leaves window #1 capturing.
    Close(window2);
    ASSERT_TRUE(WaitFor([&] { return VisibleWindow(TITLE2).empty(); }, 10));
    ClickButton(window1);
    ASSERT_TRUE(WaitFor([&] { return EntryCount(tool) == 5u; }, 10));
    EXPECT_EQ(ReadToolReport(tool).entries.back().window, handles[0]);

    // Closing window #1 ends the tool with exit code 0.
    Close(window1);
    EXPECT_EQ(WaitForExit(tool, 20), 0);
    EXPECT_TRUE(VisibleWindow(TITLE1).empty());

    std::string bytes = ReportBytes(tool);
    EXPECT_EQ(bytes.substr(0, earlier.size()), earlier);
    read = ReadToolReport(tool);
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    EXPECT_EQ(read.entries.size(), 5u);
}

TEST_F(EndToEnd, ClosingWindowOneEndsTheToolAndTakesWindowTwoWithIt) {
    Tool tool = StartTool("");
    std::string window1, window2;
    WaitForStart(tool, window1, window2);
    Close(window1);
    EXPECT_EQ(WaitForExit(tool, 20), 0);
    EXPECT_TRUE(VisibleWindow(TITLE1).empty());
    EXPECT_TRUE(VisibleWindow(TITLE2).empty());
    ReadReportResult read = ReadToolReport(tool);
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    EXPECT_EQ(read.entries.size(), 2u);
}

TEST_F(EndToEnd, BothWindowsCapturingFlatOutWhileAnotherProcessReads) {
    const int perWindow = 2000;
    Tool tool = StartTool("");
    std::string window1, window2;
    WaitForStart(tool, window1, window2);

    std::thread poster([&] {
        EXPECT_EQ(PostCommands("'" + TITLE1 + "' " + std::to_string(perWindow) + " '" + TITLE2 +
                               "' " + std::to_string(perWindow)),
                  0);
    });
    // Reading while the tool writes: every entry but the one being written is
    // whole at every moment.
    size_t expected = 2 + 2 * perWindow;
    size_t reads = 0;
    bool done = WaitFor(
        [&] {
            std::string bytes = ReportBytes(tool);
            size_t lastEntry = bytes.rfind(std::string(69, '-') + "\r\n");
            ReadReportResult read = ReadReport(bytes.substr(0, lastEntry), "\r\n");
            EXPECT_EQ(read.errors, std::vector<std::string>{});
            reads++;
            return ReadReport(bytes, "\r\n").entries.size() >= expected && read.errors.empty();
        },
        120);
    poster.join();
    EXPECT_TRUE(done);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    ReadReportResult read = ReadToolReport(tool);
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    EXPECT_EQ(read.entries.size(), expected);
    std::map<uint32_t, std::set<uint32_t>> threadsOf;
    std::map<uint32_t, size_t> entriesOf;
    for (const ReadEntry &entry : read.entries) {
        threadsOf[entry.window].insert(entry.threadId);
        entriesOf[entry.window]++;
    }
    ASSERT_EQ(entriesOf.size(), 2u);
    for (const auto &[window, count] : entriesOf) {
        EXPECT_EQ(count, 1u + perWindow);
        EXPECT_EQ(threadsOf[window].size(), 1u);
    }
    printf("read the report %zu times while %zu entries were written\n", reads, expected);

    Close(window1);
    EXPECT_EQ(WaitForExit(tool, 20), 0);
}

TEST_F(EndToEnd, ClosingWindowOneWhileWindowTwoCapturesLeavesNoEntryCutShort) {
    // More commands than window #2 can serve before window #1 is gone, so
    // the process ends in the middle of its captures.
    const int commands = 10000;
    for (int run = 0; run < 5; run++) {
        Tool tool = StartTool("");
        std::string window1, window2;
        WaitForStart(tool, window1, window2);
        ASSERT_EQ(PostCommands("'" + TITLE2 + "' " + std::to_string(commands)), 0);
        ASSERT_EQ(PostCommands("'" + TITLE1 + "' close"), 0);
        EXPECT_EQ(WaitForExit(tool, 60), 0);
        ReadReportResult read = ReadToolReport(tool);
        EXPECT_EQ(read.errors, std::vector<std::string>{}) << "run " << run;
        EXPECT_GE(read.entries.size(), 2u);
        EXPECT_LT(read.entries.size(), 2u + commands) << "the tool ended after the captures";
        printf("run %d: the tool ended after %zu entries, the last one whole\n", run,
               read.entries.size());
    }
}

} // namespace
