// One thread's entries, read in order from where the index says the thread
// starts, passing over the other threads' entries unchecked. A cursor owns
// its position and notes nothing: the index has every fact already.
#pragma once

#include "index/report_index.h"

// What a cursor gives next:
// - Entry: a whole entry of the thread;
// - BadEntry: an entry with every line in its place but a bad value, which
//   is not compared; the entries after it still line up;
// - Stop: an entry of the thread cut short, or lines whose thread cannot be
//   read (an entry of this thread may be among them): past it, entries no
//   longer line up, though the cursor reads on when asked;
// - Failed: the file could not be read again as the index read it (a read
//   error, or the report changed);
// - End: the thread has no more entries.
enum class CursorStatus { Entry, BadEntry, Stop, Failed, End };

struct ThreadCursor {
    ReportReader reader;
    uint32_t id;
    uint64_t left; // entries of the thread not yet given, whole or not
    bool failed;
};

// A cursor at the first entry of a thread of a report open as `file`, or,
// with text (the tests'), of a report held in memory.
void OpenThreadCursor(ThreadCursor &cursor, FILE *file, const ReportThread &thread);
void OpenThreadCursorOnText(ThreadCursor &cursor, const char *text, size_t size,
                            const ReportThread &thread);

// The next entry; problem says why on BadEntry, Stop and Failed.
CursorStatus NextThreadEntry(ThreadCursor &cursor, ReadEntry &entry, ReadProblem &problem);
