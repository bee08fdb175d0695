// Differences grouped as people read them: one group per row of threads,
// fact, known line and pair of values as compared, with the entries it holds in. Memory
// samples, which change with every capture, make one group per row and
// fact, with the range of values each side takes.
//
// What the groups keep is bounded: at most MAX_GROUPS groups in all, each
// with at most MAX_RANGES_KEPT ranges of entries. A difference that would
// start a group past the bound is counted in its row's `ungrouped`, and a
// range past the bound in its group's `rangesLeftOut`.
#pragma once

#include "compare/fact.h"

#include <string>
#include <unordered_map>
#include <vector>

inline constexpr size_t MAX_GROUPS = 1000;
inline constexpr size_t MAX_RANGES_KEPT = 64;

// The entries a group holds in: first to last, by number.
struct EntryRange {
    uint64_t first;
    uint64_t last;
};

struct DifferenceGroup {
    Difference first; // its face names are those below
    std::string faceNames[2];
    uint64_t count;
    std::vector<EntryRange> entries;
    uint64_t rangesLeftOut;
    uint64_t lastEntry;
    bool sampleRange; // memory samples: the values below, whatever the pair
    uint32_t lowest[2];
    uint32_t highest[2];
};

struct DifferenceGroups {
    std::vector<DifferenceGroup> groups; // in the order first met
    std::unordered_map<std::string, size_t> groupOf;
};

// Counts a difference in its group. Returns false when it fits no group
// kept (past MAX_GROUPS).
bool GroupDifference(DifferenceGroups &groups, const Difference &difference);
