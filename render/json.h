// The results as JSON for scripts: one whole document on every path.
#pragma once

#include "compare/diff.h"
#include "compare/summary.h"
#include "render/json_writer.h"

#include <cstdio>
#include <string>
#include <vector>

void WriteCheckJson(FILE *out, const std::vector<ReportFacts> &reports);
void WriteSummaryJson(FILE *out, const SummaryResult &result, int codePage);

// A usage error, as a document of its own.
void WriteUsageErrorJson(FILE *out, const std::string &message);

// A file diff writes (the page, the known differences), as JSON tells it,
// once it is written or not.
struct FileOutcome {
    bool asked;
    std::string path;
    bool written;
    std::string error;
};

// diff as it comes: what was asked and "differences" as they are found,
// then, at the end, the groups, the rows of threads, the verdict and the
// reports' facts.
struct JsonDiff {
    JsonWriter json;
    int codePage;
};

DiffSink JsonDiffSink(JsonDiff &json);
void EndJsonDiff(JsonDiff &json, const DiffResult &result, const FileOutcome &page,
                 const FileOutcome &knownWritten);
