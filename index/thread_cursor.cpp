#include "index/thread_cursor.h"

#include <cstring>

static void Seek(ThreadCursor &cursor, const ReportThread &thread) {
    cursor.id = thread.id;
    cursor.left = thread.entries;
    cursor.failed = !SeekReport(cursor.reader, thread.firstOffset, thread.firstLine);
}

void OpenThreadCursor(ThreadCursor &cursor, FILE *file, const ReportThread &thread) {
    OpenReportFile(cursor.reader, file);
    Seek(cursor, thread);
}

void OpenThreadCursorOnText(ThreadCursor &cursor, const char *text, size_t size,
                            const ReportThread &thread) {
    OpenReportText(cursor.reader, text, size);
    Seek(cursor, thread);
}

static CursorStatus Failed(ThreadCursor &cursor, ReadProblem &problem) {
    int error = cursor.reader.window.error;
    problem = {};
    problem.reason = error != 0 ? std::string("read error: ") + strerror(error)
                                : "the report changed while it was read";
    cursor.failed = true;
    cursor.left = 0;
    return CursorStatus::Failed;
}

CursorStatus NextThreadEntry(ThreadCursor &cursor, ReadEntry &entry, ReadProblem &problem) {
    if (cursor.failed) {
        return Failed(cursor, problem);
    }
    ThreadFilter filter = {ThreadsRead::One, cursor.id};
    // The index counted the thread's entries: nothing is read past its last.
    while (cursor.left > 0) {
        ReadStatus status = ReadNextEntry(cursor.reader, filter, entry, problem);
        switch (status) {
        case ReadStatus::End:
            return Failed(cursor, problem);
        case ReadStatus::Passed:
            continue;
        case ReadStatus::Entry:
            cursor.left--;
            return CursorStatus::Entry;
        case ReadStatus::Problem:
            break;
        }
        // Lines between entries may be an entry whose first line was lost,
        // of any thread: past them, entries no longer surely line up.
        if (problem.place == ProblemPlace::InEntry) {
            cursor.left--;
            if (problem.wholeEntry) {
                return CursorStatus::BadEntry;
            }
        }
        return CursorStatus::Stop;
    }
    return CursorStatus::End;
}
