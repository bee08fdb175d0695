// A report opened for the commands, read thread by thread: each pass takes
// one thread's entries in order and passes over the others' unchecked, so
// that every entry is checked once and none is held in memory.
#pragma once

#include "reader/report_reader.h"

#include <cstdint>
#include <string>
#include <vector>

// A thread of a report, numbered by the order of its first entry.
struct ReportThread {
    uint32_t id;
    uint64_t entries; // whole or not
    uint64_t firstOffset;
    uint64_t firstLine;
};

struct ReportInput {
    std::string path;
    ReportReader reader;
    std::vector<ReportThread> threads;
    uint64_t entries;
    std::vector<ReadProblem> problems; // the first MAX_PROBLEMS_KEPT of them
    uint64_t problemCount;
    size_t thread;          // the thread of the pass under way
    uint64_t seen;          // its entries met in this pass, whole or not
    bool afterEntry;        // what this pass took last was one of its entries
    bool firstPassDone;     // every thread is known
    uint32_t firstThreadId; // the thread checked in the first pass
};

inline constexpr size_t MAX_PROBLEMS_KEPT = 100;

// Opens a report; on failure, error says why.
bool OpenInput(ReportInput &input, const std::string &path, std::string &error);

void CloseInput(ReportInput &input);

// Takes the next whole entry of thread number `thread` (0 for the first
// thread to appear), or returns false when it has no more. Threads are taken
// in order, each once. Thread 0's pass reads the report to its end and notes
// every thread and every problem outside the entries' bodies; each pass notes
// the problems in its own thread's entries.
bool NextThreadEntry(ReportInput &input, size_t thread, ReadEntry &entry);

// Ends the first pass without taking thread 0's entries, so that threads can
// be taken in another order (each still once).
void FinishFirstPass(ReportInput &input);

// Puts the threads named in `first` (0-based, each once) first, in that
// order, the others after them in theirs; false with a reason when a thread
// is named twice or does not exist. Ends the first pass.
bool ReorderThreads(ReportInput &input, const std::vector<size_t> &first, std::string &error);

// Reads and checks the report whole in one pass, noting threads and problems.
void ReadWholeInput(ReportInput &input);
