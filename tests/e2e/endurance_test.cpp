// One run of the real tool through 20,000 captures over both windows at once,
// posted and clicked: its process's resources stay flat and every entry is
// there, whole. Wine keeps no handle, USER or GDI counts for the tool's
// process, so the flat figures are the ones Linux keeps for it.
#include "e2e_support.h"

#include <fstream>
#include <map>
#include <thread>

namespace {

struct Resources {
    long rssAnonKiB;
    long vmSizeKiB;
    long threads;
    long fileDescriptors;
};

Resources ResourcesOf(pid_t pid) {
    Resources resources = {-1, -1, -1, -1};
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        long value = 0;
        if (sscanf(line.c_str(), "RssAnon: %ld", &value) == 1) {
            resources.rssAnonKiB = value;
        } else if (sscanf(line.c_str(), "VmSize: %ld", &value) == 1) {
            resources.vmSizeKiB = value;
        } else if (sscanf(line.c_str(), "Threads: %ld", &value) == 1) {
            resources.threads = value;
        }
    }
    resources.fileDescriptors =
        std::stol(Output("ls /proc/" + std::to_string(pid) + "/fd | wc -l"));
    return resources;
}

void Print(const char *when, const Resources &resources) {
    printf("%s: private resident %ld KiB, virtual %ld KiB, %ld threads, %ld descriptors\n", when,
           resources.rssAnonKiB, resources.vmSizeKiB, resources.threads, resources.fileDescriptors);
}

// Counts entries by their separator lines alone: cheap enough to poll.
size_t SeparatorCount(const Tool &tool) {
    const std::string separator = std::string(69, '-') + "\r\n";
    std::string bytes = ReportBytes(tool);
    size_t count = 0;
    for (size_t at = bytes.find(separator); at != std::string::npos;
         at = bytes.find(separator, at + separator.size())) {
        count++;
    }
    return count;
}

void ClickButtonRepeatedly(const std::string &window, int times) {
    std::string geometry = Output("xdotool getwindowgeometry --shell " + window +
                                  " | sed -n 's/^\\(WIDTH\\|HEIGHT\\)=//p' | tr '\\n' ' '");
    int width = 0, height = 0;
    sscanf(geometry.c_str(), "%d %d", &width, &height);
    Output("xdotool mousemove --window " + window + " " + std::to_string(width - 50) + " " +
           std::to_string(height - 25) + " click --repeat " + std::to_string(times) +
           " --delay 10 1");
}

TEST_F(EndToEnd, TwentyThousandCapturesLeaveTheToolFlat) {
    const int warmUp = 1000, posted = 9900, clicked = 100;
    Tool tool = StartTool("");
    std::string window1, window2;
    WaitForStart(tool, window1, window2);
    ASSERT_EQ(PostCommands("'" + TITLE1 + "' " + std::to_string(warmUp) + " '" + TITLE2 + "' " +
                           std::to_string(warmUp)),
              0);
    size_t expected = 2 + 2 * warmUp;
    ASSERT_TRUE(WaitFor([&] { return SeparatorCount(tool) == expected; }, 60));
    Resources before = ResourcesOf(tool.pid);
    ASSERT_GT(before.rssAnonKiB, 0) << "the tool's process figures could not be read";
    ASSERT_GT(before.vmSizeKiB, 0);
    ASSERT_GT(before.threads, 0);

    std::thread poster([&] {
        EXPECT_EQ(PostCommands("'" + TITLE1 + "' " + std::to_string(posted) + " '" + TITLE2 + "' " +
                               std::to_string(posted)),
                  0);
    });
    ClickButtonRepeatedly(window1, clicked);
    ClickButtonRepeatedly(window2, clicked);
    poster.join();
    expected += 2 * (posted + clicked);
    ASSERT_EQ(expected, 2u + 2 * warmUp + 20000);
    EXPECT_TRUE(WaitFor([&] { return SeparatorCount(tool) >= expected; }, 240));
    Resources after = ResourcesOf(tool.pid);
    Print("after 2,000 captures", before);
    Print("after 20,000 more", after);

    EXPECT_LE(after.rssAnonKiB - before.rssAnonKiB, 256);
    EXPECT_LE(after.vmSizeKiB - before.vmSizeKiB, 1024);
    EXPECT_EQ(after.threads, before.threads);
    EXPECT_EQ(after.fileDescriptors, before.fileDescriptors);

    ReadReportResult read = ReadToolReport(tool);
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    EXPECT_EQ(read.entries.size(), expected);
    std::map<uint32_t, size_t> entriesOf;
    for (const ReadEntry &entry : read.entries) {
        entriesOf[entry.window]++;
    }
    for (const auto &[window, count] : entriesOf) {
        EXPECT_EQ(count, 1u + warmUp + posted + clicked);
    }
    Close(window1);
    EXPECT_EQ(WaitForExit(tool, 20), 0);
}

} // namespace
