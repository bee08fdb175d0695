// A report's whole entries, kept as the index reads them in a scratch file
// that the system removes, so that diff reads each thread's entries again
// from there rather than reading and checking the report's text again: about
// a sixth of the text's size on disk, nothing more in memory. Only a run
// without problems is read from it, where every entry of a thread is whole
// and a cursor over the text would give exactly these entries; any other is
// read by cursors. Without room for it, diff reads the text again.
#pragma once

#include "index/report_index.h"
#include "index/thread_cursor.h"

#include <cstdint>

// A watcher that writes each whole entry the index reads to the spill, which
// it opens; the spill must outlive the indexing.
EntryWatcher SpillWatcher(EntrySpill &spill);

// Ends the writing, and lets go of a spill that could not be written whole.
void FinishSpill(EntrySpill &spill);

// Whether the entries of a run can be read from the spill.
bool CanReadSpilled(const EntrySpill &spill, const ReportFacts &facts, size_t run);

struct SpillCursor {
    FILE *file;
    size_t thread; // its index in the report's threads
    uint64_t left;
    bool failed;
    int error; // errno of the failed read, or 0 when the spill ended early
};

// Reads again the entries of a thread (its index in facts.threads) that the
// spill holds; gives Entry for each, then End, as a cursor over the text of
// a run without problems does; Failed when the spill cannot be read back.
void OpenSpillCursor(SpillCursor &cursor, const EntrySpill &spill, const ReportFacts &facts,
                     size_t thread);
CursorStatus NextSpilledEntry(SpillCursor &cursor, ReadEntry &entry, ReadProblem &problem);
