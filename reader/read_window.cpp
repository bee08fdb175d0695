#include "reader/read_window.h"
#include "files/input_file.h"

#include <cerrno>

void OpenFileWindow(ReadWindow &window, FILE *file, size_t capacity) {
    window = ReadWindow{};
    window.file = file;
    window.buffer.resize(capacity);
    window.data = window.buffer.data();
    window.lineNumber = 1;
}

void OpenTextWindow(ReadWindow &window, const char *text, size_t size) {
    window = ReadWindow{};
    window.data = text;
    window.size = size;
    window.atEnd = true;
    window.lineNumber = 1;
}

void Refill(ReadWindow &window) {
    if (window.file == nullptr || window.atEnd) {
        window.atEnd = true;
        return;
    }
    size_t kept = window.size - window.position;
    memmove(window.buffer.data(), window.buffer.data() + window.position, kept);
    window.byteOffset += window.position;
    window.position = 0;
    size_t got = fread(window.buffer.data() + kept, 1, window.buffer.size() - kept, window.file);
    window.size = kept + got;
    if (got == 0) {
        window.atEnd = true;
        if (ferror(window.file)) {
            window.error = errno != 0 ? errno : EIO;
        }
    }
}

bool SeekWindow(ReadWindow &window, uint64_t offset, uint64_t lineNumber) {
    window.lineNumber = lineNumber;
    if (window.file == nullptr) {
        window.position = offset <= window.size ? static_cast<size_t>(offset) : window.size;
        return offset <= window.size;
    }
    window.size = 0;
    window.position = 0;
    window.atEnd = false;
    window.byteOffset = offset;
    clearerr(window.file);
    bool moved = SeekInputFile(window.file, offset);
    if (!moved) {
        window.error = errno != 0 ? errno : EIO;
        window.atEnd = true;
    }
    return moved;
}

LineStatus NextLine(ReadWindow &window, std::string_view &line) {
    for (;;) {
        if (TakeLine(window, line)) {
            return LineStatus::Line;
        }
        const char *start = window.data + window.position;
        size_t left = window.size - window.position;
        if (window.atEnd) {
            if (left == 0) {
                return LineStatus::End;
            }
            window.lineOffset = window.byteOffset + window.position;
            window.position = window.size;
            line = std::string_view(start, left);
            return LineStatus::Unended;
        }
        if (left == window.buffer.size()) {
            // Pass over the rest of an overlong line, window by window.
            uint64_t passed = 0;
            const char *end;
            do {
                passed += window.size;
                window.position = window.size;
                Refill(window);
                end = static_cast<const char *>(memchr(window.data, '\n', window.size));
            } while (end == nullptr && !window.atEnd && passed < MAX_LINE_PASSED);
            if (end == nullptr && !window.atEnd) {
                window.endless = true;
                window.atEnd = true;
            }
            window.position =
                end != nullptr ? static_cast<size_t>(end - window.data) + 1 : window.size;
            window.lineNumber++;
            return LineStatus::TooLong;
        }
        Refill(window);
    }
}
