// diff: the IMM facts that differ between one run of each of two indexed
// reports. Threads are paired by the order of their first entry (or as
// --match-threads says, or by content), then each pair of threads is read
// by two cursors, entries paired by their number within their thread. Each
// pair of entries goes through the one comparer, and each difference to the
// groups and to the sinks as it comes, so memory stays flat however many
// facts differ.
#pragma once

#include "compare/groups.h"
#include "compare/naming.h"
#include "index/report_index.h"

#include <cstdint>
#include <string>
#include <vector>

struct DiffResult;

// A line of a known-differences file that matched no difference.
struct KnownLineLeft {
    uint64_t line;
    std::string text;
};

// Tells which differences are known (--known): lineOf gives the line of
// the known-differences file a difference matches, 0 for a new one; left
// gives, once every pair is compared, the lines that matched none.
struct KnownCheck {
    void *state;
    uint64_t (*lineOf)(void *state, const DiffResult &result, const Difference &difference);
    std::vector<KnownLineLeft> (*left)(void *state);
};

struct DiffOptions {
    bool strict; // compare thread ids and memory samples too
    // B's threads (0-based, within its run) to pair with A's first threads.
    std::vector<size_t> threadsOfB;
    size_t runs[2];             // the runs to compare (1-based), 0 for the last
    KnownCheck known = {};      // state null: no difference is known
    std::string knownFile = {}; // the file it reads, as named
};

inline constexpr size_t NO_THREAD = SIZE_MAX;

// How far a pair of threads was compared.
enum class Compared { Whole, Partly, Not };

// Where a side's problem left a row: stopped (an entry cut short or
// misplaced), or a pair of entries passed over (a bad value).
struct RowProblem {
    bool inB;
    uint64_t entry; // the pair's number
    ReadProblem problem;
};

struct ThreadPair {
    size_t a; // index into the report's threads, or NO_THREAD
    size_t b;
    uint64_t entries;     // pairs of entries reached, on one side or both
    uint64_t differences; // found in this pair of threads
    uint64_t ungrouped;   // of them, those past the groups' bound
    Compared compared;
    bool stopped;
    RowProblem stop;
    uint64_t passedOver; // pairs of entries not compared, as one held a bad value
    RowProblem firstPassedOver;
};

enum class Pairing { Order, Content, Asked };

// What the exit status, JSON and the page say: the same (or every
// difference known, and every known line still met); different; a report
// malformed, so that what was compared may not be all; or trouble (a report
// that cannot be read, runs or threads that are not there).
enum class DiffVerdict { Same, Different, Partial, Trouble };

struct DiffResult {
    DiffOptions options; // as asked
    ReportFacts a;
    ReportFacts b;
    size_t runA; // the runs compared, 0-based
    size_t runB;
    Pairing pairing;
    // By content: how many facts differ in the first entries either way.
    uint64_t inOrderScore;
    uint64_t swappedScore;
    std::vector<ThreadPair> rows;
    uint64_t differenceCount; // known ones included
    uint64_t knownCount;
    std::vector<KnownLineLeft> noLongerDiffer; // lines of the known file
    DifferenceGroups groups;
    HandleNames namesA;
    HandleNames namesB;
    std::string failure; // why the reports could not be compared at all
    DiffVerdict verdict;
};

// A pair of entries as compared, either side missing (null) where its
// thread has no such entry; entry 0 for the row's count of entries.
struct EntryPair {
    size_t row; // 1-based
    uint64_t entry;
    const ReadEntry *a;
    const ReadEntry *b;
    const Difference *differences;
    size_t count;
};

// Where the pairs go as they come: the page's sample, every difference
// written out. begin comes once runs and threads are known, before any pair;
// rowEnd after a row's last pair.
struct DiffSink {
    void *state;
    void (*begin)(void *state, const DiffResult &result);
    void (*pair)(void *state, const DiffResult &result, const EntryPair &pair);
    void (*rowEnd)(void *state, const DiffResult &result, size_t row);
};

DiffResult DiffReports(IndexedReport &a, IndexedReport &b, const DiffOptions &options,
                       const std::vector<DiffSink> &sinks);
