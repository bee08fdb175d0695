#include "flags/flag_names.h"

#include "report/report_format.h"

#include <array>
#include <bit>
#include <span>
#include <string_view>

struct ValueName {
    uint32_t value;
    const char *name;
};

// The names of one member's values. For Flags, one bit each, lowest first.
struct NameSet {
    NameKind kind;
    std::span<const ValueName> names;
    const char *zeroName; // Flags: what a word with no bit set is called, or null
};

// imm.h, IME_CMODE_*.
constexpr ValueName ConversionModes[] = {
    {0x0001, "NATIVE"},   {0x0002, "KATAKANA"},     {0x0008, "FULLSHAPE"}, {0x0010, "ROMAN"},
    {0x0020, "CHARCODE"}, {0x0040, "HANJACONVERT"}, {0x0080, "SOFTKBD"},   {0x0100, "NOCONVERSION"},
    {0x0200, "EUDC"},     {0x0400, "SYMBOL"},       {0x0800, "FIXED"},
};

// imm.h, IME_SMODE_*; PLAURALCLAUSE is the header's own spelling.
constexpr ValueName SentenceModes[] = {
    {0x0001, "PLAURALCLAUSE"}, {0x0002, "SINGLECONVERT"}, {0x0004, "AUTOMATIC"},
    {0x0008, "PHRASEPREDICT"}, {0x0010, "CONVERSATION"},
};

// immdev.h, INIT_*: which members of the context hold a value.
constexpr ValueName InitFlags[] = {
    {0x0001, "STATUSWNDPOS"}, {0x0002, "CONVERSION"}, {0x0004, "SENTENCE"},
    {0x0008, "LOGFONT"},      {0x0010, "COMPFORM"},   {0x0020, "SOFTKBDPOS"},
};

// imm.h, CFS_*: the styles of the composition and candidate forms.
constexpr ValueName FormStyles[] = {
    {0x0001, "RECT"},         {0x0002, "POINT"},   {0x0020, "FORCE_POSITION"},
    {0x0040, "CANDIDATEPOS"}, {0x0080, "EXCLUDE"},
};

// wingdi.h, *_CHARSET.
constexpr ValueName CharacterSets[] = {
    {0, "ANSI"},          {1, "DEFAULT"},      {2, "SYMBOL"},    {77, "MAC"},
    {128, "SHIFTJIS"},    {129, "HANGUL"},     {130, "JOHAB"},   {134, "GB2312"},
    {136, "CHINESEBIG5"}, {161, "GREEK"},      {162, "TURKISH"}, {163, "VIETNAMESE"},
    {177, "HEBREW"},      {178, "ARABIC"},     {186, "BALTIC"},  {204, "RUSSIAN"},
    {222, "THAI"},        {238, "EASTEUROPE"}, {255, "OEM"},
};

constexpr NameSet ConversionSet{NameKind::Flags, ConversionModes, "ALPHANUMERIC"};
constexpr NameSet SentenceSet{NameKind::Flags, SentenceModes, "NONE"};
constexpr NameSet InitSet{NameKind::Flags, InitFlags, nullptr};
constexpr NameSet FormStyleSet{NameKind::Flags, FormStyles, "DEFAULT"};
constexpr NameSet CharacterSetSet{NameKind::Enumeration, CharacterSets, nullptr};

struct NamedMember {
    std::string_view path;
    const NameSet *set;
};

constexpr NamedMember NamedMembers[] = {
    {"fdwConversion", &ConversionSet},
    {"fdwSentence", &SentenceSet},
    {"fdwInit", &InitSet},
    {"cfCompForm.dwStyle", &FormStyleSet},
    {"cfCandForm[0].dwStyle", &FormStyleSet},
    {"lfFont.W.lfCharSet", &CharacterSetSet},
};

// The index of the block member with this path, or -1 when there is none.
constexpr int MemberIndex(std::string_view path) {
    for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
        if (path == BlockMembers[m].path) {
            return m;
        }
    }
    return -1;
}

constexpr bool AllMembersFound() {
    for (const NamedMember &named : NamedMembers) {
        if (MemberIndex(named.path) < 0) {
            return false;
        }
    }
    return true;
}
static_assert(AllMembersFound(), "a named member is not a block member");

// Each block member's names, found by path when compiling.
constexpr std::array<const NameSet *, BLOCK_MEMBER_COUNT> FindMemberSets() {
    std::array<const NameSet *, BLOCK_MEMBER_COUNT> sets{};
    for (const NamedMember &named : NamedMembers) {
        sets[MemberIndex(named.path)] = named.set;
    }
    return sets;
}

constexpr std::array<const NameSet *, BLOCK_MEMBER_COUNT> MemberSets = FindMemberSets();

// Flags are single bits, lowest first, so that names come in the order of their bits.
constexpr bool SingleBitsInOrder(std::span<const ValueName> names) {
    for (size_t i = 0; i < names.size(); i++) {
        if (!std::has_single_bit(names[i].value) ||
            (i > 0 && names[i].value <= names[i - 1].value)) {
            return false;
        }
    }
    return true;
}
static_assert(SingleBitsInOrder(ConversionModes) && SingleBitsInOrder(SentenceModes) &&
              SingleBitsInOrder(InitFlags) && SingleBitsInOrder(FormStyles));

static const NameSet *MemberSet(int m) {
    return m >= 0 && m < BLOCK_MEMBER_COUNT ? MemberSets[m] : nullptr;
}

static const char *EnumerationName(const NameSet &set, uint32_t value) {
    for (const ValueName &named : set.names) {
        if (named.value == value) {
            return named.name;
        }
    }
    return nullptr;
}

static std::string EnumerationText(const NameSet &set, uint32_t value) {
    const char *name = EnumerationName(set, value);
    return name != nullptr ? name : std::to_string(value);
}

// The names of the set bits, the unnamed ones as one hex word at the end.
static void AppendBitNames(const NameSet &set, uint32_t value, std::vector<std::string> &names) {
    uint32_t unnamed = value;
    for (const ValueName &named : set.names) {
        if (value & named.value) {
            names.emplace_back(named.name);
            unnamed &= ~named.value;
        }
    }
    if (unnamed != 0) {
        char text[VALUE_TEXT_SIZE];
        FormatValue(ValueKind::Hex, unnamed, text);
        names.emplace_back(text);
    }
}

static void AppendChange(std::string &change, char sign, const NameSet &set, uint32_t bits) {
    std::vector<std::string> names;
    AppendBitNames(set, bits, names);
    for (const std::string &name : names) {
        if (!change.empty()) {
            change += ' ';
        }
        change += sign;
        change += name;
    }
}

NameKind MemberNameKind(int m) {
    const NameSet *set = MemberSet(m);
    return set != nullptr ? set->kind : NameKind::None;
}

std::vector<std::string> ValueNames(int m, uint32_t value) {
    std::vector<std::string> names;
    const NameSet *set = MemberSet(m);
    if (set == nullptr) {
        return names;
    }
    if (set->kind == NameKind::Enumeration) {
        if (const char *name = EnumerationName(*set, value)) {
            names.emplace_back(name);
        }
    } else if (value == 0) {
        if (set->zeroName != nullptr) {
            names.emplace_back(set->zeroName);
        }
    } else {
        AppendBitNames(*set, value, names);
    }
    return names;
}

std::string ChangedNames(int m, uint32_t a, uint32_t b) {
    std::string change;
    const NameSet *set = MemberSet(m);
    if (set == nullptr || a == b) {
        return change;
    }
    if (set->kind == NameKind::Enumeration) {
        return EnumerationText(*set, a) + " -> " + EnumerationText(*set, b);
    }
    AppendChange(change, '-', *set, a & ~b);
    AppendChange(change, '+', *set, b & ~a);
    return change;
}
