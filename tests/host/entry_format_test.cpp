// The text of report entries, checked against hand-written expectations.
#include "platform/fake_platform.h"
#include "report/face_name.h"
#include "report/report.h"
#include "report_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

class EntryFormat : public testing::Test {
  protected:
    void SetUp() override {
        FakeReset();
    }
};

ReadEntry ReadSingleEntry(const ReportEntry &entry) {
    ReadReportResult read = ReadReport(EntryText(entry), "\n");
    EXPECT_EQ(read.errors, std::vector<std::string>{});
    EXPECT_EQ(read.entries.size(), 1u);
    return read.entries.empty() ? ReadEntry{} : read.entries[0];
}

TEST_F(EntryFormat, WholeEntryMatchesTheHandWrittenText) {
    std::string text = EntryText(SampleEntry());
    EXPECT_EQ(text, FullEntryText);
    ReadEntry entry = ReadSingleEntry(SampleEntry());
    EXPECT_EQ(entry.lines.size(), 179u);
}

TEST_F(EntryFormat, RendersEdgeValues) {
    INPUTCONTEXT record = {};
    record.ptStatusWndPos.x = -1;
    record.fdwInit = 0xFFFFFFFF;
    record.lfFont.W.lfCharSet = 0x80;
    record.lfFont.W.lfItalic = 0xFF;
    record.hWnd = FakeHandle<HWND>(0xABCD);
    record.lfFont.W.lfWeight = static_cast<LONG>(0x80000000);
    ReportEntry entry = {};
    entry.pic1 = &record;
    entry.window = FakeHandle<HWND>(0xABCD);
    entry.dwAV1 = 0xFFFFFFFF;

    ReadEntry read = ReadSingleEntry(entry);
    EXPECT_EQ(read.lines[2], "hwnd:0000ABCD, hIMC1:00000000, dwAP1:0x00000000, dwAV1:0xFFFFFFFF");
    EXPECT_EQ(BlockValue(read, 0, "ptStatusWndPos.x"), "-1");
    EXPECT_EQ(BlockValue(read, 0, "fdwInit"), "0xFFFFFFFF");
    EXPECT_EQ(BlockValue(read, 0, "lfFont.W.lfCharSet"), "128");
    EXPECT_EQ(BlockValue(read, 0, "lfFont.W.lfItalic"), "255");
    EXPECT_EQ(BlockValue(read, 0, "lfFont.W.lfWeight"), "-2147483648");
    EXPECT_EQ(BlockValue(read, 0, "hWnd"), "0000ABCD");
    EXPECT_EQ(BlockValue(read, 0, "hCompStr"), "00000000");
    EXPECT_EQ(read.lines[5 + 21], "pic1->lfFont.W.lfFaceName: ");
}

TEST_F(EntryFormat, HandlesAreTheir32BitValueWhateverThePointerWidth) {
    ReportEntry entry = {};
    entry.hIMC2 = FakeHandle<HIMC>(0x89ABCDEF);
    entry.edit = FakeHandle<HWND>(0x1);
    ReadEntry read = ReadSingleEntry(entry);
    EXPECT_EQ(read.hIMC[1], 0x89ABCDEFu);
    EXPECT_EQ(read.lines[4], "hEdit:00000001, hIMC3:00000000, dwAP3:0x00000000, dwAV3:0x00000000");
}

TEST_F(EntryFormat, NullRecordsAreOneLineEach) {
    INPUTCONTEXT record = {};
    ReportEntry entry = {};
    entry.pic1 = &record;
    entry.pic3 = &record;
    ReadEntry read = ReadSingleEntry(entry);
    ASSERT_EQ(read.lines.size(), 5u + 58 + 1 + 58);
    EXPECT_EQ(read.lines[5 + 58], "pic2: (null)");
    EXPECT_EQ(read.lines[5 + 59], "pic3->hWnd: 00000000");

    ReportEntry empty = {};
    ReadEntry allNull = ReadSingleEntry(empty);
    ASSERT_EQ(allNull.lines.size(), 8u);
    EXPECT_EQ(allNull.lines[5], "pic1: (null)");
    EXPECT_EQ(allNull.lines[6], "pic2: (null)");
    EXPECT_EQ(allNull.lines[7], "pic3: (null)");
}

std::string FaceNameOf(const char16_t *name) {
    INPUTCONTEXT record = {};
    for (int i = 0; name[i] != 0 && i < LF_FACESIZE; i++) {
        record.lfFont.W.lfFaceName[i] = name[i];
    }
    ReportEntry entry = {};
    entry.pic1 = &record;
    return BlockValue(ReadSingleEntry(entry), 0, "lfFont.W.lfFaceName");
}

TEST_F(EntryFormat, FaceNamesKeepTheEntryWhole) {
    EXPECT_EQ(FaceNameOf(u"Arial"), "Arial");
    // Control bytes would split or bend the line: each becomes '?'.
    EXPECT_EQ(FaceNameOf(u"A\tB\rC\nD\x7f"), "A?B?C?D?");
    // The fake converts as a single-byte code page: no mapping gives '?'.
    EXPECT_EQ(FaceNameOf(u"\u00e9t\u4e2d"), "\xe9t?");

    FakeScriptOf().failWideCharToMultiByte = true;
    EXPECT_EQ(FaceNameOf(u"Arial"), "");
}

TEST_F(EntryFormat, FaceNameConversionStaysInsideTheMember) {
    // The member placed at the very end of its allocation: a read past the 32
    // units is caught by the address sanitizer.
    std::unique_ptr<WCHAR[]> faceName(new WCHAR[LF_FACESIZE]);
    for (int i = 0; i < LF_FACESIZE; i++) {
        faceName[i] = static_cast<WCHAR>('a' + i % 26);
    }
    char text[FACE_NAME_TEXT_SIZE];
    memset(text, 'X', sizeof text);
    ConvertFaceName(faceName.get(), text);
    EXPECT_STREQ(text, "abcdefghijklmnopqrstuvwxyzabcdef");
    EXPECT_EQ(FakeCallTexts(), std::vector<std::string>{"WideCharToMultiByte(0, 0, 32, 64)"});

    // An empty name needs no conversion at all.
    faceName[0] = 0;
    ConvertFaceName(faceName.get(), text);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(FakeCountsNow().wideCharToMultiByteCalls, 1);
}

} // namespace
