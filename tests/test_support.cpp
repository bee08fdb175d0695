#include "test_support.h"
#include "fake_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

// The report lock exists before any test runs, as it does in the tool before
// any window is created.
[[maybe_unused]] static const bool LockReady = (InitializeCriticalSection(&ReportLock), true);

ReportEntry SampleEntry() {
    static INPUTCONTEXT records[3];
    auto *bytes = reinterpret_cast<uint8_t *>(records);
    for (size_t i = 0; i < sizeof records; i++) {
        bytes[i] = static_cast<uint8_t>(i * 167 + 13);
    }
    records[1] = INPUTCONTEXT{};
    records[0].hWnd = FakeHandle<HWND>(0xABCD);
    records[0].ptStatusWndPos.x = -1;
    records[0].fdwInit = 0xFFFFFFFF;
    records[0].lfFont.W.lfCharSet = 0x80;
    records[0].lfFont.W.lfItalic = 0xFF;
    std::u16string names[2] = {u"MS Shell Dlg", std::u16string(LF_FACESIZE, u'\u4E2D')};
    for (int n = 0; n < 2; n++) {
        WCHAR *name = records[2 * n].lfFont.W.lfFaceName;
        std::fill(std::copy(names[n].begin(), names[n].end(), name), name + LF_FACESIZE, 0);
    }
    return ReportEntry{0xABCD,
                       FakeHandle<HWND>(0x10A2C),
                       FakeHandle<HWND>(0x20B3E),
                       FakeHandle<HWND>(0),
                       FakeHandle<HIMC>(0xC001),
                       FakeHandle<HIMC>(0xC002),
                       FakeHandle<HIMC>(0xFFFFFFFF),
                       0x7FFE0000,
                       0xFFFFFFFF,
                       0x12345678,
                       0,
                       0x80000000,
                       0xFFFF,
                       &records[0],
                       &records[1],
                       &records[2]};
}

// The test process's own folder, removed when it exits.
static std::filesystem::path testFolder;

static void RemoveTestFolder() {
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(testFolder, ignored);
}

void EnterFreshDirectory() {
    static int made = 0;
    if (made == 0) {
        testFolder =
            std::filesystem::temp_directory_path() / ("vantorel-test-" + std::to_string(getpid()));
        atexit(RemoveTestFolder);
    }
    std::filesystem::path path = testFolder / std::to_string(made++);
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    std::filesystem::current_path(path);
}

std::string FileBytes(const std::string &path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

void ExpectGolden(const std::string &name, const std::string &text) {
    std::string path = TEST_DATA_DIR "/" + name;
    if (getenv("VANTOREL_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary) << text;
    }
    EXPECT_EQ(text, FileBytes(path)) << "against " << path;
}

std::vector<ReadEntry> ReadEntries(const std::string &text) {
    ReportReader reader;
    OpenReportText(reader, text.data(), text.size());
    std::vector<ReadEntry> entries;
    ReadEntry entry;
    ReadProblem problem;
    ReadStatus status;
    while ((status = ReadNextEntry(reader, EVERY_THREAD, entry, problem)) != ReadStatus::End) {
        EXPECT_EQ(status, ReadStatus::Entry) << "line " << problem.line << ": " << problem.reason;
        entries.push_back(entry);
    }
    return entries;
}
