#include "reader/report_reader.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>

// A file is read through a window this large; a longer line is malformed.
static const size_t READ_WINDOW = 1 << 18;

struct LineForms {
    std::string nullBlock[3];                   // "pic1: (null)"
    std::string members[3][BLOCK_MEMBER_COUNT]; // "pic1->hWnd: "
    std::string header[3][4];                   // "hwnd:", ", hIMC1:", ", dwAP1:0x", ", dwAV1:0x"
};

static const LineForms &Forms() {
    static const LineForms forms = [] {
        LineForms made;
        for (int n = 0; n < 3; n++) {
            std::string label = BlockLabels[n];
            std::string number = std::to_string(n + 1);
            made.nullBlock[n] = label + ": " REPORT_NULL_BLOCK;
            for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
                made.members[n][m] = label + "->" + BlockMembers[m].path + ": ";
            }
            made.header[n][0] = std::string(WindowLabels[n]) + ":";
            made.header[n][1] = ", hIMC" + number + ":";
            made.header[n][2] = ", dwAP" + number + ":0x";
            made.header[n][3] = ", dwAV" + number + ":0x";
        }
        return made;
    }();
    return forms;
}

// Keeps the unread bytes and fills the rest of the window from the file.
static void Refill(ReportReader &reader) {
    size_t kept = reader.size - reader.position;
    memmove(reader.buffer.data(), reader.buffer.data() + reader.position, kept);
    reader.byteOffset += reader.position;
    reader.position = 0;
    size_t got = fread(reader.buffer.data() + kept, 1, reader.buffer.size() - kept, reader.file);
    reader.size = kept + got;
    if (got == 0) {
        reader.atEnd = true;
    }
}

bool OpenReportFile(ReportReader &reader, const std::string &path, std::string &error) {
    reader = ReportReader{};
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = "is a directory";
        return false;
    }
    reader.file = fopen(path.c_str(), "rb");
    if (reader.file == nullptr) {
        error = strerror(errno);
        return false;
    }
    reader.buffer.resize(READ_WINDOW);
    reader.data = reader.buffer.data();
    reader.lineNumber = 1;
    Refill(reader);
    if (ferror(reader.file)) {
        error = strerror(errno);
        CloseReport(reader);
        return false;
    }
    return true;
}

void OpenReportText(ReportReader &reader, const char *text, size_t size) {
    reader = ReportReader{};
    reader.data = text;
    reader.size = size;
    reader.atEnd = true;
    reader.lineNumber = 1;
}

void CloseReport(ReportReader &reader) {
    if (reader.file != nullptr) {
        fclose(reader.file);
        reader.file = nullptr;
    }
}

bool SeekReport(ReportReader &reader, uint64_t offset, uint64_t lineNumber) {
    reader.separatorPending = false;
    reader.lineNumber = lineNumber;
    if (reader.file == nullptr) {
        reader.position = offset;
        return offset <= reader.size;
    }
    reader.size = 0;
    reader.position = 0;
    reader.atEnd = false;
    reader.byteOffset = offset;
    clearerr(reader.file);
#ifdef _WIN32
    return _fseeki64(reader.file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(reader.file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

enum class LineStatus { Line, End, TooLong, Unended };

// Takes the next line without its line end. A line with no end before the
// report's end is Unended; one longer than the window is TooLong, and is
// passed over.
static LineStatus NextLine(ReportReader &reader, std::string_view &line) {
    for (;;) {
        const char *start = reader.data + reader.position;
        size_t left = reader.size - reader.position;
        const char *end = static_cast<const char *>(memchr(start, '\n', left));
        if (end != nullptr) {
            reader.lineOffset = reader.byteOffset + reader.position;
            size_t length = static_cast<size_t>(end - start);
            reader.position += length + 1;
            reader.lineNumber++;
            if (length > 0 && start[length - 1] == '\r') {
                length--;
            }
            line = std::string_view(start, length);
            return LineStatus::Line;
        }
        if (reader.atEnd) {
            if (left == 0) {
                return LineStatus::End;
            }
            reader.position = reader.size;
            line = std::string_view(start, left);
            return LineStatus::Unended;
        }
        if (left == reader.buffer.size()) {
            // Pass over the rest of an overlong line, window by window.
            do {
                reader.position = reader.size;
                Refill(reader);
                end = static_cast<const char *>(memchr(reader.data, '\n', reader.size));
            } while (end == nullptr && !reader.atEnd);
            reader.position =
                end != nullptr ? static_cast<size_t>(end - reader.data) + 1 : reader.size;
            reader.lineNumber++;
            return LineStatus::TooLong;
        }
        Refill(reader);
    }
}

static bool IsSeparator(std::string_view line) {
    static const size_t length = sizeof REPORT_SEPARATOR - 1;
    return line.size() == length && memcmp(line.data(), REPORT_SEPARATOR, length) == 0;
}

static int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Eight upper-case hex digits, as every handle and flag word is written.
static inline bool ParseHex8(std::string_view text, uint32_t &value) {
    if (text.size() != 8) {
        return false;
    }
    uint32_t result = 0;
    for (char c : text) {
        int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        result = result << 4 | static_cast<uint32_t>(digit);
    }
    value = result;
    return true;
}

// A decimal as the tool writes it: no sign but '-', no leading zero, no "-0".
static inline bool ParseDecimal(std::string_view text, bool negativeAllowed, uint64_t limit,
                                uint32_t &value) {
    bool negative = negativeAllowed && !text.empty() && text[0] == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10 || (text[0] == '0' && (text.size() > 1 || negative))) {
        return false;
    }
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        result = result * 10 + static_cast<uint64_t>(c - '0');
    }
    if (result > limit + (negative ? 1 : 0)) {
        return false;
    }
    value = static_cast<uint32_t>(negative ? 0 - result : result);
    return true;
}

static inline bool ParseValue(ValueKind kind, std::string_view text, uint32_t &value,
                              char *faceName) {
    switch (kind) {
    case ValueKind::Handle:
        return ParseHex8(text, value);
    case ValueKind::Hex:
        return text.size() == 10 && text[0] == '0' && text[1] == 'x' &&
               ParseHex8(text.substr(2), value);
    case ValueKind::Signed:
        return ParseDecimal(text, true, 2147483647, value);
    case ValueKind::Byte:
        return ParseDecimal(text, false, 255, value);
    case ValueKind::Text:
        if (text.size() > FACE_NAME_TEXT_MAX) {
            return false;
        }
        for (unsigned char c : text) {
            if (c < 0x20 || c == 0x7F) {
                return false;
            }
        }
        memcpy(faceName, text.data(), text.size());
        faceName[text.size()] = '\0';
        value = 0;
        return true;
    }
    return false;
}

// Matches a literal at the front of text, taking it off.
static bool Take(std::string_view &text, const std::string &literal) {
    if (text.size() < literal.size() || memcmp(text.data(), literal.data(), literal.size()) != 0) {
        return false;
    }
    text.remove_prefix(literal.size());
    return true;
}

static bool TakeHex8(std::string_view &text, uint32_t &value) {
    if (text.size() < 8 || !ParseHex8(text.substr(0, 8), value)) {
        return false;
    }
    text.remove_prefix(8);
    return true;
}

static bool ParseThreadLine(std::string_view line, uint32_t &threadId) {
    static const std::string label = REPORT_THREAD_LABEL ":0x";
    return Take(line, label) && ParseHex8(line, threadId);
}

static bool ParseHeaderLine(std::string_view line, int n, ReadEntry &entry) {
    const std::string *pieces = Forms().header[n];
    return Take(line, pieces[0]) && TakeHex8(line, entry.windows[n]) && Take(line, pieces[1]) &&
           TakeHex8(line, entry.contexts[n]) && Take(line, pieces[2]) &&
           TakeHex8(line, entry.availPhys[n]) && Take(line, pieces[3]) &&
           ParseHex8(line, entry.availVirtual[n]);
}

static std::string Quoted(std::string_view line) {
    std::string text;
    for (unsigned char c : line.substr(0, 80)) {
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return "\"" + text + (line.size() > 80 ? "\"..." : "\"");
}

// Passes over lines up to the next separator, which starts the next entry.
static void SkipToNextEntry(ReportReader &reader) {
    std::string_view line;
    for (;;) {
        LineStatus status = NextLine(reader, line);
        if (status == LineStatus::End || status == LineStatus::Unended) {
            return;
        }
        if (status == LineStatus::Line && IsSeparator(line)) {
            reader.separatorPending = true;
            reader.pendingOffset = reader.lineOffset;
            return;
        }
    }
}

static ReadStatus Fail(ReadProblem &problem, uint64_t line, std::string reason) {
    problem.line = line;
    problem.reason = std::move(reason);
    return ReadStatus::Problem;
}

// The next line when the window holds it whole: the common case, kept short.
static inline bool TakeLine(ReportReader &reader, std::string_view &line) {
    const char *start = reader.data + reader.position;
    const char *end = static_cast<const char *>(memchr(start, '\n', reader.size - reader.position));
    if (end == nullptr) {
        return false;
    }
    size_t length = static_cast<size_t>(end - start);
    reader.lineOffset = reader.byteOffset + reader.position;
    reader.position += length + 1;
    reader.lineNumber++;
    if (length > 0 && start[length - 1] == '\r') {
        length--;
    }
    line = std::string_view(start, length);
    return true;
}

// ExpectLine when the window does not hold the next line whole.
static bool ExpectLineSlowly(ReportReader &reader, const ReadEntry &entry, int &linesRead,
                             std::string_view &line, ReadProblem &problem) {
    LineStatus status = NextLine(reader, line);
    switch (status) {
    case LineStatus::Line:
        linesRead++;
        return true;
    case LineStatus::End:
        Fail(problem, entry.line,
             "last entry cut short after " + std::to_string(linesRead) + " lines");
        return false;
    case LineStatus::Unended:
        Fail(problem, reader.lineNumber,
             "last entry (line " + std::to_string(entry.line) +
                 ") cut short in the middle of a line");
        return false;
    case LineStatus::TooLong:
        Fail(problem, reader.lineNumber - 1, "line too long");
        SkipToNextEntry(reader);
        return false;
    }
    return false;
}

// The line expected next in an entry: its text, or why there is none.
static inline bool ExpectLine(ReportReader &reader, const ReadEntry &entry, int &linesRead,
                              std::string_view &line, ReadProblem &problem) {
    if (TakeLine(reader, line)) {
        linesRead++;
        return true;
    }
    return ExpectLineSlowly(reader, entry, linesRead, line, problem);
}

// A line of an entry that is not what it should be. A separator there means
// the entry was cut short and the next one begins.
static ReadStatus Unexpected(ReportReader &reader, const ReadEntry &entry, int linesRead,
                             std::string_view line, ReadProblem &problem,
                             const std::string &reason) {
    if (IsSeparator(line)) {
        reader.separatorPending = true;
        reader.pendingOffset = reader.lineOffset;
        return Fail(problem, entry.line,
                    "entry cut short after " + std::to_string(linesRead - 1) +
                        " lines: the next entry starts at line " +
                        std::to_string(reader.lineNumber - 1));
    }
    Fail(problem, reader.lineNumber - 1, reason);
    SkipToNextEntry(reader);
    return ReadStatus::Problem;
}

static ReadStatus ReadBlockLines(ReportReader &reader, ReadEntry &entry, int n, int &linesRead,
                                 ReadProblem &problem) {
    const LineForms &forms = Forms();
    ReadBlock &block = entry.blocks[n];
    std::string_view line;
    if (!ExpectLine(reader, entry, linesRead, line, problem)) {
        return ReadStatus::Problem;
    }
    block.line = reader.lineNumber - 1;
    if (line == forms.nullBlock[n]) {
        block.present = false;
        return ReadStatus::Entry;
    }
    block.present = true;
    for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
        if (m > 0 && !ExpectLine(reader, entry, linesRead, line, problem)) {
            return ReadStatus::Problem;
        }
        std::string_view value = line;
        if (!Take(value, forms.members[n][m])) {
            std::string expected = m == 0 ? forms.members[n][m] + "... or " + forms.nullBlock[n]
                                          : forms.members[n][m] + "...";
            return Unexpected(reader, entry, linesRead, line, problem,
                              "expected " + expected + ", found " + Quoted(line));
        }
        if (!ParseValue(BlockMembers[m].kind, value, block.values[m], block.faceName)) {
            return Unexpected(reader, entry, linesRead, line, problem,
                              std::string("bad value for ") + BlockLabels[n] + "->" +
                                  BlockMembers[m].path + ": " + Quoted(value));
        }
    }
    return ReadStatus::Entry;
}

// The first line of an entry: skips and reports anything that is not one.
static ReadStatus FindEntry(ReportReader &reader, ReadEntry &entry, ReadProblem &problem) {
    if (reader.separatorPending) {
        reader.separatorPending = false;
        entry.offset = reader.pendingOffset;
    } else {
        std::string_view line;
        LineStatus status = NextLine(reader, line);
        if (status == LineStatus::End) {
            return ReadStatus::End;
        }
        if (status != LineStatus::Line || !IsSeparator(line)) {
            uint64_t number = reader.lineNumber - 1;
            if (status == LineStatus::Unended) {
                return Fail(problem, reader.lineNumber, "the report ends in the middle of a line");
            }
            SkipToNextEntry(reader);
            return Fail(problem, number,
                        status == LineStatus::TooLong
                            ? std::string("line too long, outside any entry")
                            : "expected the separator line that starts an entry, found " +
                                  Quoted(line));
        }
        entry.offset = reader.lineOffset;
    }
    entry.line = reader.lineNumber - 1;
    return ReadStatus::Entry;
}

ReadStatus ReadNextEntry(ReportReader &reader, ReadEntry &entry, ReadProblem &problem) {
    problem.inEntry = false;
    ReadStatus found = FindEntry(reader, entry, problem);
    if (found != ReadStatus::Entry) {
        return found;
    }
    std::string_view line;
    int linesRead = 1;
    if (!ExpectLine(reader, entry, linesRead, line, problem)) {
        return ReadStatus::Problem;
    }
    if (!ParseThreadLine(line, entry.threadId)) {
        return Unexpected(reader, entry, linesRead, line, problem,
                          "expected " REPORT_THREAD_LABEL ":0x<8 hex digits>, found " +
                              Quoted(line));
    }
    if (reader.onlyOneThread && entry.threadId != reader.onlyThreadId) {
        SkipToNextEntry(reader);
        return ReadStatus::Passed;
    }
    problem.inEntry = true;
    for (int n = 0; n < 3; n++) {
        if (!ExpectLine(reader, entry, linesRead, line, problem)) {
            return ReadStatus::Problem;
        }
        if (!ParseHeaderLine(line, n, entry)) {
            return Unexpected(reader, entry, linesRead, line, problem,
                              "expected " + Forms().header[n][0] + "<handle>" +
                                  Forms().header[n][1] + "<handle>, found " + Quoted(line));
        }
    }
    for (int n = 0; n < 3; n++) {
        if (ReadBlockLines(reader, entry, n, linesRead, problem) != ReadStatus::Entry) {
            return ReadStatus::Problem;
        }
    }
    return ReadStatus::Entry;
}

std::string MemberText(const ReadBlock &block, int m) {
    if (BlockMembers[m].kind == ValueKind::Text) {
        return block.faceName;
    }
    char text[VALUE_TEXT_SIZE];
    FormatValue(BlockMembers[m].kind, block.values[m], text);
    return text;
}
