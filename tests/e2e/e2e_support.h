// Helpers of the end-to-end tests, which run on Linux beside the Windows
// build: they start the real tool under Wine in the virtual X server of the
// Wine fixture, drive it with xdotool as a person would, and read its report
// with the tests' report reader.
#pragma once

#include "report_reader.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/types.h>

extern const std::string TITLE1;
extern const std::string TITLE2;

// Sets DISPLAY to the fixture's virtual X server.
class EndToEnd : public testing::Test {
  protected:
    void SetUp() override;
};

std::string BuildDir();

// Runs a shell command and returns what it printed, without its last line end.
std::string Output(const std::string &command);

bool WaitFor(const std::function<bool()> &condition, int seconds);

// The visible X window with this exact title, or "".
std::string VisibleWindow(const std::string &title);

void ClickButton(const std::string &window);
void ClickEdit(const std::string &window);

// Focuses the window with a click, then presses alt+F4.
void Close(const std::string &window);

struct Tool {
    pid_t pid;
    std::string dir;
    size_t earlierBytes; // report bytes there before the tool started
};

// Starts the tool in a fresh folder whose report already holds these bytes.
Tool StartTool(const std::string &earlier);

// Starts the tool in a fresh folder that prepare() has set up first; as
// another Unix user when one is named.
Tool StartToolIn(const std::function<void(const std::string &)> &prepare, size_t earlierBytes = 0,
                 const std::string &user = "");

// Waits for both windows and moves window #2 aside, as a person would drag
// it, so that both can be clicked.
void WaitForWindows(Tool &tool, std::string &window1, std::string &window2);

// The same, and waits for both creation entries.
void WaitForStart(Tool &tool, std::string &window1, std::string &window2);

// Waits for the tool to end; its exit code, or -1 if it did not end in time.
int WaitForExit(Tool &tool, int seconds);

std::string ReportBytes(const Tool &tool);

// The entries after the bytes that were there before the tool started.
ReadReportResult ReadToolReport(const Tool &tool);
size_t EntryCount(const Tool &tool);

// Posts messages to the tool's windows from another Windows process.
int PostCommands(const std::string &arguments);

// Holds a file open from another Windows process ("shared" or "exclusive")
// until ReleaseFile.
pid_t HoldFile(const std::string &path, const std::string &mode);
void ReleaseFile(const std::string &path, pid_t holder);
