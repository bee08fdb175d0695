// The capture sequence against the fake platform: the order of every call,
// the report lock, and that everything taken is given back.
#include "capture/capture.h"
#include "platform/fake_platform.h"
#include "report/report.h"
#include "report_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

const uint32_t WINDOW = 0x1000, BUTTON = 0x2001, EDIT = 0x2002;
const uint32_t CONTEXT1 = 0xC001, CONTEXT2 = 0xC002, CONTEXT3 = 0xC003;

class Capture : public testing::Test {
  protected:
    INPUTCONTEXT records[3] = {};

    void SetUp() override {
        EnterFreshDirectory();
        FakeReset();
        FakeScript &script = FakeScriptOf();
        script.threadId = 0x777;
        script.dialogItems[WINDOW] = {{1, FakeHandle<HWND>(BUTTON)}, {2, FakeHandle<HWND>(EDIT)}};
        script.contexts[WINDOW] = FakeHandle<HIMC>(CONTEXT1);
        script.contexts[BUTTON] = FakeHandle<HIMC>(CONTEXT2);
        script.contexts[EDIT] = FakeHandle<HIMC>(CONTEXT3);
        for (int i = 0; i < 3; i++) {
            records[i].fdwConversion = 0x100 + i;
        }
        script.records[CONTEXT1] = &records[0];
        script.records[CONTEXT2] = &records[1];
        script.records[CONTEXT3] = &records[2];
        script.memorySamples = {{0x11, 0x12}, {0x21, 0x22}, {0x31, 0x32}};
    }

    // Runs one capture and reads the report it leaves.
    ReadReportResult CaptureAndRead() {
        CaptureInputContexts(FakeHandle<HWND>(WINDOW));
        ReadReportResult read = ReadReport(ReadFileBytes(REPORT_FILE_NAME), "\n");
        EXPECT_EQ(read.errors, std::vector<std::string>{});
        return read;
    }

    // Everything a capture takes is given back.
    void ExpectAllGivenBack() {
        FakeCounts counts = FakeCountsNow();
        EXPECT_EQ(counts.modulesLoaded, 0);
        EXPECT_EQ(counts.contextsHeld, 0);
        for (const auto &[context, locks] : counts.lockCounts) {
            EXPECT_EQ(locks, 0) << "context " << std::hex << context;
        }
    }
};

TEST_F(Capture, CallsThePlatformInItsOrderAndWritesOneEntry) {
    ReadReportResult read = CaptureAndRead();

    std::vector<std::string> expected = {
        "LoadLibraryA(imm32.dll)",
        "GetProcAddress(1D110000, ImmLockIMC)",
        "GetProcAddress(1D110000, ImmUnlockIMC)",
        "GetDlgItem(00001000, 1)",
        "GetDlgItem(00001000, 2)",
        "GlobalMemoryStatus(32)",
        "ImmGetContext(00001000)",
        "GlobalMemoryStatus(32)",
        "ImmGetContext(00002001)",
        "GlobalMemoryStatus(32)",
        "ImmGetContext(00002002)",
        "ImmLockIMC(0000C001)",
        "ImmLockIMC(0000C002)",
        "ImmLockIMC(0000C003)",
        "GetCurrentThreadId()",
        "EnterCriticalSection",
        "LeaveCriticalSection",
        "ImmUnlockIMC(0000C003)",
        "ImmUnlockIMC(0000C002)",
        "ImmUnlockIMC(0000C001)",
        "ImmReleaseContext(00002002, 0000C003)",
        "ImmReleaseContext(00002001, 0000C002)",
        "ImmReleaseContext(00001000, 0000C001)",
        "FreeLibrary(1D110000)",
    };
    EXPECT_EQ(FakeCallTexts(), expected);
    ExpectAllGivenBack();

    ASSERT_EQ(read.entries.size(), 1u);
    const ReadEntry &entry = read.entries[0];
    EXPECT_EQ(entry.threadId, 0x777u);
    EXPECT_EQ(entry.window, WINDOW);
    EXPECT_EQ(entry.button, BUTTON);
    EXPECT_EQ(entry.edit, EDIT);
    for (int n = 0; n < 3; n++) {
        EXPECT_EQ(entry.hIMC[n], CONTEXT1 + n);
        // Sample n is the one taken just before context n was retrieved.
        EXPECT_EQ(entry.dwAP[n], 0x11u + 0x10 * n);
        EXPECT_EQ(entry.dwAV[n], 0x12u + 0x10 * n);
        EXPECT_EQ(BlockValue(entry, n, "fdwConversion"), "0x0000010" + std::to_string(n));
    }
}

TEST_F(Capture, HoldsTheReportLockDuringNoOtherCall) {
    CaptureInputContexts(FakeHandle<HWND>(WINDOW));
    for (const FakeCall &call : FakeCalls()) {
        bool isLockCall =
            call.text == "EnterCriticalSection" || call.text == "LeaveCriticalSection";
        EXPECT_EQ(call.reportLockHeld, isLockCall) << call.text;
    }
}

TEST_F(Capture, EqualContextsAreLockedUnlockedAndReleasedThreeTimes) {
    FakeScript &script = FakeScriptOf();
    script.contexts[BUTTON] = FakeHandle<HIMC>(CONTEXT1);
    script.contexts[EDIT] = FakeHandle<HIMC>(CONTEXT1);
    ReadReportResult read = CaptureAndRead();

    std::vector<std::string> calls = FakeCallTexts();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ImmLockIMC(0000C001)"), 3);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ImmUnlockIMC(0000C001)"), 3);
    std::vector<std::string> releases(calls.end() - 4, calls.end() - 1);
    EXPECT_EQ(releases, (std::vector<std::string>{"ImmReleaseContext(00002002, 0000C001)",
                                                  "ImmReleaseContext(00002001, 0000C001)",
                                                  "ImmReleaseContext(00001000, 0000C001)"}));
    ExpectAllGivenBack();

    ASSERT_EQ(read.entries.size(), 1u);
    const ReadEntry &entry = read.entries[0];
    for (int n = 0; n < 3; n++) {
        EXPECT_EQ(entry.hIMC[n], CONTEXT1);
        EXPECT_EQ(entry.blocks[n].members, entry.blocks[0].members);
    }
}

TEST_F(Capture, AChildWithoutHandleOrContextGivesZerosAndNull) {
    FakeScriptOf().dialogItems[WINDOW].erase(2);
    ReadReportResult read = CaptureAndRead();
    ASSERT_EQ(read.entries.size(), 1u);
    const ReadEntry &entry = read.entries[0];
    EXPECT_EQ(entry.lines[4], "hEdit:00000000, hIMC3:00000000, dwAP3:0x00000031, dwAV3:0x00000032");
    EXPECT_EQ(entry.lines.size(), 5u + 58 + 58 + 1);
    EXPECT_EQ(entry.lines.back(), "pic3: (null)");
    EXPECT_TRUE(entry.blocks[0].present);
    EXPECT_TRUE(entry.blocks[1].present);
    std::vector<std::string> calls = FakeCallTexts();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "ImmReleaseContext(00000000, 00000000)"),
              calls.end());
    ExpectAllGivenBack();
}

struct MissingImm {
    const char *name;
    bool failLoadLibrary, missingLockEntry, missingUnlockEntry;
};

class CaptureWithoutImm : public Capture, public testing::WithParamInterface<MissingImm> {};

TEST_P(CaptureWithoutImm, NeverCallsAMissingEntryAndStillWritesTheEntry) {
    FakeScript &script = FakeScriptOf();
    script.failLoadLibrary = GetParam().failLoadLibrary;
    script.missingLockEntry = GetParam().missingLockEntry;
    script.missingUnlockEntry = GetParam().missingUnlockEntry;
    ReadReportResult read = CaptureAndRead();

    std::vector<std::string> calls = FakeCallTexts();
    for (const std::string &call : calls) {
        EXPECT_EQ(call.find("ImmLockIMC("), std::string::npos) << call;
        EXPECT_EQ(call.find("ImmUnlockIMC("), std::string::npos) << call;
    }
    bool freed = std::find(calls.begin(), calls.end(), "FreeLibrary(1D110000)") != calls.end();
    EXPECT_EQ(freed, !GetParam().failLoadLibrary);
    ExpectAllGivenBack();

    ASSERT_EQ(read.entries.size(), 1u);
    const ReadEntry &entry = read.entries[0];
    EXPECT_EQ(entry.lines.size(), 8u);
    EXPECT_EQ(entry.hIMC[2], CONTEXT3);
    EXPECT_EQ(entry.lines.back(), "pic3: (null)");
}

INSTANTIATE_TEST_SUITE_P(Imm, CaptureWithoutImm,
                         testing::Values(MissingImm{"NoModule", true, false, false},
                                         MissingImm{"NoLockEntry", false, true, false},
                                         MissingImm{"NoUnlockEntry", false, false, true}),
                         [](const testing::TestParamInfo<MissingImm> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(Capture, AReportThatCannotBeOpenedGetsNothingAndTheNextCaptureWrites) {
    std::filesystem::create_directory(REPORT_FILE_NAME);
    CaptureInputContexts(FakeHandle<HWND>(WINDOW));
    EXPECT_TRUE(std::filesystem::is_directory(REPORT_FILE_NAME));
    EXPECT_TRUE(std::filesystem::is_empty(REPORT_FILE_NAME));
    std::vector<std::string> calls = FakeCallTexts();
    EXPECT_EQ(calls.back(), "FreeLibrary(1D110000)");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "LeaveCriticalSection"), calls.end());
    ExpectAllGivenBack();

    std::filesystem::remove(REPORT_FILE_NAME);
    ReadReportResult read = CaptureAndRead();
    EXPECT_EQ(read.entries.size(), 1u);
}

} // namespace
