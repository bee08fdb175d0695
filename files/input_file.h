// The reports a user names, opened for reading.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Opens a report a user names, for reading in binary: a path (UTF-8; on
// Windows opened by its UTF-16 name so that any name opens), or "-" for
// standard input. When mustSeek is set and the input cannot seek from its
// start (a pipe, a FIFO, `<(...)`, a terminal, standard input not at the
// start of its file), what is left of it is copied once into a temporary
// file that the system removes (see OpenTemporaryFile), and the copy is
// returned, positioned at 0; memory stays the same whatever the input's size.
// Returns null with a reason in error on failure: the system's own words,
// "Is a directory" for a folder, or e.g. "cannot copy standard input to a
// temporary file: No space left on device". A failed read during the copy is
// a failure, never a shorter copy. The caller closes the file with fclose.
FILE *OpenInputFile(const std::string &path, bool mustSeek, std::string &error);

// Moves to a byte offset, 64-bit on every platform; false on failure.
bool SeekInputFile(FILE *file, uint64_t offset);

// Whether the file at path is the very file open as `file` (device and inode
// on POSIX; volume serial number and file index on Windows): false when path
// does not exist.
bool IsSameFile(const std::string &path, FILE *file);

// Whether two paths name one pipe or FIFO (or "-" both), which can be read
// only once: opened a second time it would wait for a writer for ever.
bool IsOnePipe(const std::string &a, const std::string &b);
