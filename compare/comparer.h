// The one comparer of a pair of entries: each fact that differs, in the
// order of its lines. Handles are compared by their names.
#pragma once

#include "compare/fact.h"
#include "compare/naming.h"

#include <vector>

// Appends to `differences` those of entry `entry` of row `row` (both
// 1-based). Thread ids and memory samples are compared only when strict.
void CompareEntries(const HandleNames &namesA, const HandleNames &namesB, bool strict, size_t row,
                    uint64_t entry, const ReadEntry &a, const ReadEntry &b,
                    std::vector<Difference> &differences);
