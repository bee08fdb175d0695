// How the results' values are shown, made in one place so that text, JSON
// and the page say the same.
#pragma once

#include "compare/diff.h"
#include "compare/summary.h"

#include <cstdint>
#include <string>
#include <vector>

// A count and its noun: "1 entry", "2 entries".
std::string Counted(uint64_t count, const char *one, const char *many);

// A thread id or memory sample as the report writes it: "0x0000001A".
std::string HexText(uint32_t value);

// "file:line", or the file alone for line 0.
std::string Place(const std::string &path, uint64_t line);

// A value as shown:
// - text: a handle by its name (its value when it has none), a face name
//   decoded from the code page or else with every byte outside printable
//   ASCII as \xNN, any other value as the report writes it;
// - raw: a handle's real value beside its name;
// - names: of a flag word's bits or a character set;
// - a face name also quoted (as the text output and problems quote) and its
//   bytes in hex, which tell apart what its text may not ("\x82" written out
//   from the byte 0x82).
struct ShownValue {
    std::string text;
    std::string raw;
    std::vector<std::string> names;
    bool faceName;
    std::string quoted;
    std::string bytes;
};

// A value of a kind; member is its index into BlockMembers, or -1 for a
// header value; faceName the bytes of a Text value.
ShownValue ShowValue(ValueKind kind, int member, uint32_t value, const char *faceName,
                     const HandleNames &names, int codePage);

// One side of a difference.
ShownValue ShowSide(const DiffResult &result, const Difference &difference, bool sideB,
                    int codePage);

// One side of a group's difference, its face names those the group keeps.
ShownValue ShowGroupSide(const DiffResult &result, const DifferenceGroup &group, bool sideB,
                         int codePage);

// A value inline, as text shows it: a face name quoted, a handle's real
// value in brackets after its name and, withNames, a flag word's names too.
std::string InlineText(const ShownValue &value, bool withNames);

// The names joined by spaces: "NATIVE FULLSHAPE ROMAN".
std::string JoinedNames(const std::vector<std::string> &names);

// For a difference of a member whose values have names, what changed:
// "+ROMAN", "SHIFTJIS -> ANSI"; else empty.
std::string ChangeText(const Difference &difference);

// A value summary counted, shown as its row's shape gives it.
std::string SummaryValueText(int row, const CountedValue &value, const HandleNames &names,
                             int codePage);
// ...as a shown value: that text, the names of every flag word in it, and a
// face name's bytes.
ShownValue SummaryShownValue(int row, const CountedValue &value, const HandleNames &names,
                             int codePage);

// The memory samples a group of --strict holds: "0x7FF70000 to 0x7FF80000".
std::string SampleRangeText(const DifferenceGroup &group, bool sideB);

// What was not compared, and why, one text per row where that is so:
// "thread 1 compared up to entry 1: B.txt:610: reason", "thread 2 not
// compared: ...", "thread 1, entry 2 not compared: A.txt:80: bad value...".
std::vector<std::string> NotComparedTexts(const DiffResult &result);
