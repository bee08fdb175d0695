// Reads a report entry by entry, in constant memory whatever the file's size,
// checking every line's form. Lines may end in CR LF (as the tool writes
// them) or in LF alone. Each malformed stretch is one problem with its line
// number and reason; reading then goes on at the next entry.
#pragma once

#include "report/report_format.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct ReadBlock {
    bool present;  // false for a "(null)" block
    uint64_t line; // its first line
    uint32_t values[BLOCK_MEMBER_COUNT];
    char faceName[FACE_NAME_TEXT_MAX + 1];
};

struct ReadEntry {
    uint64_t line;   // its separator line
    uint64_t offset; // of its separator line
    uint32_t threadId;
    uint32_t windows[3];  // hwnd, hButton, hEdit
    uint32_t contexts[3]; // hIMC1, hIMC2, hIMC3
    uint32_t availPhys[3];
    uint32_t availVirtual[3];
    ReadBlock blocks[3];
};

struct ReadProblem {
    uint64_t line;
    std::string reason;
    bool inEntry; // found after the entry's thread line: a problem of that thread
};

// Passed: an entry of another thread than the one asked for, passed over
// unchecked; only its line, offset and thread id are set.
enum class ReadStatus { Entry, Passed, Problem, End };

struct ReportReader {
    FILE *file;               // null when reading text in memory
    std::vector<char> buffer; // a file's window of bytes
    const char *data;         // the bytes at hand: the buffer or the text
    size_t size;
    size_t position;
    bool atEnd; // nothing more to read beyond size
    uint64_t lineNumber;
    uint64_t byteOffset;   // of data[0] in the file
    uint64_t lineOffset;   // of the line taken last by itself, not read in place or passed over
    bool separatorPending; // the line taken last starts the next entry
    uint64_t pendingOffset;
    // When set, entries of other threads are passed over without checking.
    bool onlyOneThread;
    uint32_t onlyThreadId;
};

// A file is read through a window this large; a longer line is malformed.
inline constexpr size_t REPORT_READ_WINDOW = 1 << 18;

// Opens a report file; on failure says why in error (the system's reason).
// The tests give a small window, so that lines cross its end often.
bool OpenReportFile(ReportReader &reader, const std::string &path, std::string &error,
                    size_t window = REPORT_READ_WINDOW);

// Reads a report held in memory, which must outlive the reader.
void OpenReportText(ReportReader &reader, const char *text, size_t size);

void CloseReport(ReportReader &reader);

// Starts reading again at a byte offset where an entry begins, at that line.
bool SeekReport(ReportReader &reader, uint64_t offset, uint64_t lineNumber);

// Reads the next entry, or the next malformed stretch as a problem.
ReadStatus ReadNextEntry(ReportReader &reader, ReadEntry &entry, ReadProblem &problem);

// The text of member m of a present block, as the report shows it.
std::string MemberText(const ReadBlock &block, int m);
