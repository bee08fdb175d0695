// A report opened for the commands: read once whole, checking every entry
// and noting its threads, then again thread by thread, so that each thread's
// entries are taken in order without holding any of them in memory.
#pragma once

#include "reader/report_reader.h"

#include <cstdint>
#include <string>
#include <vector>

// A thread of a report, numbered by the order of its first entry.
struct ReportThread {
    uint32_t id;
    uint64_t entries;
    uint64_t firstOffset; // of its first entry
    uint64_t firstLine;
};

struct ReportInput {
    std::string path;
    ReportReader reader;
    std::vector<ReportThread> threads;
    uint64_t entries;
    std::vector<ReadProblem> problems; // the first MAX_PROBLEMS_KEPT of them
    uint64_t problemCount;
    // The thread whose entries are taken now; the whole report while reading
    // the first one.
    size_t thread;
    uint64_t taken; // entries of it taken so far
    bool wholeRead;
};

inline constexpr size_t MAX_PROBLEMS_KEPT = 100;

// Opens a report; on failure, error says why.
bool OpenInput(ReportInput &input, const std::string &path, std::string &error);

void CloseInput(ReportInput &input);

// Takes the next entry of thread number `thread` (0 for the first thread to
// appear). Threads are taken in order, each once. While thread 0 is taken,
// the report is read whole: every entry is checked and every thread noted;
// once it returns false for thread 0, threads and problems are complete.
bool NextThreadEntry(ReportInput &input, size_t thread, ReadEntry &entry);

// Reads the report whole, as NextThreadEntry does for thread 0.
void ReadWholeInput(ReportInput &input);
