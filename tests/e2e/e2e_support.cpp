// Helpers of the end-to-end tests: the tool started under Wine, its windows
// found, pressed and closed with xdotool, its report read.
#include "e2e_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

const std::string TITLE1 = "ThreadInputContext #1";
const std::string TITLE2 = "ThreadInputContext #2";

void EndToEnd::SetUp() {
    ASSERT_FALSE(BuildDir().empty()) << "VANTOREL_BUILD_DIR is not set";
    // The virtual X server that the Wine fixture started.
    std::string display = ReadFileBytes(BuildDir() + "/wine-state/display");
    ASSERT_FALSE(display.empty()) << "no virtual X server";
    setenv("DISPLAY", (":" + display.substr(0, display.find('\n'))).c_str(), 1);
}

std::string BuildDir() {
    const char *dir = getenv("VANTOREL_BUILD_DIR");
    return dir ? dir : "";
}

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

std::string VisibleWindow(const std::string &title) {
    return Output("xdotool search --onlyvisible --name '^" + title + "$' | head -n 1");
}

// Without a window manager the X window is the client area; the button and
// the edit fill its bottom-right 200 by 50 pixels.
static void Click(const std::string &window, int fromRight, int fromBottom) {
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

// Runs a Windows program under Wine in dir, in the background; as another
// Unix user when one is named.
static pid_t StartWindowsProgram(const std::string &dir, const std::string &arguments,
                                 const std::string &user = "") {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        std::string scripts = std::string(getenv("VANTOREL_SOURCE_DIR")) + "/tests/wine/";
        std::string command =
            user.empty()
                ? "exec " + scripts + "run.sh " + BuildDir() + " " + arguments
                : "exec " + scripts + "run-as.sh " + user + " " + BuildDir() + " " + arguments;
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    return pid;
}

Tool StartTool(const std::string &earlier) {
    return StartToolIn(
        [&](const std::string &dir) {
            if (!earlier.empty()) {
                std::ofstream(dir + "/Vantorel.txt", std::ios::binary) << earlier;
            }
        },
        earlier.size());
}

Tool StartToolIn(const std::function<void(const std::string &)> &prepare, size_t earlierBytes,
                 const std::string &user) {
    EXPECT_TRUE(VisibleWindow(TITLE1).empty() && VisibleWindow(TITLE2).empty())
        << "another instance of the tool is running on this display";
    static int runs = 0;
    std::string dir =
        BuildDir() + "/e2e-run-" + std::to_string(getpid()) + "-" + std::to_string(runs++);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    prepare(dir);
    pid_t pid = StartWindowsProgram(dir, BuildDir() + "/Vantorel.exe", user);
    return Tool{pid, dir, earlierBytes};
}

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

int PostCommands(const std::string &arguments) {
    std::string runner = std::string(getenv("VANTOREL_SOURCE_DIR")) + "/tests/wine/run.sh";
    return system((runner + " " + BuildDir() + " " + BuildDir() + "/tests/post_commands.exe " +
                   arguments + " </dev/null >/dev/null 2>&1")
                      .c_str());
}

void WaitForWindows(Tool &, std::string &window1, std::string &window2) {
    ASSERT_TRUE(WaitFor(
        [&] { return !VisibleWindow(TITLE1).empty() && !VisibleWindow(TITLE2).empty(); }, 30))
        << "the two windows did not appear";
    window1 = VisibleWindow(TITLE1);
    window2 = VisibleWindow(TITLE2);
    Output("xdotool windowmove " + window2 + " 520 300");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

void WaitForStart(Tool &tool, std::string &window1, std::string &window2) {
    WaitForWindows(tool, window1, window2);
    ASSERT_TRUE(WaitFor([&] { return EntryCount(tool) >= 2; }, 20));
}

pid_t HoldFile(const std::string &path, const std::string &mode) {
    std::filesystem::remove(path + ".held");
    std::filesystem::remove(path + ".release");
    std::string windowsPath = "Z:" + path;
    pid_t holder =
        StartWindowsProgram("/", BuildDir() + "/tests/hold_file.exe '" + windowsPath + "' " + mode);
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(path + ".held"); }, 20))
        << "the file was not held";
    return holder;
}

void ReleaseFile(const std::string &path, pid_t holder) {
    std::ofstream(path + ".release") << "";
    int status = 0;
    EXPECT_TRUE(WaitFor([&] { return waitpid(holder, &status, WNOHANG) == holder; }, 20));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::filesystem::remove(path + ".held");
    std::filesystem::remove(path + ".release");
}
