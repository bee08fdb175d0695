// The pairs of entries the diff page shows, chosen as they are compared and
// kept by the page itself, so that the page's size, and the memory it
// takes, is bounded whatever the reports' size: the first PAGE_PAIRS_WHOLE
// pairs whole, then in each row of threads its first pair that differs and
// more pairs that differ, PAGE_DIFFERING_MAX in all, shared out among the
// rows so that a first thread that differs everywhere leaves the others
// their part.
#pragma once

#include "compare/diff.h"

#include <vector>

inline constexpr size_t PAGE_PAIRS_WHOLE = 10;
inline constexpr size_t PAGE_DIFFERING_MAX = 200;

struct PagePair {
    size_t row; // 1-based
    uint64_t entry;
    bool whole; // shown with every line, not only those near a difference
    bool hasA;
    bool hasB;
    ReadEntry a;
    ReadEntry b;
    std::vector<Fact> facts;     // that differ, in the order of their lines
    std::vector<uint64_t> known; // each one's known line, 0 for a new one
};

struct PageSample {
    std::vector<PagePair> pairs;
    uint64_t leftOut[2]; // pairs not kept: that differ, the same
    size_t rows;
    size_t differingKept; // past the first pairs and each row's first
    // The row at hand: whether it has a pair that differs kept, and how
    // many more it may keep.
    size_t row;
    bool rowReached;
    size_t rowShare;
};

DiffSink PageSampleSink(PageSample &sample);

// Whether a pair differs: a fact, or an entry on one side only.
bool PairDiffers(const PagePair &pair);
