// What each command finds, as plain records: computed whole first, then
// handed to a renderer (text, JSON, page), which decides nothing.
#pragma once

#include "compare/naming.h"
#include "compare/report_input.h"

#include <cstdint>
#include <string>
#include <vector>

struct CheckResult {
    std::vector<ReportFacts> reports;
};

// summary: the values each row takes in a thread's entries, in the order
// first seen, with the entries that show each.
struct CountedValue {
    std::string key;  // what tells values apart: the text as the report writes it
    std::string text; // as shown: flag words with their names, face names decoded
    uint64_t entries;
    uint64_t first; // entry numbers within the thread
    uint64_t last;
    std::vector<std::string> names; // of the flag words' values in it
};

struct ValueCounts {
    std::vector<CountedValue> values;
    uint64_t otherEntries; // entries whose value is beyond the values kept
};

// A row of summary: a member, or several shown as one value (a form's style,
// position and area), each '%' of the shape standing for the next member's value.
struct SummaryRow {
    const char *name;
    const char *shape;
    const char *members[8];
};

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

struct ThreadSummary {
    uint64_t entries; // whole entries summed up
    ValueCounts sharing;
    ValueCounts records[3];
    ValueCounts rows[3][SUMMARY_ROW_COUNT];
    uint32_t lowest[2]; // memory samples: dwAvailPhys, dwAvailVirtual
    uint32_t highest[2];
};

struct SummaryResult {
    ReportFacts report;
    int codePage;                       // of the face names, 0 when not known
    std::vector<ThreadSummary> threads; // as report.threads
};

// A fact two reports can differ in: a header value (index into HeaderFields),
// which of window, button and edit share a context, a record against
// "(null)" (block), a block member (block, index into BlockMembers), or a
// thread's count of entries.
enum class FactKind : uint8_t { Header, Sharing, Record, Member, Entries };

struct Fact {
    FactKind kind;
    uint8_t block;
    uint8_t index;
};

inline bool operator==(const Fact &a, const Fact &b) {
    return a.kind == b.kind && a.block == b.block && a.index == b.index;
}

// One side of a difference. value: a header or member value (for a face name,
// an index into DiffResult.texts), the sharing (SharingOf), 1 for a record and
// 0 for "(null)", or a count of entries. line: 0 where the fact has no line.
struct DifferenceSide {
    uint64_t value;
    uint64_t line;
};

struct Difference {
    size_t thread;  // 1-based row of DiffResult.threads
    uint64_t entry; // 1-based within the thread; 0 for the thread as a whole
    Fact fact;
    DifferenceSide a;
    DifferenceSide b;
};

inline constexpr size_t NO_THREAD = SIZE_MAX;

// How far a pair of threads was compared.
enum class Compared { Whole, Partly, Not };

struct ThreadPair {
    size_t a; // index into the report's threads, or NO_THREAD
    size_t b;
    uint64_t entries;     // pairs of entries compared
    uint64_t differences; // found in this pair of threads
    Compared compared;
};

// A pair of entries kept for the page, with its differences
// (DiffResult.differences from firstDifference on).
struct PagePair {
    size_t thread;
    uint64_t entry;
    bool whole; // shown with every line, not only those near a difference
    bool hasA;
    bool hasB;
    ReadEntry a;
    ReadEntry b;
    size_t firstDifference;
    size_t differenceCount;
};

// The entries a group of differences holds in: first to last, by number.
struct EntryRange {
    uint64_t first;
    uint64_t last;
};

// Differences of one row in one fact with the same pair of values as
// compared: the first of them (its lines are the group's), how many, where.
struct DifferenceGroup {
    size_t first; // index into DiffResult.differences
    uint64_t count;
    std::vector<EntryRange> entries;
};

struct DiffResult {
    ReportFacts a;
    ReportFacts b;
    bool strict;
    size_t runA; // the runs compared, 0-based
    size_t runB;
    // Threads paired by content, not in the order of first appearance: how
    // many facts differ in their first entries either way.
    bool pairedByContent;
    uint64_t inOrderScore;
    uint64_t swappedScore;
    std::vector<size_t> threadsOfB; // --match-threads as given (0-based); empty: by order
    bool everyEntry;                // each difference shown on its own, not in groups
    int codePage;                   // of the face names, 0 when not known
    std::vector<ThreadPair> threads;
    std::vector<Difference> differences;
    std::vector<DifferenceGroup> groups; // in the order first met
    std::vector<std::string> texts;      // face names that differ
    HandleNames namesA;
    HandleNames namesB;
    std::string failure; // why the reports could not be compared at all
    // Where comparing stopped on a problem: the first problem met and its report.
    bool stopped;
    bool stoppedInB;
    ReadProblem stop;
    // The page, when asked for.
    std::string pagePath;
    std::vector<PagePair> pagePairs;
    uint64_t pairsLeftOut[2]; // that differ, the same
    bool pageWritten;
    std::string pageError;
};

// A value as compared and shown: a handle by its name, with its real value
// as raw where that differs; a face name as its bytes stand.
struct ValueText {
    std::string value;
    std::string raw;
};

ValueText HandleText(const HandleNames &names, uint32_t handle);

// One side of a difference.
ValueText SideText(const DiffResult &result, const Difference &difference, bool sideB);

// Whether a difference's values are face names.
bool IsTextFact(const Fact &fact);

// A thread's number within its run, 1-based.
size_t ThreadInRun(const ReportFacts &facts, size_t thread);

// Thread ids and memory samples change from run to run: they are compared
// only with --strict.
bool ComparedOnlyWhenStrict(const Fact &fact);

// The fact as the report names it: "hIMC1", "pic1->fOpen", "pic3",
// "shared contexts", "entries".
std::string FactName(const Fact &fact);

// The exit statuses, as diff gives them: 0 all well, 1 problems or
// differences, 2 trouble.
int CheckStatus(const CheckResult &result);
int SummaryStatus(const SummaryResult &result);
int DiffStatus(const DiffResult &result);
