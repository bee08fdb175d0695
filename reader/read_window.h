// A window of a report's bytes, refilled from its file as reading moves on,
// so that a report of any size is read in constant memory, line by line. A
// regular file is read in place through a mapped stretch; any other input
// is copied into the buffer. Either way the window holds at most `capacity`
// bytes from the first unread one, so a line is too long at the same length.
//
// Invariants: data[0, size) are the file's bytes from byteOffset on, and
// data[position] is the next byte to read (position <= size); atEnd when no
// byte lies beyond size; lineNumber is the number of the line that holds
// data[position]. A failed read or seek sets error and ends the bytes there.
#pragma once

#include "files/mapped_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

struct ReadWindow {
    FILE *file; // null for text held in memory; not owned
    size_t capacity;
    bool mapped; // the file is read through `stretch`, else into `buffer`
    MappedStretch stretch;
    std::vector<char> buffer; // a copied file's bytes at hand
    const char *data;         // the buffer, the mapped stretch, or the text
    size_t size;
    size_t position;
    bool atEnd;
    int error;    // errno of a failed read or seek, else 0
    bool endless; // a line ran on past MAX_LINE_PASSED bytes: reading stopped there
    uint64_t byteOffset;
    uint64_t lineNumber;
    uint64_t lineOffset; // of the line taken last
};

// A file is read through a window this large; a longer line is malformed.
inline constexpr size_t REPORT_READ_WINDOW = 1 << 18;

// A line longer than this is taken for input that is no report at all (such
// as /dev/zero), and nothing after it is read.
inline constexpr uint64_t MAX_LINE_PASSED = uint64_t{64} << 20;

// Reads a file from where it stands; the tests give a small window, so that
// lines cross its end often.
void OpenFileWindow(ReadWindow &window, FILE *file, size_t capacity = REPORT_READ_WINDOW);

// Reads text held in memory, which must outlive the window.
void OpenTextWindow(ReadWindow &window, const char *text, size_t size);

// Keeps the unread bytes and fills the rest of the window from the file.
void Refill(ReadWindow &window);

// Starts again at a byte offset where a line begins, with that line's number.
bool SeekWindow(ReadWindow &window, uint64_t offset, uint64_t lineNumber);

// Takes the next line, without its line end (LF, or CR LF), when the window
// holds it whole: the common case, kept short.
inline bool TakeLine(ReadWindow &window, std::string_view &line) {
    const char *start = window.data + window.position;
    const char *end = static_cast<const char *>(memchr(start, '\n', window.size - window.position));
    if (end == nullptr) {
        return false;
    }
    size_t length = static_cast<size_t>(end - start);
    window.lineOffset = window.byteOffset + window.position;
    window.position += length + 1;
    window.lineNumber++;
    if (length > 0 && start[length - 1] == '\r') {
        length--;
    }
    line = std::string_view(start, length);
    return true;
}

enum class LineStatus { Line, End, TooLong, Unended };

// Takes the next line, refilling the window as needed. A line with no end
// before the report's end is Unended; one longer than the window is TooLong
// and is passed over (endless when it runs past MAX_LINE_PASSED).
LineStatus NextLine(ReadWindow &window, std::string_view &line);
