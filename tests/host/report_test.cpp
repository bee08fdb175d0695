// The report's text and how it reaches the file.
#include "fake_platform.h"
#include "report/face_name.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

// Two entries after earlier bytes with no line end: those bytes stay, and
// each entry reaches the file whole, under the report lock, in CR LF lines,
// 512 bytes at a time.
TEST(Report, AppendsWholeEntriesAfterWhatIsThere) {
    EnterFreshDirectory();
    FakeReset();
    const std::string earlier = "an earlier report\r\nwith no line end";
    std::ofstream(REPORT_FILE_NAME, std::ios::binary) << earlier;
    ReportEntry entry = SampleEntry();
    AppendReportEntry(entry);
    entry.pic1 = entry.pic3 = nullptr;
    AppendReportEntry(entry);

    std::string bytes = FileBytes(REPORT_FILE_NAME);
    EXPECT_EQ(bytes.substr(0, earlier.size()), earlier);
    ExpectGolden("entries.txt", bytes.substr(earlier.size()));
    std::string log;
    for (const std::string &call : fakeLog) {
        log += call + "\n";
    }
    ExpectGolden("append.txt", log);
}

// The member and the text are given exactly their room, so that the address
// sanitizer sees any step past either.
TEST(Report, FaceNamesStayInTheirBounds) {
    std::string doubleBytes;
    for (int i = 0; i < LF_FACESIZE; i++) {
        doubleBytes += "\x82\xAD";
    }
    struct {
        std::u16string name;
        bool conversionFails;
        std::string text;
    } cases[] = {
        {u"Arial", false, "Arial"},
        {u"A\tB\rC\nD\x7f", false, "A?B?C?D?"}, // a control byte would break the line
        {u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", false, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"},
        {std::u16string(LF_FACESIZE, u'\u4E2D'), false, doubleBytes}, // the longest text
        {u"Arial", true, ""},
    };
    for (const auto &[name, conversionFails, text] : cases) {
        FakeReset();
        fake.failConversion = conversionFails;
        auto member = std::make_unique<WCHAR[]>(LF_FACESIZE);
        std::copy(name.begin(), name.end(), member.get());
        auto converted = std::make_unique<char[]>(FACE_NAME_TEXT_SIZE);
        ConvertFaceName(member.get(), converted.get());
        EXPECT_EQ(converted.get(), text);
    }
}

} // namespace
