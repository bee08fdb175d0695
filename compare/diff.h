// The differences between two reports, and the page that shows them.
#pragma once

#include "compare/naming.h"
#include "compare/report_input.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// One fact that differs. Values are shown as compared (a handle by its
// symbolic name); raw holds a handle's real value. A side's line is 0 where
// the fact has no line there.
struct DifferenceSide {
    std::string value;
    std::string raw;
    uint64_t line;
};

struct Difference {
    size_t thread;  // 1-based; 0 for the report as a whole
    uint64_t entry; // 1-based within its thread; 0 for the thread as a whole
    std::string member;
    DifferenceSide a;
    DifferenceSide b;
};

// Two entries with the same index in matched threads; either may be absent
// when the threads have different numbers of entries.
struct EntryPair {
    size_t thread; // 1-based
    uint64_t entry;
    const ReadEntry *a;
    const ReadEntry *b;
    const HandleNames *namesA;
    const HandleNames *namesB;
};

// The differences of one pair of entries, in the order of their lines.
void CompareEntries(const EntryPair &pair, bool strict, std::vector<Difference> &differences);

// The page: both reports side by side, entry by entry, each difference marked.
void BeginHtmlPage(FILE *page, const ReportInput &a, const ReportInput &b);
void WriteHtmlEntryPair(FILE *page, const EntryPair &pair,
                        const std::vector<Difference> &differences);
void EndHtmlPage(FILE *page, const std::vector<Difference> &reportDifferences,
                 uint64_t differenceCount);
