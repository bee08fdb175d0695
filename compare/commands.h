// The commands of vantorel-report. Each returns the exit status: 0 when all
// is well (check) or the same (diff), 1 when problems or differences were
// found, 2 on trouble (a report that cannot be read, or a malformed one for
// summary and diff).
#pragma once

#include <string>
#include <vector>

struct CommandOptions {
    bool json;        // write JSON instead of text
    bool strict;      // diff: compare thread ids and memory samples too
    std::string html; // diff: also write a page to this file
};

int CheckReports(const std::vector<std::string> &paths, const CommandOptions &options);
int SummarizeReport(const std::string &path, const CommandOptions &options);
int DiffReports(const std::string &pathA, const std::string &pathB, const CommandOptions &options);
