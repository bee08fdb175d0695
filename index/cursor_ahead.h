// A thread's cursor read on a thread of its own, a bounded number of entries
// ahead of the one who takes them, so that diff reads its two reports at
// once on two cores. It gives exactly what the cursor gives, in order.
#pragma once

#include "index/thread_cursor.h"

#include <condition_variable>
#include <mutex>
#include <thread>

// Entries read ahead and not yet taken, at most.
inline constexpr size_t CURSOR_AHEAD_ENTRIES = 64;

struct CursorAheadSlot {
    CursorStatus status;
    ReadEntry entry;
    ReadProblem problem;
};

struct CursorAhead {
    ThreadCursor cursor;
    std::mutex lock;
    std::condition_variable changed;
    CursorAheadSlot slots[CURSOR_AHEAD_ENTRIES];
    size_t taken; // slots[taken % size] is the next to take
    size_t read;  // slots[read % size] is the next to fill
    bool done;    // the cursor gave End or Failed, the last slot filled
    bool abandoned;
    std::thread reader;

    ~CursorAhead();
};

// Starts reading a thread of a report open as `file` ahead. The file is the
// reading thread's until StopCursorAhead.
void StartCursorAhead(CursorAhead &ahead, FILE *file, const ReportThread &thread);

// The next entry, as NextThreadEntry gives it; End or Failed again past the end.
CursorStatus NextAheadEntry(CursorAhead &ahead, ReadEntry &entry, ReadProblem &problem);

// Abandons what is not taken and waits for the reading thread to end.
void StopCursorAhead(CursorAhead &ahead);
