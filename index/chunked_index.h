// A large report indexed on two cores: its bytes cut into chunks at
// separator lines, each chunk read by whichever of two threads is free, and
// the entries counted (and handed to a watcher) in the report's order, so
// that the facts are those of one pass. A chunk with anything but whole
// entries (a problem, a note, the end of reading) is read again in order,
// its line numbers then known.
#pragma once

#include "index/report_index.h"

// How large a chunk is: its bytes (only reports of at least two chunks are
// read so), and the whole entries it keeps for a watcher at most, as they
// wait to be handed over in order; a chunk of more (of entries with few
// lines) is read again in order.
struct ChunkSize {
    uint64_t bytes;
    size_t entries;
};

inline constexpr ChunkSize INDEX_CHUNK = {uint64_t{4} << 20, 1024};

// Indexes the file, a regular file open at its start, in chunks of that size
// (the tests give small ones); false, with nothing done, when it cannot be
// read so (a pipe, a file that cannot be mapped, too small), and the caller
// reads it in one pass.
bool IndexInChunks(FILE *file, const std::string &path, ChunkSize chunk,
                   const EntryWatcher *watcher, ReportFacts &facts);
