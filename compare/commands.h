// The commands of vantorel-report, each computing its whole result.
#pragma once

#include "compare/results.h"

#include <string>
#include <vector>

struct DiffOptions {
    bool strict; // compare thread ids and memory samples too
    bool page;   // keep the pairs of entries a page shows
    // B's threads (0-based, within its run) to pair with A's first threads.
    std::vector<size_t> threadsOfB;
    size_t runs[2]; // the runs to compare (1-based), 0 for the last
    int codePage;   // of the face names, 0 when not known
};

CheckResult CheckReports(const std::vector<std::string> &paths);
SummaryResult SummarizeReport(const std::string &path, int codePage);
DiffResult DiffReports(const std::string &pathA, const std::string &pathB,
                       const DiffOptions &options);

// The differences of two entries of row `thread` (1-based), appended to
// result.differences in the order of their lines, handles compared by their
// names in result.namesA and result.namesB.
void CompareEntries(DiffResult &result, size_t thread, uint64_t entry, const ReadEntry &a,
                    const ReadEntry &b);
