// Stretches of a regular file mapped into memory for reading, so that a
// report is read where the system already holds its pages, without copying
// them; a few MiB are mapped at a time, so memory stays flat whatever the
// file's size. Where a file cannot be mapped (a pipe, a stream in memory,
// Windows), readers copy it as before.
//
// A file cut short while one of its stretches is mapped would end the
// process (SIGBUS) when the lost pages are read: those pages read as zeros
// instead, and the stretch says so (FileStretchCut), so that its reader
// fails as it does on a read error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct FileStretch {
    const char *bytes; // null when nothing is mapped
    size_t size;
    uint64_t offset; // of bytes[0] in the file
    int slot;        // where the stretch is registered for the bus error's handler
};

inline constexpr FileStretch NO_STRETCH = {nullptr, 0, 0, -1};

// Whether `file` is a regular file that can be mapped, with its size now
// and where its stream stands.
bool MappableFile(FILE *file, uint64_t &size, uint64_t &position);

// Maps `length` bytes of `file` from `offset` on (fewer where the file ends),
// in place of what `stretch` held; false, with nothing mapped, when the file
// has no byte at offset (errno 0) or on failure (errno says why).
bool MapFileStretch(FileStretch &stretch, FILE *file, uint64_t offset, size_t length);

void UnmapFileStretch(FileStretch &stretch);

// Whether the file was cut short under the stretch since it was mapped.
bool FileStretchCut(const FileStretch &stretch);

// A stretch unmapped by its owner on every path.
struct MappedStretch {
    FileStretch stretch = NO_STRETCH;

    MappedStretch() = default;
    MappedStretch(MappedStretch &&other) noexcept : stretch(other.stretch) {
        other.stretch = NO_STRETCH;
    }
    MappedStretch &operator=(MappedStretch &&other) noexcept {
        if (this != &other) {
            UnmapFileStretch(stretch);
            stretch = other.stretch;
            other.stretch = NO_STRETCH;
        }
        return *this;
    }
    ~MappedStretch() {
        UnmapFileStretch(stretch);
    }
};
