// The texts every renderer shows for the results' values, made in one place
// so that text, JSON and the page say the same.
#pragma once

#include "compare/results.h"

#include <cstdint>
#include <string>

// A count and its noun: "1 entry", "2 entries".
std::string Counted(uint64_t count, const char *one, const char *many);

// A thread id or memory sample as the report writes it: "0x0000001A".
std::string HexText(uint32_t value);

// "thread 2, entry 1" or "thread 2".
std::string DifferencePlace(const Difference &difference);

// A member value's names, as the platform's headers give them: "NATIVE
// FULLSHAPE ROMAN"; empty for a member with none.
std::string NamesText(int m, uint32_t value);

// For a difference of a member whose values have names, what changed:
// "+ROMAN", "SHIFTJIS -> ANSI"; else empty.
std::string ChangeText(const Difference &difference);
