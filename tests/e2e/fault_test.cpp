// Faults around the report file while the real tool runs: it keeps running,
// shows no dialog, changes no earlier byte, and the first capture after the
// fault clears writes a whole entry.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class Faults : public EndToEnd {};

// Exactly the tool's two windows are shown: no dialog came up.
void ExpectNoDialog() {
    std::string shown = Output("xdotool search --onlyvisible --name '.+' | wc -l");
    EXPECT_EQ(shown, "2") << "a window besides the tool's two is shown";
}

// One click on window #1's button, then the entries after the earlier bytes.
size_t ClickAndCount(Tool &tool, const std::string &window, size_t expected) {
    ClickButton(window);
    WaitFor([&] { return EntryCount(tool) >= expected; }, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return EntryCount(tool);
}

// The fault has cleared: one press writes one whole entry after the earlier
// bytes; then window #1 is closed and the tool ends with exit code 0.
void ExpectOneWholeEntryThenClose(Tool &tool, const std::string &window1) {
    EXPECT_EQ(ClickAndCount(tool, window1, 1), 1u);
    EXPECT_EQ(ReadToolReport(tool).errors, std::vector<std::string>{});
    Close(window1);
    EXPECT_EQ(WaitForExit(tool, 20), 0);
}

// While the fault lasts, the creation captures write nothing and no dialog
// comes up.
void WaitThroughCreation(Tool &tool, std::string &window1, std::string &window2) {
    WaitForWindows(tool, window1, window2);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ExpectNoDialog();
}

TEST_F(Faults, ADirectoryNamedLikeTheReport) {
    Tool tool =
        StartToolIn([](const std::string &dir) { fs::create_directory(dir + "/Vantorel.txt"); });
    std::string window1, window2;
    WaitThroughCreation(tool, window1, window2);
    EXPECT_TRUE(fs::is_empty(tool.dir + "/Vantorel.txt"));

    fs::remove(tool.dir + "/Vantorel.txt");
    ExpectOneWholeEntryThenClose(tool, window1);
}

TEST_F(Faults, TheReportDeletedOrRenamedWhileTheToolRuns) {
    Tool tool = StartTool("");
    std::string window1, window2;
    WaitForStart(tool, window1, window2);
    std::string report = tool.dir + "/Vantorel.txt";

    fs::remove(report);
    EXPECT_EQ(ClickAndCount(tool, window1, 1), 1u);

    fs::rename(report, tool.dir + "/renamed.txt");
    std::string renamed = ReadFileBytes(tool.dir + "/renamed.txt");
    EXPECT_EQ(ClickAndCount(tool, window1, 1), 1u);
    EXPECT_EQ(ReadFileBytes(tool.dir + "/renamed.txt"), renamed);
    EXPECT_EQ(ReadToolReport(tool).errors, std::vector<std::string>{});
    ExpectNoDialog();
    Close(window1);
    EXPECT_EQ(WaitForExit(tool, 20), 0);
}

TEST_F(Faults, TheReportHeldOpenByAnotherProcess) {
    Tool tool = StartTool("");
    std::string window1, window2;
    WaitForStart(tool, window1, window2);
    std::string report = tool.dir + "/Vantorel.txt";

    // Shared for writing: the tool appends as usual.
    pid_t holder = HoldFile(report, "shared");
    EXPECT_EQ(ClickAndCount(tool, window1, 3), 3u);
    ReleaseFile(report, holder);

    // Not shared: the capture cannot open the file and writes nothing.
    std::string before = ReportBytes(tool);
    holder = HoldFile(report, "exclusive");
    ClickButton(window1);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_EQ(ReportBytes(tool), before);
    ExpectNoDialog();
    ReleaseFile(report, holder);

    // Once the holder lets go, the next capture writes a whole entry.
    EXPECT_EQ(ClickAndCount(tool, window1, 4), 4u);
    ReadReportResult read = ReadToolReport(tool);
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    EXPECT_EQ(ReportBytes(tool).substr(0, before.size()), before);
    Close(window1);
    EXPECT_EQ(WaitForExit(tool, 20), 0);
}

// File permissions stop no writer run as root: as root, these tests run the
// tool as the unprivileged user "nobody" (in a Wine prefix of its own).
class PermissionFaults : public Faults {
  protected:
    std::string user;

    void SetUp() override {
        Faults::SetUp();
        user = geteuid() == 0 ? "nobody" : "";
        if (!user.empty() &&
            system(
                ("runuser -u " + user + " -- test -x '" + BuildDir() + "' 2>/dev/null").c_str()) !=
                0) {
            GTEST_SKIP() << "user " << user << " cannot reach the build folder";
        }
    }
};

TEST_F(PermissionFaults, AReadOnlyReport) {
    const std::string earlier = "kept\r\n";
    Tool tool = StartToolIn(
        [&](const std::string &dir) {
            std::string report = dir + "/Vantorel.txt";
            std::ofstream(report, std::ios::binary) << earlier;
            if (!user.empty()) {
                Output("chown " + user + " '" + dir + "' '" + report + "'");
            }
            fs::permissions(report,
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        },
        earlier.size(), user);
    std::string window1, window2;
    WaitThroughCreation(tool, window1, window2);
    EXPECT_EQ(ReportBytes(tool), earlier);

    fs::permissions(tool.dir + "/Vantorel.txt", fs::perms::owner_write, fs::perm_options::add);
    ExpectOneWholeEntryThenClose(tool, window1);
    EXPECT_EQ(ReportBytes(tool).substr(0, earlier.size()), earlier);
}

TEST_F(PermissionFaults, AFolderWithoutWriteAccess) {
    Tool tool = StartToolIn(
        [](const std::string &dir) {
            fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec |
                                     fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
        },
        0, user);
    std::string window1, window2;
    WaitThroughCreation(tool, window1, window2);
    EXPECT_FALSE(fs::exists(tool.dir + "/Vantorel.txt"));

    fs::permissions(tool.dir, fs::perms::all);
    ExpectOneWholeEntryThenClose(tool, window1);
}

} // namespace
