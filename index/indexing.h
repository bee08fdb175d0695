// The index as it is made, item by item in the order of the report: read
// in one pass, or in chunks on two threads and counted in order.
#pragma once

#include "index/report_index.h"

// The run being read: its threads, with their windows where known.
struct RunState {
    int threads;
    uint32_t ids[2];
    uint32_t windows[2];
    bool windowKnown[2];
};

// An entry as the index places it: its thread and, when its window line
// reads, its window.
struct EntryPlace {
    uint32_t id;
    bool windowKnown;
    uint32_t window;
    uint64_t line;
    uint64_t offset;
};

struct Indexing {
    ReportFacts facts;
    RunState run;
    // The run's threads' indexes in facts.threads, as run.ids.
    size_t threadOf[2];
    // The last entry of the run before the current one.
    bool hasLastOfPrevious;
    EntryPlace lastOfPrevious;
    EntryPlace last;
};

void StartIndexing(Indexing &indexing, const std::string &path);

// Places an entry in its run and thread; returns the thread's index.
size_t CountEntry(Indexing &indexing, const EntryPlace &entry);

// One item as the reader gave it: a whole entry, which the watcher is handed
// too, or a problem.
void CountItem(Indexing &indexing, ReadStatus status, const ReadEntry &entry, ReadProblem &problem,
               const EntryWatcher *watcher);

// What the reader noted on its way: a byte-order mark, blank lines at the
// end (their first line), a read error.
struct ReadingEnd {
    bool byteOrderMark;
    uint64_t blankLinesAtEnd;
    int error;
};

inline ReadingEnd EndOf(const ReportReader &reader) {
    return {reader.byteOrderMark, reader.blankLinesAtEnd, reader.window.error};
}

ReportFacts FinishIndexing(Indexing &indexing, const ReadingEnd &end);
