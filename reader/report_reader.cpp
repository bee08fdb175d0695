#include "reader/report_reader.h"
#include "text/quoted_text.h"

#include <cstring>
#include <string_view>
#include <utility>

struct LineForms {
    std::string nullBlock[3];                   // "pic1: (null)"
    std::string members[3][BLOCK_MEMBER_COUNT]; // "pic1->hWnd: "
    std::string header[HEADER_FIELD_COUNT];     // "hwnd:", ", hIMC1:"...
    std::string headerLine[HEADER_VALUE_LINES]; // what a header line should be, in words
};

static const char *Placeholder(ValueKind kind) {
    return kind == ValueKind::Handle ? "<handle>" : "0x<8 hex digits>";
}

static const LineForms &Forms() {
    static const LineForms forms = [] {
        LineForms made;
        for (int n = 0; n < 3; n++) {
            std::string label = BlockLabels[n];
            made.nullBlock[n] = label + ": " REPORT_NULL_BLOCK;
            for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
                made.members[n][m] = label + "->" + BlockMembers[m].path + ": ";
            }
        }
        for (int h = 0; h < HEADER_FIELD_COUNT; h++) {
            const HeaderField &field = HeaderFields[h];
            bool first = h == 0 || HeaderFields[h - 1].line != field.line;
            made.header[h] = std::string(first ? "" : ", ") + field.label + ":";
            made.headerLine[field.line] += made.header[h] + Placeholder(field.kind);
        }
        return made;
    }();
    return forms;
}

void OpenReportFile(ReportReader &reader, FILE *file, size_t window) {
    reader = ReportReader{};
    OpenFileWindow(reader.window, file, window);
}

void OpenReportText(ReportReader &reader, const char *text, size_t size) {
    reader = ReportReader{};
    OpenTextWindow(reader.window, text, size);
}

bool SeekReport(ReportReader &reader, uint64_t offset, uint64_t lineNumber) {
    reader.separatorPending = false;
    return SeekWindow(reader.window, offset, lineNumber);
}

// The line taken last is a separator: the next entry starts there.
static void KeepSeparator(ReportReader &reader) {
    reader.separatorPending = true;
    reader.pendingOffset = reader.window.lineOffset;
}

static bool IsSeparator(std::string_view line) {
    static const size_t length = sizeof REPORT_SEPARATOR - 1;
    return line.size() == length && memcmp(line.data(), REPORT_SEPARATOR, length) == 0;
}

static inline uint64_t Word(const char *bytes) {
    uint64_t word;
    memcpy(&word, bytes, sizeof word);
    return word;
}

// Whether text is one value of its kind, whole.
static bool ParseWhole(ValueKind kind, std::string_view text, uint32_t &value, char *faceName) {
    const char *end = text.data() + text.size();
    const char *stop = ParseValue(kind, text.data(), end, value, faceName);
    return stop != nullptr && stop == end;
}

// Matches a literal at the front of text, taking it off.
static bool Take(std::string_view &text, const std::string &literal) {
    if (text.size() < literal.size() || memcmp(text.data(), literal.data(), literal.size()) != 0) {
        return false;
    }
    text.remove_prefix(literal.size());
    return true;
}

// Header line `line` (0 the thread line), whole, into the entry's values.
static bool ParseHeaderLine(std::string_view text, int line, ReadEntry &entry) {
    const LineForms &forms = Forms();
    const char *end = text.data() + text.size();
    for (int h = 0; h < HEADER_FIELD_COUNT; h++) {
        if (HeaderFields[h].line != line) {
            continue;
        }
        if (!Take(text, forms.header[h])) {
            return false;
        }
        char unused[FACE_NAME_TEXT_MAX + 1]; // no header value is a text
        const char *stop =
            ParseValue(HeaderFields[h].kind, text.data(), end, entry.header[h], unused);
        if (stop == nullptr) {
            return false;
        }
        text.remove_prefix(static_cast<size_t>(stop - text.data()));
    }
    return text.empty();
}

// A line as a problem quotes it: its first 80 bytes.
static std::string Quoted(std::string_view line) {
    return QuotedText(line.substr(0, 80)) + (line.size() > 80 ? "..." : "");
}

// The first line at or after from (a line start) that begins with a hyphen,
// as a separator does, counting the line ends before it; null when the
// window holds none. Looks at 128 bytes at a time, which the compiler does in
// vector registers, and at single bytes only near such a line.
static const char *NextHyphenLine(const char *from, const char *end, uint64_t &lineNumber) {
    if (from < end && *from == '-') {
        return from;
    }
    const size_t chunk = 128;
    const char *bytes = from;
    // A chunk is looked at with the byte after it, so it is never the last.
    while (static_cast<size_t>(end - bytes) > chunk) {
        uint8_t lineEnds = 0;
        uint8_t hyphenLine = 0;
        for (size_t i = 0; i < chunk; i++) {
            lineEnds += bytes[i] == '\n';
            hyphenLine |= (bytes[i] == '\n') & (bytes[i + 1] == '-');
        }
        if (hyphenLine != 0) {
            break;
        }
        lineNumber += lineEnds;
        bytes += chunk;
    }
    for (; bytes < end; bytes++) {
        if (*bytes == '\n') {
            lineNumber++;
            if (bytes + 1 < end && bytes[1] == '-') {
                return bytes + 1;
            }
        }
    }
    return nullptr;
}

// Passes over the lines the window holds whole, up to and including a
// separator line; true when there was one. Only the line count is kept, and
// only lines that begin with a hyphen are looked at, so this is much quicker
// than taking the lines one by one.
static bool PassOverWholeLines(ReportReader &reader) {
    const char *line = reader.window.data + reader.window.position;
    const char *end = reader.window.data + reader.window.size;
    while ((line = NextHyphenLine(line, end, reader.window.lineNumber)) != nullptr) {
        const char *lineEnd =
            static_cast<const char *>(memchr(line, '\n', static_cast<size_t>(end - line)));
        if (lineEnd == nullptr) {
            reader.window.position = static_cast<size_t>(line - reader.window.data);
            return false;
        }
        reader.window.lineNumber++;
        size_t length = static_cast<size_t>(lineEnd - line);
        if (length > 0 && line[length - 1] == '\r') {
            length--;
        }
        if (IsSeparator(std::string_view(line, length))) {
            reader.window.lineOffset =
                reader.window.byteOffset + static_cast<uint64_t>(line - reader.window.data);
            reader.window.position = static_cast<size_t>(lineEnd + 1 - reader.window.data);
            KeepSeparator(reader);
            return true;
        }
        line = lineEnd + 1;
    }
    // Every line end was counted, and no whole line starts with a hyphen. The
    // line the window ends in is kept for the next window: cut there, its
    // rest could pass for a line of its own.
    const char *last = end;
    while (last > reader.window.data + reader.window.position && last[-1] != '\n') {
        last--;
    }
    reader.window.position = static_cast<size_t>(last - reader.window.data);
    return false;
}

// Passes over lines up to the next separator, which starts the next entry.
static void SkipToNextEntry(ReportReader &reader) {
    std::string_view line;
    for (;;) {
        if (PassOverWholeLines(reader)) {
            return;
        }
        // The next line runs past the window, or there is none.
        LineStatus status = NextLine(reader.window, line);
        if (status == LineStatus::End || status == LineStatus::Unended) {
            return;
        }
        if (status == LineStatus::Line && IsSeparator(line)) {
            KeepSeparator(reader);
            return;
        }
    }
}

static std::string Lines(int count) {
    return std::to_string(count) + (count == 1 ? " line" : " lines");
}

static std::string TooLongReason(const ReadWindow &window, const char *where) {
    return window.endless ? "no line end in " + std::to_string(MAX_LINE_PASSED >> 20) + " MiB" +
                                where + ": not a report; the rest is not read"
                          : std::string("line too long") + where;
}

static ReadStatus Fail(ReadProblem &problem, uint64_t line, std::string reason) {
    problem.line = line;
    problem.reason = std::move(reason);
    return ReadStatus::Problem;
}

// ExpectLine when the window does not hold the next line whole.
static bool ExpectLineSlowly(ReportReader &reader, const ReadEntry &entry, int &linesRead,
                             std::string_view &line, ReadProblem &problem) {
    LineStatus status = NextLine(reader.window, line);
    switch (status) {
    case LineStatus::Line:
        linesRead++;
        return true;
    case LineStatus::End:
        Fail(problem, entry.line, "last entry cut short after " + Lines(linesRead));
        return false;
    case LineStatus::Unended:
        Fail(problem, reader.window.lineNumber,
             "last entry (line " + std::to_string(entry.line) +
                 ") cut short in the middle of a line");
        return false;
    case LineStatus::TooLong:
        Fail(problem, reader.window.lineNumber - 1, TooLongReason(reader.window, ""));
        SkipToNextEntry(reader);
        return false;
    }
    return false;
}

// The line expected next in an entry: its text, or why there is none.
static inline bool ExpectLine(ReportReader &reader, const ReadEntry &entry, int &linesRead,
                              std::string_view &line, ReadProblem &problem) {
    if (TakeLine(reader.window, line)) {
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
        KeepSeparator(reader);
        return Fail(problem, entry.line,
                    "entry cut short after " + Lines(linesRead - 1) +
                        ": the next entry starts at line " +
                        std::to_string(reader.window.lineNumber - 1));
    }
    Fail(problem, reader.window.lineNumber - 1, reason);
    SkipToNextEntry(reader);
    return ReadStatus::Problem;
}

// A member line's label is "pic1->", "pic2->" or "pic3->", the member's path
// and ": "; its length is known when compiling.
static constexpr size_t BLOCK_PREFIX_LENGTH = 6;
static_assert(std::char_traits<char>::length(BlockLabels[0]) + 2 == BLOCK_PREFIX_LENGTH &&
              std::char_traits<char>::length(BlockLabels[1]) + 2 == BLOCK_PREFIX_LENGTH &&
              std::char_traits<char>::length(BlockLabels[2]) + 2 == BLOCK_PREFIX_LENGTH);

// Whether the bytes at text are those of label, compared a word at a time,
// the last word overlapping the one before.
template <size_t length> static inline bool Matches(const char *text, const char *label) {
    static_assert(length >= 8);
    for (size_t i = 0; i + 8 < length; i += 8) {
        if (Word(text + i) != Word(label + i)) {
            return false;
        }
    }
    return Word(text + length - 8) == Word(label + length - 8);
}

// Reads member line m where it lies in the window, without looking for its
// end first. The label's length and the value's kind are known when this is
// compiled, so the label is compared a word at a time, and the value's parser
// says where the line must end. Whatever line this takes, the line-by-line
// path takes alike, with the same value; anything else, a line near the
// window's end included, is left to that path, which says what is wrong.
template <int m>
static inline bool ReadMemberInPlace(const char *&position, const char *limit,
                                     const std::string *labels, ReadBlock &block) {
    constexpr size_t pathLength = std::char_traits<char>::length(BlockMembers[m].path);
    constexpr size_t labelLength = BLOCK_PREFIX_LENGTH + pathLength + 2;
    const char *line = position;
    // Room for the longest line of this member: a face name and CR LF.
    if (static_cast<size_t>(limit - line) < labelLength + FACE_NAME_TEXT_MAX + 2 ||
        !Matches<labelLength>(line, labels[m].data())) {
        return false;
    }
    const char *stop = ParseValue(BlockMembers[m].kind, line + labelLength, limit, block.values[m],
                                  block.faceName);
    if (stop == nullptr) {
        return false;
    }
    if (*stop == '\r') {
        stop++;
    }
    if (*stop != '\n') {
        return false;
    }
    position = stop + 1;
    return true;
}

// Reads a present block's member lines in place, in order, up to the first
// one that is not taken so; returns how many were.
template <int... m>
static int ReadMembersInPlace(const char *&position, const char *limit, const std::string *labels,
                              ReadBlock &block, std::integer_sequence<int, m...>) {
    int read = 0;
    (void)((ReadMemberInPlace<m>(position, limit, labels, block) && ++read) && ...);
    return read;
}

// The first bad value met in an entry.
struct BadValue {
    bool found;
    uint64_t line;
    std::string reason;
};

static ReadStatus ReadBlockLines(ReportReader &reader, ReadEntry &entry, int n, int &linesRead,
                                 ReadProblem &problem, BadValue &badValue) {
    const LineForms &forms = Forms();
    ReadBlock &block = entry.blocks[n];
    block.line = reader.window.lineNumber;
    block.present = true;
    const char *position = reader.window.data + reader.window.position;
    int m = ReadMembersInPlace(position, reader.window.data + reader.window.size, forms.members[n],
                               block, std::make_integer_sequence<int, BLOCK_MEMBER_COUNT>());
    reader.window.position = static_cast<size_t>(position - reader.window.data);
    reader.window.lineNumber += static_cast<uint64_t>(m);
    linesRead += m;
    for (; m < BLOCK_MEMBER_COUNT; m++) {
        std::string_view line;
        if (!ExpectLine(reader, entry, linesRead, line, problem)) {
            return ReadStatus::Problem;
        }
        if (m == 0 && line == forms.nullBlock[n]) {
            block.present = false;
            return ReadStatus::Entry;
        }
        std::string_view value = line;
        if (!Take(value, forms.members[n][m])) {
            std::string expected = m == 0 ? forms.members[n][m] + "... or " + forms.nullBlock[n]
                                          : forms.members[n][m] + "...";
            return Unexpected(reader, entry, linesRead, line, problem,
                              "expected " + expected + ", found " + Quoted(line));
        }
        if (!ParseWhole(BlockMembers[m].kind, value, block.values[m], block.faceName)) {
            // The entry is read on, so that one whose lines are all in their
            // place is told from one cut short; its first bad value is the problem.
            if (!badValue.found) {
                badValue = {true, reader.window.lineNumber - 1,
                            std::string("bad value for ") + BlockLabels[n] + "->" +
                                BlockMembers[m].path + ": " + Quoted(value)};
            }
            if (BlockMembers[m].kind == ValueKind::Text) {
                block.faceName[0] = '\0';
            } else {
                block.values[m] = 0;
            }
        }
    }
    return ReadStatus::Entry;
}

// The first line of an entry: skips and reports anything that is not one.
static constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// Blank lines outside any entry: at the end, an editor's, passed over with a
// note; elsewhere a problem.
static ReadStatus BlankLines(ReportReader &reader, ReadProblem &problem) {
    uint64_t first = reader.window.lineNumber - 1;
    std::string_view line;
    LineStatus status;
    while ((status = NextLine(reader.window, line)) == LineStatus::Line && line.empty()) {
    }
    if (status == LineStatus::End) {
        reader.blankLinesAtEnd = first;
        return ReadStatus::End;
    }
    Fail(problem, first, "blank line between entries");
    if (status == LineStatus::Line && IsSeparator(line)) {
        KeepSeparator(reader);
    } else if (status != LineStatus::Unended) {
        SkipToNextEntry(reader);
    }
    return ReadStatus::Problem;
}

// The first line of an entry: skips and reports anything that is not one.
static ReadStatus FindEntry(ReportReader &reader, ReadEntry &entry, ReadProblem &problem) {
    if (reader.separatorPending) {
        reader.separatorPending = false;
        entry.offset = reader.pendingOffset;
    } else {
        std::string_view line;
        LineStatus status = NextLine(reader.window, line);
        if (status == LineStatus::End) {
            return ReadStatus::End;
        }
        if (status == LineStatus::Line && reader.window.lineOffset == 0 &&
            line.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK) {
            line.remove_prefix(BYTE_ORDER_MARK.size());
            reader.byteOrderMark = true;
        }
        if (status == LineStatus::Line && line.empty()) {
            return BlankLines(reader, problem);
        }
        if (status != LineStatus::Line || !IsSeparator(line)) {
            uint64_t number = reader.window.lineNumber - 1;
            if (status == LineStatus::Unended) {
                return Fail(problem, reader.window.lineNumber,
                            "the report ends in the middle of a line");
            }
            // Said before passing on, which may refill the window under line.
            Fail(problem, number,
                 status == LineStatus::TooLong
                     ? TooLongReason(reader.window, ", outside any entry")
                     : "expected the separator line that starts an entry, found " + Quoted(line));
            SkipToNextEntry(reader);
            return ReadStatus::Problem;
        }
        entry.offset = reader.window.lineOffset;
    }
    entry.line = reader.window.lineNumber - 1;
    return ReadStatus::Entry;
}

// Passes over an entry of a thread not asked for, reading only the line
// after its thread line for its window, so that runs can be told apart.
static void PassOverEntry(ReportReader &reader, ReadEntry &entry) {
    std::string_view line;
    LineStatus status = NextLine(reader.window, line);
    if (status == LineStatus::Line && IsSeparator(line)) {
        KeepSeparator(reader);
        return;
    }
    if (status == LineStatus::Line) {
        entry.windowKnown = ParseHeaderLine(line, 1, entry);
    }
    if (status == LineStatus::Line || status == LineStatus::TooLong) {
        SkipToNextEntry(reader);
    }
}

static ReadStatus ReadEntryLines(ReportReader &reader, const ThreadFilter &filter, ReadEntry &entry,
                                 ReadProblem &problem, BadValue &badValue);

ReadStatus ReadNextEntry(ReportReader &reader, const ThreadFilter &filter, ReadEntry &entry,
                         ReadProblem &problem) {
    BadValue badValue = {false, 0, {}};
    ReadStatus status = ReadEntryLines(reader, filter, entry, problem, badValue);
    if (!badValue.found) {
        return status;
    }
    // The first bad value is the entry's problem, whatever was found after it.
    problem.line = badValue.line;
    problem.reason = std::move(badValue.reason);
    problem.wholeEntry = status == ReadStatus::Entry;
    return ReadStatus::Problem;
}

static ReadStatus ReadEntryLines(ReportReader &reader, const ThreadFilter &filter, ReadEntry &entry,
                                 ReadProblem &problem, BadValue &badValue) {
    problem.wholeEntry = false;
    problem.place = ProblemPlace::OutsideEntries;
    problem.windowKnown = false;
    entry.windowKnown = false;
    ReadStatus found = FindEntry(reader, entry, problem);
    if (found != ReadStatus::Entry) {
        return found;
    }
    problem.place = ProblemPlace::UnknownThread;
    const LineForms &forms = Forms();
    std::string_view line;
    int linesRead = 1;
    if (!ExpectLine(reader, entry, linesRead, line, problem)) {
        return ReadStatus::Problem;
    }
    if (!ParseHeaderLine(line, 0, entry)) {
        return Unexpected(reader, entry, linesRead, line, problem,
                          "expected " + forms.headerLine[0] + ", found " + Quoted(line));
    }
    uint32_t threadId = entry.header[THREAD_ID_FIELD];
    if (filter.read == ThreadsRead::One && threadId != filter.threadId) {
        PassOverEntry(reader, entry);
        return ReadStatus::Passed;
    }
    problem.place = ProblemPlace::InEntry;
    problem.threadId = threadId;
    problem.entryLine = entry.line;
    problem.entryOffset = entry.offset;
    for (int n = 1; n < HEADER_VALUE_LINES; n++) {
        if (!ExpectLine(reader, entry, linesRead, line, problem)) {
            return ReadStatus::Problem;
        }
        if (!ParseHeaderLine(line, n, entry)) {
            return Unexpected(reader, entry, linesRead, line, problem,
                              "expected " + forms.headerLine[n] + ", found " + Quoted(line));
        }
        if (n == 1) {
            entry.windowKnown = problem.windowKnown = true;
            problem.window = entry.header[WindowField(0, 0)];
        }
    }
    for (int n = 0; n < 3; n++) {
        if (ReadBlockLines(reader, entry, n, linesRead, problem, badValue) != ReadStatus::Entry) {
            return ReadStatus::Problem;
        }
    }
    return ReadStatus::Entry;
}
