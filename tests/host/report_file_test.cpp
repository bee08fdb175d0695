// Appending entries to the report file.
#include "platform/fake_platform.h"
#include "report/report.h"
#include "report_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace {

class ReportFile : public testing::Test {
  protected:
    void SetUp() override {
        EnterFreshDirectory();
        FakeReset();
    }
};

void WriteFile(const std::string &bytes) {
    std::ofstream(REPORT_FILE_NAME, std::ios::binary) << bytes;
}

TEST_F(ReportFile, CreatesTheFileAndAppendsAfterWhatIsThere) {
    AppendReportEntry(SampleEntry());
    EXPECT_EQ(ReadFileBytes(REPORT_FILE_NAME), FullEntryText);
    AppendReportEntry(SampleEntry());
    EXPECT_EQ(ReadFileBytes(REPORT_FILE_NAME), std::string(FullEntryText) + FullEntryText);

    // Bytes already there stay, even without a final line end.
    std::string earlier = "earlier text\nwith no line end";
    WriteFile(earlier);
    AppendReportEntry(SampleEntry());
    EXPECT_EQ(ReadFileBytes(REPORT_FILE_NAME), earlier + FullEntryText);
}

TEST_F(ReportFile, TwoThreadsAppendingAtOnceLeaveEveryEntryWhole) {
    const int perThread = 300;
    auto appendMany = [](DWORD threadId) {
        ReportEntry entry = SampleEntry();
        entry.threadId = threadId;
        for (int i = 0; i < perThread; i++) {
            entry.dwAP1 = i;
            AppendReportEntry(entry);
        }
    };
    std::thread first(appendMany, 1);
    std::thread second(appendMany, 2);
    first.join();
    second.join();

    ReadReportResult read = ReadReport(ReadFileBytes(REPORT_FILE_NAME), "\n");
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    ASSERT_EQ(read.entries.size(), 2u * perThread);
    uint32_t next[3] = {0, 0, 0};
    for (const ReadEntry &entry : read.entries) {
        ASSERT_TRUE(entry.threadId == 1 || entry.threadId == 2);
        // Each thread's entries arrive whole and in the order it wrote them.
        EXPECT_EQ(entry.dwAP[0], next[entry.threadId]++);
    }
    EXPECT_EQ(next[1], static_cast<uint32_t>(perThread));
    EXPECT_EQ(next[2], static_cast<uint32_t>(perThread));
}

} // namespace
