// A report indexed in one pass: its runs, its threads with where each
// starts and how many entries it has, its problems and what editors did to
// it. Every command reads a report's facts from here, so they are the same
// whatever command or run is asked for, and each problem is counted once.
//
// A report may hold several runs of the tool, as the tool appends to one
// file: a run has two threads, each with its window. An entry starts a new
// run when its thread or its window belongs to neither of the current run's
// two threads (thread ids and window handles may be used again by a later
// run, but not paired otherwise within one).
#pragma once

#include "files/owned_file.h"
#include "reader/report_reader.h"

#include <cstdint>
#include <string>
#include <vector>

// A thread of a report, numbered by the order of its first entry. Its
// entries, whole or not, lie from firstOffset to the end of its run.
struct ReportThread {
    uint32_t id;
    uint64_t entries; // whole or not
    uint64_t firstLine;
    uint64_t firstOffset;
    size_t run;
};

// A run: its threads are report.threads[firstThread, firstThread + threads).
struct ReportRun {
    uint64_t firstLine;
    uint64_t entries;
    size_t firstThread;
    size_t threads;
    uint64_t problems; // counted while it was the run read
    // The run's last lines of no known thread (line 0: none): an entry of
    // either thread may be among them, so a thread's count of entries is
    // sure only up to there.
    ReadProblem lastUnplaced;
};

struct ReportFacts {
    std::string path;
    bool readable;       // false: it could not be opened or read through
    std::string failure; // why, when not readable
    uint64_t entries;
    std::vector<ReportThread> threads;
    std::vector<ReportRun> runs;
    std::vector<ReadProblem> problems; // the first MAX_PROBLEMS_KEPT
    uint64_t problemCount;
    // What an editor did, passed over, and where the report cannot tell
    // where a run starts.
    std::vector<ReadProblem> notes;
};

inline constexpr size_t MAX_PROBLEMS_KEPT = 100;

inline bool IsWellFormed(const ReportFacts &facts) {
    return facts.readable && facts.problemCount == 0;
}

// A thread's number within its run, 1-based.
size_t ThreadInRun(const ReportFacts &facts, size_t thread);

// A report's whole entries as the index read them, in two scratch files:
// those of the first threads of runs and those of the second (see
// entry_spill.h).
struct EntrySpill {
    File files[2]; // null when none was asked for, or they could not be written whole
};

// A report opened and indexed; the file stays open for its threads' cursors.
struct IndexedReport {
    File file;
    ReportFacts facts;
    EntrySpill spill;
};

// Is handed each whole entry as indexing reads it, with its thread's index
// in facts.threads, so that a command that needs every entry once (summary)
// reads the report once.
struct EntryWatcher {
    void (*seen)(void *state, const ReportFacts &facts, size_t thread, const ReadEntry &entry);
    void *state;
};

// What a report is read for: its facts (check, summary), read on both
// cores when it is large; or diff, beside the other report, each on a core
// of its own, its threads read again, so that input that cannot seek is
// first copied to a temporary file.
enum class ReadFor { Facts, Diff };

// Opens a report (a path, or "-" for standard input) and indexes it.
// facts.readable is false, with the reason, when it cannot be opened or
// read through.
IndexedReport IndexReport(const std::string &path, ReadFor use,
                          const EntryWatcher *watcher = nullptr);

// Indexes a report open at its start, which must seek for diff (the tests'
// way in, on a stream over text held in memory).
IndexedReport IndexOpenReport(File file, const std::string &path, ReadFor use,
                              const EntryWatcher *watcher = nullptr);

// Indexes a report read through `reader` from its start (the tests' and the
// fuzzers' way in, on text held in memory).
ReportFacts IndexFromReader(ReportReader &reader, const std::string &path,
                            const EntryWatcher *watcher = nullptr);
