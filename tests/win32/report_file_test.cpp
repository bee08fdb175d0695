// The report file on the real C runtime: CR LF line ends, appending after
// whatever is there, and a fresh file after the old one went away.
#include "report/report.h"
#include "report_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

std::string WithCrLf(const std::string &text) {
    std::string bytes;
    for (char c : text) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    return bytes;
}

void WriteFile(const std::string &bytes) {
    std::ofstream(REPORT_FILE_NAME, std::ios::binary) << bytes;
}

class ReportFile : public testing::Test {
  protected:
    void SetUp() override {
        EnterFreshDirectory();
    }
};

TEST_F(ReportFile, ANewFileHoldsTheEntryWithCrLfLineEnds) {
    ASSERT_FALSE(std::filesystem::exists(REPORT_FILE_NAME));
    AppendReportEntry(SampleEntry());
    std::string bytes = ReadFileBytes(REPORT_FILE_NAME);
    EXPECT_EQ(bytes, WithCrLf(FullEntryText));
    EXPECT_EQ(bytes.find("\r\n"), 69u); // the separator line is 71 bytes
    ReadReportResult read = ReadReport(bytes, "\r\n");
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].lines.size(), 179u);
}

TEST_F(ReportFile, BytesAlreadyThereAreKept) {
    for (std::string earlier : {"line one\r\nline two\r\n", "no line end", "lone\nfeed\r"}) {
        WriteFile(earlier);
        AppendReportEntry(SampleEntry());
        AppendReportEntry(SampleEntry());
        std::string bytes = ReadFileBytes(REPORT_FILE_NAME);
        ASSERT_EQ(bytes.substr(0, earlier.size()), earlier);
        ReadReportResult read = ReadReport(bytes.substr(earlier.size()), "\r\n");
        EXPECT_EQ(read.errors, std::vector<std::string>{});
        EXPECT_EQ(read.entries.size(), 2u);
    }
}

TEST_F(ReportFile, ADeletedOrRenamedFileIsStartedAfresh) {
    AppendReportEntry(SampleEntry());
    std::filesystem::remove(REPORT_FILE_NAME);
    AppendReportEntry(SampleEntry());
    EXPECT_EQ(ReadFileBytes(REPORT_FILE_NAME), WithCrLf(FullEntryText));

    std::filesystem::rename(REPORT_FILE_NAME, "renamed.txt");
    AppendReportEntry(SampleEntry());
    EXPECT_EQ(ReadFileBytes(REPORT_FILE_NAME), WithCrLf(FullEntryText));
    EXPECT_EQ(ReadFileBytes("renamed.txt"), WithCrLf(FullEntryText));
}

TEST_F(ReportFile, ADirectoryOfThatNameGetsNothingAndTheLockIsLeft) {
    std::filesystem::create_directory(REPORT_FILE_NAME);
    AppendReportEntry(SampleEntry());
    EXPECT_TRUE(std::filesystem::is_empty(REPORT_FILE_NAME));
    std::filesystem::remove(REPORT_FILE_NAME);

    // Had the lock been kept, this would wait for ever on another thread.
    std::thread other([] { AppendReportEntry(SampleEntry()); });
    other.join();
    EXPECT_EQ(ReadFileBytes(REPORT_FILE_NAME), WithCrLf(FullEntryText));
}

TEST_F(ReportFile, AReadOnlyFileIsLeftAsItIs) {
    WriteFile("kept");
    SetFileAttributesA(REPORT_FILE_NAME, FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileA(REPORT_FILE_NAME, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        SetFileAttributesA(REPORT_FILE_NAME, FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "the read-only attribute does not stop writers here (Wine run as root)";
    }
    AppendReportEntry(SampleEntry());
    SetFileAttributesA(REPORT_FILE_NAME, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(REPORT_FILE_NAME), "kept");
}

} // namespace
