// Reads a report entry by entry, in constant memory whatever the file's size,
// checking every line's form. Lines may end in CR LF (as the tool writes
// them) or in LF alone. Each malformed stretch is one problem with its line
// number and reason; reading then goes on at the next entry.
#pragma once

#include "reader/read_window.h"
#include "report/report_format.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

struct ReadBlock {
    bool present;  // false for a "(null)" block
    uint64_t line; // its first line
    uint32_t values[BLOCK_MEMBER_COUNT];
    char faceName[FACE_NAME_TEXT_MAX + 1];
};

struct ReadEntry {
    uint64_t line;   // its separator line
    uint64_t offset; // of its separator line
    uint32_t header[HEADER_FIELD_COUNT];
    bool windowKnown; // its window's line was read: header[WindowField(0, 0)] is set
    ReadBlock blocks[3];
};

// Where a problem lies: among lines that belong to no entry (before the next
// separator), in an entry whose thread line is missing or bad, or in an entry
// of a known thread (then with that thread and the entry's first line).
enum class ProblemPlace { OutsideEntries, UnknownThread, InEntry };

struct ReadProblem {
    uint64_t line;
    std::string reason;
    ProblemPlace place;
    uint32_t threadId;
    uint64_t entryLine;
    uint64_t entryOffset;
    bool windowKnown; // as ReadEntry's
    uint32_t window;
    // An entry of every line in its place, whose only fault is a bad value
    // (of a block's member): the entries after it still line up.
    bool wholeEntry;
};

// Problem: a malformed stretch, or an entry whole but for a bad value
// (problem.wholeEntry; entry then holds its other values). Passed: an entry of another thread than
// the one asked for, passed over unchecked; only its line, offset, thread id and, when its next
// line reads, its window are set.
enum class ReadStatus { Entry, Passed, Problem, End };

struct ReportReader {
    ReadWindow window;
    bool separatorPending; // the line taken last starts the next entry
    uint64_t pendingOffset;
    // What editors do to a report, passed over: a UTF-8 byte-order mark
    // before the first line, and blank lines at the end (from this line on).
    bool byteOrderMark;
    uint64_t blankLinesAtEnd;
};

// Which entries are read whole: every thread's, or one thread's only.
enum class ThreadsRead { Every, One };
struct ThreadFilter {
    ThreadsRead read;
    uint32_t threadId; // the one read
};
inline constexpr ThreadFilter EVERY_THREAD = {ThreadsRead::Every, 0};

// Reads a file from its start; it stays open and is the caller's to close.
void OpenReportFile(ReportReader &reader, FILE *file, size_t window = REPORT_READ_WINDOW);

// Reads a report held in memory, which must outlive the reader.
void OpenReportText(ReportReader &reader, const char *text, size_t size);

// Starts reading again at a byte offset where an entry begins, at that line.
bool SeekReport(ReportReader &reader, uint64_t offset, uint64_t lineNumber);

// Reads the next entry, or the next malformed stretch as a problem; entries
// of threads the filter leaves out are passed over.
ReadStatus ReadNextEntry(ReportReader &reader, const ThreadFilter &filter, ReadEntry &entry,
                         ReadProblem &problem);
