// summary: for each thread, the values the facts saying most about the
// IMM's state take, and in which entries, kept as the report gives them.
#pragma once

#include "compare/naming.h"
#include "index/report_index.h"

#include <cstdint>
#include <string>
#include <vector>

// A row of summary: a member, or several shown as one value (a form's style,
// position and area), each '%' of the shape standing for the next member's value.
struct SummaryRow {
    const char *name;
    const char *shape;
    const char *members[8];
};

inline constexpr int SUMMARY_ROW_MEMBERS = 8;

inline constexpr SummaryRow SummaryRows[] = {
    {"hWnd", "%", {"hWnd"}},
    {"fOpen", "%", {"fOpen"}},
    {"fdwConversion", "%", {"fdwConversion"}},
    {"fdwSentence", "%", {"fdwSentence"}},
    {"cfCompForm",
     "style %, at (%, %), area (%, %, %, %)",
     {"cfCompForm.dwStyle", "cfCompForm.ptCurrentPos.x", "cfCompForm.ptCurrentPos.y",
      "cfCompForm.rcArea.left", "cfCompForm.rcArea.top", "cfCompForm.rcArea.right",
      "cfCompForm.rcArea.bottom"}},
    {"cfCandForm[0]",
     "index %, style %, at (%, %), area (%, %, %, %)",
     {"cfCandForm[0].dwIndex", "cfCandForm[0].dwStyle", "cfCandForm[0].ptCurrentPos.x",
      "cfCandForm[0].ptCurrentPos.y", "cfCandForm[0].rcArea.left", "cfCandForm[0].rcArea.top",
      "cfCandForm[0].rcArea.right", "cfCandForm[0].rcArea.bottom"}},
    {"lfFont.W.lfFaceName", "%", {"lfFont.W.lfFaceName"}},
};
inline constexpr int SUMMARY_ROW_COUNT = sizeof SummaryRows / sizeof SummaryRows[0];

// A row's members as indexes into BlockMembers, -1 past the last.
struct SummaryRowMembers {
    int members[SUMMARY_ROW_COUNT][SUMMARY_ROW_MEMBERS];
};
const SummaryRowMembers &RowMembers();

// A value a row takes, as read: its members' values (a face name's bytes
// for that row), with the entries that show it, by number within the thread.
struct CountedValue {
    uint32_t values[SUMMARY_ROW_MEMBERS];
    std::string faceName;
    uint64_t entries;
    uint64_t first;
    uint64_t last;
};

// Values beyond this many per row are only counted.
inline constexpr size_t MAX_VALUES = 8;

struct ValueCounts {
    std::vector<CountedValue> values; // in the order first seen
    uint64_t otherEntries;            // entries whose value is beyond the values kept
};

struct ThreadSummary {
    uint64_t entries;       // whole entries summed up
    ValueCounts sharing;    // values[0]: SharingOf
    ValueCounts records[3]; // values[0]: 1 for a record, 0 for "(null)"
    ValueCounts rows[3][SUMMARY_ROW_COUNT];
    uint32_t lowest[2]; // memory samples: dwAvailPhys, dwAvailVirtual
    uint32_t highest[2];
};

struct SummaryResult {
    ReportFacts report;
    std::vector<ThreadSummary> threads; // as report.threads
    HandleNames names;
};

// Indexes and sums up a report (a path, or "-") in one reading.
SummaryResult SummarizeReport(const std::string &path);
