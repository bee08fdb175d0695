// One run of the real tool through 20,000 captures over both windows at once,
// posted and clicked: its process's resources stay flat and every entry is
// there, whole. Wine keeps no handle, USER or GDI counts for the tool's
// process, so the flat figures are the ones Linux keeps for it.
#include "e2e_support.h"

#include <fstream>
#include <map>
#include <iterator>

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

// Counts entries by their separator lines, reading only what was added since
// the last count: cheap enough to poll a report of a hundred megabytes.
struct EntryCounter {
    std::string path;
    size_t scanned = 0; // bytes before this are counted
    size_t count = 0;

    size_t Now() {
        const std::string separator = std::string(69, '-') + "\r\n";
        std::ifstream file(path, std::ios::binary);
        file.seekg(static_cast<std::streamoff>(scanned));
        std::string added((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        size_t at = 0;
        for (size_t found = added.find(separator); found != std::string::npos;
             found = added.find(separator, at)) {
            count++;
            at = found + separator.size();
        }
        // A separator may be only partly written: look at its start again.
        size_t keep = added.size() - at < separator.size() ? added.size() - at : separator.size();
        scanned += added.size() - keep;
        return count;
    }
};

// A person pressing the button, one press at a time: each press is seen to
// write its entry before the next, so no two presses merge.
void PressButton(const std::string &window, EntryCounter &counter) {
    size_t before = counter.Now();
    ClickButton(window);
    EXPECT_TRUE(WaitFor([&] { return counter.Now() == before + 1; }, 10)) << "a press was lost";
}

TEST_F(EndToEnd, TwentyThousandCapturesLeaveTheToolFlat) {
    const int warmUp = 1000, posted = 9950, clicked = 50;
    Tool tool = StartTool("");
    std::string window1, window2;
    WaitForStart(tool, window1, window2);
    ASSERT_EQ(PostCommands("'" + TITLE1 + "' " + std::to_string(warmUp) + " '" + TITLE2 + "' " +
                           std::to_string(warmUp)),
              0);
    size_t expected = 2 + 2 * warmUp;
    EntryCounter counter{tool.dir + "/Vantorel.txt"};
    ASSERT_TRUE(WaitFor([&] { return counter.Now() == expected; }, 60));
    Resources before = ResourcesOf(tool.pid);
    ASSERT_GT(before.rssAnonKiB, 0) << "the tool's process figures could not be read";
    ASSERT_GT(before.vmSizeKiB, 0);
    ASSERT_GT(before.threads, 0);

    // Both windows flooded with posted commands at once, then pressed by hand.
    ASSERT_EQ(PostCommands("'" + TITLE1 + "' " + std::to_string(posted) + " '" + TITLE2 + "' " +
                           std::to_string(posted)),
              0);
    expected += 2 * posted;
    ASSERT_TRUE(WaitFor([&] { return counter.Now() == expected; }, 120));
    for (int i = 0; i < clicked; i++) {
        PressButton(window1, counter);
        PressButton(window2, counter);
    }
    expected += 2 * clicked;
    ASSERT_EQ(expected, 2u + 2 * warmUp + 20000);
    EXPECT_EQ(counter.Now(), expected);
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
