// The results as text for people.
#pragma once

#include "compare/diff.h"
#include "compare/summary.h"

#include <cstdio>
#include <vector>

void WriteCheckText(FILE *out, const std::vector<ReportFacts> &reports);
void WriteSummaryText(FILE *out, const SummaryResult &result, int codePage);

// diff as it comes: the runs and pairing first, each difference as it is
// found (everyEntry), else a row's groups once the row is compared; the
// counts and what was not compared at the end.
struct TextDiff {
    FILE *out;
    bool everyEntry;
    int codePage;
    size_t groupsWritten; // of result.groups
};

DiffSink TextDiffSink(TextDiff &text);
void EndTextDiff(TextDiff &text, const DiffResult &result);

// A report's trouble as people read it on stderr, whatever the format: why
// it cannot be read, or its notes and problems as "file:line: reason".
void WriteTrouble(FILE *err, const ReportFacts &facts);
