// A report read from a file through a small window, so that its end falls
// in every part of a line (label, value, CR LF), gives the same entries,
// problems and line numbers as the same bytes read whole in memory, where no
// window ends. Entries of other threads passed over included.
#include "reader/report_reader.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The first entry of a fixture report with LF line ends.
std::string FirstEntry() {
    std::ifstream file(std::string(REPORTS_DIR) + "/base-lf.txt", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str().substr(0, text.str().find("\n-----") + 1);
}

std::string Replaced(std::string text, const std::string &from, const std::string &to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string WithCrLf(const std::string &text) {
    std::string crLf;
    for (char c : text) {
        crLf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return crLf;
}

// Entries of two threads with values of varied lengths, LF and CR LF line
// ends, a "(null)" block, and damage of each kind the reader recovers from.
std::string MixedReport() {
    std::string entry = FirstEntry();
    std::string other = Replaced(entry, "ThreadID:0x00000024", "ThreadID:0x00001234");
    other = Replaced(other, "lfFaceName: MS Shell Dlg", "lfFaceName: X");
    other = Replaced(other, "pic1->fOpen: 0", "pic1->fOpen: -2147483648");
    std::string nullBlock = entry.substr(0, entry.find("pic3->hWnd")) + "pic3: (null)\n";
    std::string badValue = Replaced(entry, "pic2->fOpen: 0", "pic2->fOpen: 0x");
    std::string cutShort = entry.substr(0, entry.find("pic2->cfCompForm"));
    return entry + WithCrLf(other) + nullBlock + "stray line\n" + other + badValue +
           WithCrLf(entry) + cutShort + WithCrLf(nullBlock) + other + entry.substr(0, 3000);
}

// Everything a reading gives, as text.
std::vector<std::string> ReadAll(ReportReader &reader) {
    std::vector<std::string> results;
    ReadEntry entry;
    ReadProblem problem;
    for (;;) {
        ReadStatus status = ReadNextEntry(reader, entry, problem);
        if (status == ReadStatus::End) {
            return results;
        }
        if (status == ReadStatus::Problem) {
            results.push_back(std::to_string(problem.line) + ": " + problem.reason);
            continue;
        }
        if (status == ReadStatus::Passed) {
            results.push_back("passed " + std::to_string(entry.line) + " at " +
                              std::to_string(entry.offset) + " of " + std::to_string(entry.threadId));
            continue;
        }
        char head[160];
        snprintf(head, sizeof head, "entry %" PRIu64 " at %" PRIu64 ", %08X %08X %08X %08X",
                 entry.line, entry.offset, entry.threadId, entry.windows[2], entry.contexts[2],
                 entry.availVirtual[2]);
        std::string text = head;
        for (const ReadBlock &block : entry.blocks) {
            text += "; " + std::to_string(block.line);
            for (int m = 0; block.present && m < BLOCK_MEMBER_COUNT; m++) {
                text += " " + MemberText(block, m);
            }
        }
        results.push_back(text);
    }
}

TEST(ReportWindow, FileReadsAsTextWhereverTheWindowEnds) {
    std::string text = MixedReport();
    std::string path = testing::TempDir() + "report_window_test.txt";
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    for (uint32_t onlyThread : {0u, 0x1234u}) {
        ReportReader memory;
        OpenReportText(memory, text.data(), text.size());
        memory.onlyOneThread = onlyThread != 0;
        memory.onlyThreadId = onlyThread;
        std::vector<std::string> expected = ReadAll(memory);
        ASSERT_GE(expected.size(), 3u);
        // From a window just above the longest line to several lines long.
        for (size_t window = 128; window <= 400; window += 3) {
            ReportReader reader;
            std::string error;
            ASSERT_TRUE(OpenReportFile(reader, path, error, window)) << error;
            reader.onlyOneThread = memory.onlyOneThread;
            reader.onlyThreadId = onlyThread;
            EXPECT_EQ(ReadAll(reader), expected) << "window " << window;
            CloseReport(reader);
        }
    }
    std::filesystem::remove(path);
}

} // namespace
