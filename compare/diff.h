// The differences between two reports, and the page that shows them.
#pragma once

#include "compare/naming.h"
#include "compare/report_input.h"
#include "files/output_file.h"

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

// A handle as compared, its name, with its real value where that differs.
DifferenceSide HandleSide(const HandleNames &names, uint32_t handle, uint64_t line);
DifferenceSide HexSide(uint32_t value, uint64_t line);

// The differences of one pair of entries, in the order of their lines.
void CompareEntries(const EntryPair &pair, bool strict, std::vector<Difference> &differences);

// The page: both reports side by side, entry by entry, each difference
// marked. The pairs are written as they come to a file beside the page;
// once the totals are known, the page is written whole: its summary, then
// those pairs. The first pairs are shown whatever they hold, then only pairs
// that differ, up to a limit, so that the page stays bounded.
struct PageLink {
    size_t thread;
    uint64_t entry;
    std::string what; // its differences in short
};

struct HtmlPage {
    std::string path;
    OutputFile output;
    FILE *body; // a temporary file
    bool strict;
    uint64_t pairsShown;
    uint64_t differingLeftOut;
    uint64_t sameLeftOut;
    std::vector<PageLink> links; // to the pairs shown that differ
};

// Opens the page and the file of its pairs; says why on stderr when it cannot.
bool BeginHtmlPage(HtmlPage &page, const std::string &path, bool strict);
void WriteHtmlEntryPair(HtmlPage &page, const EntryPair &pair,
                        const std::vector<Difference> &differences);
// Writes the page whole, with the thread-level differences; says why on
// stderr and leaves the file as it was when it cannot.
bool EndHtmlPage(HtmlPage &page, const ReportInput &a, const ReportInput &b,
                 const std::vector<Difference> &threadDifferences, uint64_t differenceCount);
