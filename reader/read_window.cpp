#include "reader/read_window.h"
#include "files/input_file.h"

#include <algorithm>
#include <cerrno>

// A stretch holds this many windows, so that one is mapped every few refills.
static constexpr size_t WINDOWS_A_STRETCH = 4;

// What a mapped window shows before its first refill.
static const char NO_BYTES[1] = {};

void OpenFileWindow(ReadWindow &window, FILE *file, size_t capacity) {
    window = ReadWindow{};
    window.file = file;
    window.capacity = capacity;
    window.lineNumber = 1;
    // Files that say they are empty may still give bytes (those of /proc),
    // and some file systems cannot map: those are copied. One byte is mapped
    // to know, the first stretch where reading starts.
    uint64_t size;
    uint64_t at;
    if (MappableFile(file, size, at) && size > 0 &&
        MapFileStretch(window.stretch.stretch, file, at, 1)) {
        window.mapped = true;
        window.byteOffset = at;
        window.data = NO_BYTES;
        return;
    }
    window.buffer.resize(capacity);
    window.data = window.buffer.data();
}

void OpenTextWindow(ReadWindow &window, const char *text, size_t size) {
    window = ReadWindow{};
    window.data = text;
    window.size = size;
    window.capacity = size;
    window.atEnd = true;
    window.lineNumber = 1;
}

// Moves the window to the first unread byte and shows up to `capacity`
// bytes from there, mapping the next stretch of the file when the one at
// hand does not hold them. The file's size is asked for only then, so bytes
// appended while it is read are read, as a copying read would.
static void RefillMapped(ReadWindow &window) {
    FileStretch &stretch = window.stretch.stretch;
    uint64_t start = window.byteOffset + window.position;
    size_t kept = window.size - window.position;
    uint64_t end = stretch.offset + stretch.size;
    bool holds = stretch.bytes != nullptr && start >= stretch.offset && start <= end &&
                 end - start >= window.capacity;
    if (!holds &&
        !MapFileStretch(stretch, window.file, start, window.capacity * WINDOWS_A_STRETCH) &&
        errno != 0) {
        window.error = errno;
    }
    if (FileStretchCut(stretch)) {
        // Bytes past the cut were read as zeros: nothing read is sure.
        window.error = EIO;
    }
    end = stretch.offset + stretch.size;
    size_t shown = 0;
    window.data = NO_BYTES;
    if (window.error == 0 && stretch.bytes != nullptr && start >= stretch.offset && start < end) {
        shown = static_cast<size_t>(std::min<uint64_t>(window.capacity, end - start));
        window.data = stretch.bytes + (start - stretch.offset);
    }
    window.byteOffset = start;
    window.position = 0;
    window.size = shown;
    window.atEnd = shown <= kept;
}

void Refill(ReadWindow &window) {
    if (window.file == nullptr || window.atEnd) {
        window.atEnd = true;
        return;
    }
    if (window.mapped) {
        RefillMapped(window);
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
    if (window.mapped) {
        return window.error == 0;
    }
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
        if (left == window.capacity) {
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
