// The names the platform's headers give to the values of a block's members:
// the bits of the conversion, sentence, init and form-style words, and the
// character set of the font. A name is the constant's without its prefix
// (IME_CMODE_ROMAN is "ROMAN", SHIFTJIS_CHARSET is "SHIFTJIS").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the platform calls the values of member m of a block (index into BlockMembers):
// Flags for bit sets, Enumeration for a value with one name (a character set), None otherwise.
enum class NameKind { None, Flags, Enumeration };
NameKind MemberNameKind(int m);

// The names of a value, in the order of their bits (lowest first); bits no name covers are given
// as one hex word "0x00100000" (all such bits together) at the end; a value of zero gives the
// zero name where the platform has one (IME_CMODE_ALPHANUMERIC -> "ALPHANUMERIC"), else nothing.
// An Enumeration gives its one name, or nothing when the value has none. None gives nothing.
std::vector<std::string> ValueNames(int m, uint32_t value);

// What changed from a to b in words, for a Flags member: the bits cleared, then the bits set, each
// as ValueNames gives them ("-NATIVE +KATAKANA", "+0x00100000"); for an Enumeration
// "SHIFTJIS -> ANSI" (a side with no name as its number); empty for None or when a == b.
std::string ChangedNames(int m, uint32_t a, uint32_t b);
