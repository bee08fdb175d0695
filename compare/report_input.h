// A report as every command reads it. check reads it in one pass; summary and
// diff thread by thread: each pass takes one thread's entries in order and
// passes over the others' unchecked, so that every entry is checked once and
// none is held in memory. Either way the facts come out the same: an entry is
// counted for its thread as soon as its thread line reads, whole or not, and
// every problem is noted once.
//
// A report may hold several runs of the tool, as the tool appends to one
// file: a run has two threads, each with its window. An entry starts a new
// run when its thread or its window belongs to neither of the current run's
// two threads (thread ids and window handles may be used again by a later
// run, but not paired otherwise within one).
#pragma once

#include "reader/report_reader.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// A thread of a report, numbered by the order of its first entry.
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
};

struct ReportFacts {
    std::string path;
    bool readable;       // false: it could not be opened or read through
    std::string failure; // why, when not readable
    uint64_t entries;
    std::vector<ReportThread> threads;
    std::vector<ReportRun> runs;
    std::vector<ReadProblem> problems; // the lowest lines first, MAX_PROBLEMS_KEPT at most
    uint64_t problemCount;
    std::vector<ReadProblem> notes; // what an editor did, passed over
};

inline constexpr size_t MAX_PROBLEMS_KEPT = 100;

inline bool IsWellFormed(const ReportFacts &facts) {
    return facts.readable && facts.problemCount == 0;
}

// The run being read: its threads, with their windows where known.
struct RunState {
    int threads;
    uint32_t ids[2];
    uint32_t windows[2];
    bool windowKnown[2];
};

struct ReportInput {
    ReportFacts facts;
    FILE *file;
    ReportReader reader;
    RunState run;
    std::unordered_map<uint64_t, size_t> threadOf; // a run's thread id's index in facts.threads
    std::vector<bool> passDone;                    // each thread's, once all are known
    bool firstPassDone;                            // every thread is known
    bool firstPassRead;    // the first pass read whole the entries of thread 0's id
    bool firstPassReadAll; // it read every entry whole
    // The thread of the pass under way: from the start, thread 0, whose
    // entries the first pass takes unless it is read through without them.
    size_t thread;
    uint64_t seen;   // its entries met in this pass, whole or not
    bool afterEntry; // what this pass took last was one of its entries
};

// Opens a report: a path, or "-" for standard input. For summary and diff
// (mustSeek), input that cannot seek is first copied to a temporary file.
// False when it cannot be opened; facts.failure says why.
bool OpenInput(ReportInput &input, const std::string &path, bool mustSeek);

void CloseInput(ReportInput &input);

// Reads and checks the report whole in one pass.
void ReadWholeInput(ReportInput &input);

// Takes the next whole entry of thread number `thread` (0 for the first to
// appear), or returns false when it has no more. Thread 0's pass reads the
// report to its end and notes every thread; each thread is taken once, in any
// order after thread 0's pass.
bool NextThreadEntry(ReportInput &input, size_t thread, ReadEntry &entry);

// Reads the first pass to its end without taking thread 0's entries, so that
// every thread and run is known.
void FinishFirstPass(ReportInput &input);

// Reads every pass not yet read, so that the facts are whole.
void FinishReading(ReportInput &input);

// The first whole entries of a thread, at most `most`, read again without
// noting anything; the passes go on as they were.
std::vector<ReadEntry> FirstEntries(ReportInput &input, size_t thread, size_t most);

// Lets every thread's pass be read again, as when threads are paired anew
// after the first pass took thread 0's entries: that pass noted what it read,
// and a pass of thread 0's id notes nothing again.
void ReadPassesAgain(ReportInput &input);

// The first pass reading every entry whole: the next entry with its thread,
// whole or not; false at the end. Problems are noted as they are met.
bool NextEntryOfFirstPass(ReportInput &input, ReadEntry &entry, size_t &thread);

// Starts reading the report again from its start, as if just opened.
void RestartInput(ReportInput &input);
