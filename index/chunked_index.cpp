#include "index/chunked_index.h"
#include "files/mapped_file.h"
#include "index/indexing.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr uint64_t NONE = UINT64_MAX;
constexpr size_t SEPARATOR_LENGTH = sizeof REPORT_SEPARATOR - 1;
// Chunks read and not yet counted, at most: what memory holds of entries.
constexpr uint64_t CHUNKS_AHEAD = 3;
constexpr size_t SCAN_STRETCH = 1 << 16;

// Where the first separator line at or after `from` (> 0) starts, NONE when
// there is none. Missing one is harmless: the chunk before it runs on.
uint64_t FirstSeparatorLine(FILE *file, uint64_t from) {
    uint64_t at = from - 1; // a line starts where the byte before it ends one
    MappedStretch mapped;
    while (MapFileStretch(mapped.stretch, file, at, SCAN_STRETCH)) {
        const FileStretch &stretch = mapped.stretch;
        const char *bytes = stretch.bytes + (at - stretch.offset);
        const char *end = stretch.bytes + stretch.size;
        const char *lineEnd;
        while ((lineEnd = static_cast<const char *>(
                    memchr(bytes, '\n', static_cast<size_t>(end - bytes)))) != nullptr &&
               static_cast<size_t>(end - lineEnd) > SEPARATOR_LENGTH + 2) {
            const char *line = lineEnd + 1;
            const char *after = line + SEPARATOR_LENGTH;
            if (memcmp(line, REPORT_SEPARATOR, SEPARATOR_LENGTH) == 0 &&
                (after[0] == '\n' || (after[0] == '\r' && after[1] == '\n'))) {
                return stretch.offset + static_cast<uint64_t>(line - stretch.bytes);
            }
            bytes = line;
        }
        if (static_cast<size_t>(end - (stretch.bytes + (at - stretch.offset))) < SCAN_STRETCH) {
            break; // the file's end
        }
        at = stretch.offset +
             static_cast<uint64_t>((lineEnd != nullptr ? lineEnd : end) - stretch.bytes);
    }
    return NONE;
}

// Where the next item (an entry, or lines that are none) starts, and how
// many lines lie wholly before it.
uint64_t NextItemAt(const ReportReader &reader) {
    return reader.separatorPending ? reader.pendingOffset
                                   : reader.window.byteOffset + reader.window.position;
}

uint64_t LinesBefore(const ReportReader &reader) {
    return reader.window.lineNumber - 1 - (reader.separatorPending ? 1 : 0);
}

struct Chunk {
    uint64_t start = 0;
    uint64_t end = 0; // the next chunk's start
    bool done = false;
    bool regular = false; // whole entries only, from start to end
    uint64_t lines = 0;
    std::vector<EntryPlace> entries = {}; // their lines counted from 1 at start
    std::vector<ReadEntry> whole = {};    // the same, kept for a watcher
};

struct Chunking {
    FILE *file = nullptr;
    uint64_t chunkSize = 0;
    uint64_t chunks = 0;
    size_t entriesKept = 0; // for a watcher; 0 for none
    std::mutex lock;
    std::condition_variable changed;
    uint64_t claimed = 0; // chunks taken by a reading thread
    uint64_t counted = 0; // chunks counted in order
    bool stop = false;
    Chunk slots[CHUNKS_AHEAD];
};

uint64_t ChunkStart(const Chunking &chunking, uint64_t k) {
    return k == 0                ? 0
           : k < chunking.chunks ? FirstSeparatorLine(chunking.file, k * chunking.chunkSize)
                                 : NONE;
}

// Reads a chunk's entries as long as they are whole and regular.
void ReadChunk(FILE *file, size_t entriesKept, Chunk &chunk) {
    chunk.entries.clear();
    chunk.whole.clear();
    chunk.regular = true;
    chunk.lines = 0;
    if (chunk.start >= chunk.end) {
        return;
    }
    ReportReader reader;
    OpenReportFile(reader, file);
    // Threads read a file at once only through mapped windows of their own.
    if (!reader.window.mapped || !SeekReport(reader, chunk.start, 1)) {
        chunk.regular = false;
        return;
    }
    ReadEntry entry;
    ReadProblem problem;
    ReadStatus status = ReadStatus::Entry;
    while (NextItemAt(reader) < chunk.end &&
           (status = ReadNextEntry(reader, EVERY_THREAD, entry, problem)) == ReadStatus::Entry) {
        chunk.entries.push_back({entry.header[THREAD_ID_FIELD], entry.windowKnown,
                                 entry.header[WindowField(0, 0)], entry.line, entry.offset});
        if (entriesKept > 0) {
            if (chunk.whole.size() == entriesKept) {
                chunk.regular = false;
                return;
            }
            chunk.whole.push_back(entry);
        }
    }
    bool ended = status == ReadStatus::End ? chunk.end == NONE : NextItemAt(reader) == chunk.end;
    chunk.regular = status != ReadStatus::Problem && ended && !reader.byteOrderMark &&
                    reader.blankLinesAtEnd == 0 && reader.window.error == 0;
    chunk.lines = LinesBefore(reader);
}

void ReadChunks(Chunking &chunking) {
    for (;;) {
        uint64_t k;
        {
            std::unique_lock<std::mutex> held(chunking.lock);
            chunking.changed.wait(held, [&] {
                return chunking.stop || chunking.claimed >= chunking.chunks ||
                       chunking.claimed < chunking.counted + CHUNKS_AHEAD;
            });
            if (chunking.stop || chunking.claimed >= chunking.chunks) {
                return;
            }
            k = chunking.claimed++;
        }
        // The slot's chunk before was counted: it is this thread's alone now.
        Chunk &chunk = chunking.slots[k % CHUNKS_AHEAD];
        chunk.start = ChunkStart(chunking, k);
        chunk.end = ChunkStart(chunking, k + 1);
        ReadChunk(chunking.file, chunking.entriesKept, chunk);
        {
            std::lock_guard<std::mutex> held(chunking.lock);
            chunk.done = true;
        }
        chunking.changed.notify_all();
    }
}

// Counts a chunk that is not regular by reading it again in order, its
// first line's number now known; false when reading ends there.
bool CountChunkInOrder(Indexing &indexing, FILE *file, const Chunk &chunk,
                       const EntryWatcher *watcher, uint64_t &lines, ReadingEnd &end) {
    ReportReader reader;
    OpenReportFile(reader, file);
    ReadEntry entry;
    ReadProblem problem;
    ReadStatus status = ReadStatus::End;
    if (SeekReport(reader, chunk.start, lines + 1)) {
        while (NextItemAt(reader) < chunk.end &&
               (status = ReadNextEntry(reader, EVERY_THREAD, entry, problem)) != ReadStatus::End) {
            CountItem(indexing, status, entry, problem, watcher);
        }
    }
    end.byteOrderMark = end.byteOrderMark || reader.byteOrderMark;
    if (reader.blankLinesAtEnd != 0) {
        end.blankLinesAtEnd = reader.blankLinesAtEnd;
    }
    end.error = reader.window.error;
    lines = LinesBefore(reader);
    return status != ReadStatus::End && end.error == 0 && !reader.window.endless;
}

bool CountChunk(Indexing &indexing, FILE *file, Chunk &chunk, const EntryWatcher *watcher,
                uint64_t &lines, ReadingEnd &end) {
    if (!chunk.regular) {
        return CountChunkInOrder(indexing, file, chunk, watcher, lines, end);
    }
    for (size_t e = 0; e < chunk.entries.size(); e++) {
        EntryPlace &place = chunk.entries[e];
        place.line += lines;
        size_t thread = CountEntry(indexing, place);
        if (watcher != nullptr) {
            ReadEntry &entry = chunk.whole[e];
            entry.line += lines;
            for (ReadBlock &block : entry.blocks) {
                block.line += lines;
            }
            watcher->seen(watcher->state, indexing.facts, thread, entry);
        }
    }
    lines += chunk.lines;
    return true;
}

} // namespace

bool IndexInChunks(FILE *file, const std::string &path, ChunkSize chunk,
                   const EntryWatcher *watcher, ReportFacts &facts) {
    uint64_t size;
    uint64_t position;
    if (chunk.bytes == 0 || chunk.entries == 0 || !MappableFile(file, size, position) ||
        size / chunk.bytes < 2 || position != 0) {
        return false;
    }
    Chunking chunking;
    chunking.file = file;
    chunking.chunkSize = chunk.bytes;
    chunking.chunks = (size + chunk.bytes - 1) / chunk.bytes;
    chunking.entriesKept = watcher != nullptr ? chunk.entries : 0;
    std::thread readers[2];
    for (std::thread &reader : readers) {
        reader = std::thread(ReadChunks, std::ref(chunking));
    }
    Indexing indexing;
    StartIndexing(indexing, path);
    uint64_t lines = 0;
    ReadingEnd end = {false, 0, 0};
    for (uint64_t k = 0; k < chunking.chunks; k++) {
        Chunk &chunk = chunking.slots[k % CHUNKS_AHEAD];
        {
            std::unique_lock<std::mutex> held(chunking.lock);
            chunking.changed.wait(held, [&] { return chunk.done; });
        }
        bool more = CountChunk(indexing, file, chunk, watcher, lines, end);
        {
            std::lock_guard<std::mutex> held(chunking.lock);
            chunk.done = false;
            chunking.counted = k + 1;
            chunking.stop = !more;
        }
        chunking.changed.notify_all();
        if (!more) {
            break;
        }
    }
    {
        std::lock_guard<std::mutex> held(chunking.lock);
        chunking.stop = true;
    }
    chunking.changed.notify_all();
    for (std::thread &reader : readers) {
        reader.join();
    }
    facts = FinishIndexing(indexing, end);
    return true;
}
