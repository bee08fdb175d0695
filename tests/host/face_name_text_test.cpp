// Face names decoded by the system's code page tables; built for Linux and,
// under Wine, for Windows, whose results must be the same.
#include "text/face_name_text.h"

#include <gtest/gtest.h>

namespace {

const std::string MsGothic932 = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

TEST(FaceNameText, Decodes) {
    struct Case {
        int codePage;
        std::string bytes, text;
    } cases[] = {
        {932, MsGothic932, "ＭＳ ゴシック"},
        {936, "\xCB\xCE\xCC\xE5", "宋体"},
        {949, "\xB1\xBC\xB8\xB2", "굴림"},
        {1252, "\x80", "€"},
        {1252,
         "A\x7F"
         "B",
         "A\uFFFDB"}, // a control, never part of a name
        {932, "\x82\x6C\x83", "Ｍ\uFFFD"},
        // A pair 949 does not hold, which iconv reports only once past it.
        {949, "\xA2\xE8", "\uFFFD\uFFFD"},
        // Windows holds 0x81 as the control U+0081; iconv holds the 'a' back.
        {1258, "a\x81", "a\uFFFD"},
        {1234, "\x82\x6C", "\\x82l"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(DecodeFaceName(c.bytes, c.codePage), c.text) << c.codePage << " " << c.text;
    }
    EXPECT_EQ(RawFaceName(MsGothic932 + "\xFC"), "\\x82l\\x82r \\x83S\\x83V\\x83b\\x83N\\xFC");
}

TEST(FaceNameText, RefusesUnknownCodePages) {
    std::string error;
    EXPECT_TRUE(CanDecode(932, error));
    for (int codePage : {0, 1234}) {
        EXPECT_FALSE(CanDecode(codePage, error));
        EXPECT_EQ(error, "code page " + std::to_string(codePage) + " is not available here");
    }
}

} // namespace
