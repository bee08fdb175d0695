// The platform's names for the values of a block's members.
#include "flags/flag_names.h"
#include "report/report_format.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

int Member(std::string_view path) {
    int m = 0;
    while (m < BLOCK_MEMBER_COUNT && path != BlockMembers[m].path) {
        m++;
    }
    EXPECT_LT(m, BLOCK_MEMBER_COUNT) << path;
    return m;
}

// Each row: a member, two values, the names of the second and what changed from the first.
TEST(FlagNames, NamesValuesAndChanges) {
    struct {
        const char *path;
        uint32_t a, b;
        const char *names, *change;
    } rows[] = {
        {"fdwConversion", 0x11, 0x00100012, "KATAKANA ROMAN 0x00100000",
         "-NATIVE +KATAKANA +0x00100000"},
        {"fdwConversion", 0xFFFFFFFF, 0xFFFFFFFF,
         "NATIVE KATAKANA FULLSHAPE ROMAN CHARCODE HANJACONVERT SOFTKBD NOCONVERSION EUDC SYMBOL "
         "FIXED 0xFFFFF004",
         ""},
        {"fdwSentence", 0x1F, 0, "NONE",
         "-PLAURALCLAUSE -SINGLECONVERT -AUTOMATIC -PHRASEPREDICT -CONVERSATION"},
        {"fdwInit", 0x3F, 0, "",
         "-STATUSWNDPOS -CONVERSION -SENTENCE -LOGFONT -COMPFORM -SOFTKBDPOS"},
        {"cfCompForm.dwStyle", 0x2, 0, "DEFAULT", "-POINT"},
        {"cfCandForm[0].dwStyle", 0x14, 0xE3, "RECT POINT FORCE_POSITION CANDIDATEPOS EXCLUDE",
         "-0x00000014 +RECT +POINT +FORCE_POSITION +CANDIDATEPOS +EXCLUDE"},
        {"lfFont.W.lfCharSet", 128, 3, "", "SHIFTJIS -> 3"},
        {"lfFont.W.lfCharSet", 3, 129, "HANGUL", "3 -> HANGUL"},
        {"lfFont.W.lfCharSet", 255, 255, "OEM", ""},
        {"cfCandForm[0].dwIndex", 1, 2, "", ""},
    };
    for (const auto &[path, a, b, names, change] : rows) {
        std::string joined;
        for (const std::string &name : ValueNames(Member(path), b)) {
            joined += (joined.empty() ? "" : " ") + name;
        }
        EXPECT_EQ(joined, names) << path << " " << b;
        EXPECT_EQ(ChangedNames(Member(path), a, b), change) << path << " " << a << " " << b;
    }
    EXPECT_EQ(MemberNameKind(Member("lfFont.W.lfCharSet")), NameKind::Enumeration);
}

} // namespace
