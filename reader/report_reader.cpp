#include "reader/report_reader.h"
#include "files/input_file.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

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

bool OpenReportFile(ReportReader &reader, const std::string &path, std::string &error,
                    size_t window) {
    reader = ReportReader{};
    reader.file = OpenInputFile(path, true, error);
    if (reader.file == nullptr) {
        return false;
    }
    reader.buffer.resize(window);
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
    return SeekInputFile(reader.file, offset);
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

enum class LineStatus { Line, End, TooLong, Unended };

// Takes the next line without its line end. A line with no end before the
// report's end is Unended; one longer than the window is TooLong, and is
// passed over.
static LineStatus NextLine(ReportReader &reader, std::string_view &line) {
    for (;;) {
        if (TakeLine(reader, line)) {
            return LineStatus::Line;
        }
        const char *start = reader.data + reader.position;
        size_t left = reader.size - reader.position;
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
            const char *end;
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

static inline uint64_t Word(const char *bytes) {
    uint64_t word;
    memcpy(&word, bytes, sizeof word);
    return word;
}

// The value parsers read a value written as the tool writes it from text,
// up to the first byte that cannot belong to it or to limit. Each returns
// where it stopped, or null when what it read is no such value.

// Eight upper-case hex digits, as every handle and flag word is written,
// taken as one word: text[0], the highest digit, in its lowest byte.
static inline const char *ParseHex8(const char *text, const char *limit, uint32_t &value) {
    static_assert(std::endian::native == std::endian::little);
    if (limit - text < 8) {
        return nullptr;
    }
    constexpr uint64_t ones = 0x0101010101010101;
    constexpr uint64_t high = 0x80 * ones;
    uint64_t word = Word(text);
    // Adding 0x80 - byte to each byte below 0x80 sets its high bit when it is
    // at least that byte, with no carry into the next one.
    auto atLeast = [word](uint64_t byte) { return word + (0x80 - byte) * ones; };
    uint64_t digits = atLeast('0') & ~atLeast('9' + 1);
    uint64_t letters = atLeast('A') & ~atLeast('F' + 1);
    if (((digits | letters) & ~word & high) != high) {
        return nullptr;
    }
    // Each byte's value: its low four bits, plus 9 for a letter (bit 6 set).
    uint64_t nibbles = (word & 0x0F * ones) + (word >> 6 & ones) * 9;
    // Bytes 0, 2, 4 and 6 take two digits each, highest first.
    uint64_t pairs = (nibbles << 4 | nibbles >> 8) & 0x00FF00FF00FF00FF;
    value = static_cast<uint32_t>((pairs & 0xFF) << 24 | (pairs >> 16 & 0xFF) << 16 |
                                  (pairs >> 32 & 0xFF) << 8 | pairs >> 48);
    return text + 8;
}

// A decimal as the tool writes it: no sign but '-', no leading zero, no "-0".
static inline const char *ParseDecimal(const char *text, const char *limit, bool negativeAllowed,
                                       uint64_t largest, uint32_t &value) {
    bool negative = negativeAllowed && text < limit && *text == '-';
    const char *digits = negative ? text + 1 : text;
    // An eleventh digit is read only to be refused.
    const char *end = limit - digits > 11 ? digits + 11 : limit;
    const char *stop = digits;
    uint64_t result = 0;
    while (stop < end && static_cast<unsigned char>(*stop - '0') < 10) {
        result = result * 10 + static_cast<uint64_t>(*stop - '0');
        stop++;
    }
    size_t count = static_cast<size_t>(stop - digits);
    if (count == 0 || count > 10 || (*digits == '0' && (count > 1 || negative)) ||
        result > largest + (negative ? 1 : 0)) {
        return nullptr;
    }
    value = static_cast<uint32_t>(negative ? 0 - result : result);
    return stop;
}

// A face name: printable bytes only, at most FACE_NAME_TEXT_MAX of them.
static inline const char *ParseText(const char *text, const char *limit, char *faceName) {
    const char *stop = text;
    while (stop < limit && stop - text < FACE_NAME_TEXT_MAX &&
           static_cast<unsigned char>(*stop) >= 0x20 && *stop != 0x7F) {
        stop++;
    }
    memcpy(faceName, text, static_cast<size_t>(stop - text));
    faceName[stop - text] = '\0';
    return stop;
}

static inline const char *ParseValue(ValueKind kind, const char *text, const char *limit,
                                     uint32_t &value, char *faceName) {
    switch (kind) {
    case ValueKind::Handle:
        return ParseHex8(text, limit, value);
    case ValueKind::Hex:
        if (limit - text < 2 || text[0] != '0' || text[1] != 'x') {
            return nullptr;
        }
        return ParseHex8(text + 2, limit, value);
    case ValueKind::Signed:
        return ParseDecimal(text, limit, true, 2147483647, value);
    case ValueKind::Byte:
        return ParseDecimal(text, limit, false, 255, value);
    case ValueKind::Text:
        value = 0;
        return ParseText(text, limit, faceName);
    }
    return nullptr;
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

static bool TakeHex8(std::string_view &text, uint32_t &value) {
    if (ParseHex8(text.data(), text.data() + text.size(), value) == nullptr) {
        return false;
    }
    text.remove_prefix(8);
    return true;
}

static bool ParseThreadLine(std::string_view line, uint32_t &threadId) {
    static const std::string label = REPORT_THREAD_LABEL ":0x";
    return Take(line, label) && ParseWhole(ValueKind::Handle, line, threadId, nullptr);
}

static bool ParseHeaderLine(std::string_view line, int n, ReadEntry &entry) {
    const std::string *pieces = Forms().header[n];
    return Take(line, pieces[0]) && TakeHex8(line, entry.windows[n]) && Take(line, pieces[1]) &&
           TakeHex8(line, entry.contexts[n]) && Take(line, pieces[2]) &&
           TakeHex8(line, entry.availPhys[n]) && Take(line, pieces[3]) &&
           ParseWhole(ValueKind::Handle, line, entry.availVirtual[n], nullptr);
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
    const char *line = reader.data + reader.position;
    const char *end = reader.data + reader.size;
    while ((line = NextHyphenLine(line, end, reader.lineNumber)) != nullptr) {
        const char *lineEnd =
            static_cast<const char *>(memchr(line, '\n', static_cast<size_t>(end - line)));
        if (lineEnd == nullptr) {
            reader.position = static_cast<size_t>(line - reader.data);
            return false;
        }
        reader.lineNumber++;
        size_t length = static_cast<size_t>(lineEnd - line);
        if (length > 0 && line[length - 1] == '\r') {
            length--;
        }
        if (IsSeparator(std::string_view(line, length))) {
            reader.lineOffset = reader.byteOffset + static_cast<uint64_t>(line - reader.data);
            reader.position = static_cast<size_t>(lineEnd + 1 - reader.data);
            reader.separatorPending = true;
            reader.pendingOffset = reader.lineOffset;
            return true;
        }
        line = lineEnd + 1;
    }
    // Every line end was counted, and no whole line starts with a hyphen. The
    // line the window ends in is kept for the next window: cut there, its
    // rest could pass for a line of its own.
    const char *last = end;
    while (last > reader.data + reader.position && last[-1] != '\n') {
        last--;
    }
    reader.position = static_cast<size_t>(last - reader.data);
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

static ReadStatus ReadBlockLines(ReportReader &reader, ReadEntry &entry, int n, int &linesRead,
                                 ReadProblem &problem) {
    const LineForms &forms = Forms();
    ReadBlock &block = entry.blocks[n];
    block.line = reader.lineNumber;
    block.present = true;
    const char *position = reader.data + reader.position;
    int m = ReadMembersInPlace(position, reader.data + reader.size, forms.members[n], block,
                               std::make_integer_sequence<int, BLOCK_MEMBER_COUNT>());
    reader.position = static_cast<size_t>(position - reader.data);
    reader.lineNumber += static_cast<uint64_t>(m);
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
            // Said before passing on, which may refill the window under line.
            Fail(problem, number,
                 status == LineStatus::TooLong
                     ? std::string("line too long, outside any entry")
                     : "expected the separator line that starts an entry, found " + Quoted(line));
            SkipToNextEntry(reader);
            return ReadStatus::Problem;
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
