// Fuzzes the report reader with arbitrary bytes: never a crash; every entry
// it accepts is, line for line, what the tool would write for its values, at
// the line and offset it names; an entry compared with itself differs in
// nothing, two in turn as much either way; read from a file through a small
// window, with or without passing over other threads, the same results
// wherever the window ends; indexed, the same facts from a file as from
// memory and read in chunks on two threads, each thread's cursor giving back
// only its entries, as many as the index counted; a report compared with
// itself differs in nothing; and a diff reads the same pairs of entries, as
// JSON says them, whether a side's entries come from the index's spill or
// from cursors over the text.
#include "compare/comparer.h"
#include "compare/diff.h"
#include "index/chunked_index.h"
#include "index/cursor_ahead.h"
#include "index/entry_spill.h"
#include "index/thread_cursor.h"
#include "reader/report_reader.h"
#include "render/json.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Check(bool condition, const char *what) {
    if (!condition) {
        fprintf(stderr, "fuzz check failed: %s\n", what);
        abort();
    }
}

std::string Value(ValueKind kind, uint32_t value) {
    char text[VALUE_TEXT_SIZE];
    FormatValue(kind, value, text);
    return text;
}

std::string MemberText(const ReadBlock &block, int m) {
    return BlockMembers[m].kind == ValueKind::Text ? block.faceName
                                                   : Value(BlockMembers[m].kind, block.values[m]);
}

// The lines the tool writes for the entry's values.
std::string Written(const ReadEntry &entry) {
    std::string text = REPORT_SEPARATOR;
    for (int h = 0; h < HEADER_FIELD_COUNT; h++) {
        const HeaderField &field = HeaderFields[h];
        bool first = h == 0 || HeaderFields[h - 1].line != field.line;
        text += std::string(first ? "\n" : ", ") + field.label + ":" +
                Value(field.kind, entry.header[h]);
    }
    text += "\n";
    for (int n = 0; n < 3; n++) {
        if (!entry.blocks[n].present) {
            text += std::string(BlockLabels[n]) + ": " REPORT_NULL_BLOCK "\n";
        }
        for (int m = 0; m < BLOCK_MEMBER_COUNT && entry.blocks[n].present; m++) {
            text += std::string(BlockLabels[n]) + "->" + BlockMembers[m].path + ": " +
                    MemberText(entry.blocks[n], m) + "\n";
        }
    }
    return text;
}

// The input's lines from an offset on, with LF line ends.
std::string LinesFrom(const std::string &input, size_t offset, size_t lines) {
    std::string text;
    for (size_t end; lines > 0 && offset < input.size(); lines--, offset = end + 1) {
        end = std::min(input.find('\n', offset), input.size());
        size_t length = end - offset - (end > offset && input[end - 1] == '\r' ? 1 : 0);
        text += input.substr(offset, length) + "\n";
    }
    return text;
}

// Everything a reading gives, as text. With the input, each entry is also
// checked against its copy there and against the entry before it.
std::string Transcript(ReportReader &reader, const ThreadFilter &filter, const std::string *input) {
    std::string text;
    HandleNames names = {};
    std::vector<Difference> differences;
    ReadEntry entry;
    ReadEntry previous = {};
    ReadProblem problem;
    int entries = 0;
    for (ReadStatus status;
         (status = ReadNextEntry(reader, filter, entry, problem)) != ReadStatus::End;) {
        if (status != ReadStatus::Entry) {
            text += status == ReadStatus::Passed
                        ? "passed " + std::to_string(entry.line)
                        : std::to_string(problem.line) + ": " + problem.reason;
            text += "\n";
            continue;
        }
        std::string written = Written(entry);
        text += std::to_string(entry.offset) + "\n" + written;
        if (input == nullptr) {
            continue;
        }
        size_t count = static_cast<size_t>(std::count(written.begin(), written.end(), '\n'));
        // A byte-order mark before the first line is no part of the entry.
        size_t from = entry.offset == 0 && input->compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        Check(LinesFrom(*input, entry.offset + from, count) == written, "entry read as written");
        Check(entry.line == 1 + static_cast<uint64_t>(std::count(
                                    input->begin(), input->begin() + entry.offset, '\n')),
              "entry line at its offset");
        // Either way round, two entries differ in as many facts; one never
        // differs from itself.
        NameEntryHandles(names, static_cast<size_t>(entries % 3), entry);
        size_t found[3];
        for (int i = 0; i < 3; i++) {
            differences.clear();
            CompareEntries(names, names, true, 1, 1, i == 1 ? previous : entry,
                           i == 2 ? previous : entry, differences);
            found[i] = differences.size();
        }
        Check(found[0] == 0 && (entries++ == 0 || found[1] == found[2]), "differences of entries");
        previous = entry;
    }
    return text;
}

// The input read from a file through a window of 128 to 383 bytes gives what
// it gives read whole, with every thread or only the last byte's, unless a
// line does not fit in the window (and is too long only there).
void ReadThroughWindow(const std::string &path, const std::string &input,
                       const std::string &transcript) {
    size_t window = 128 + input.size() % 256;
    for (size_t start = 0, end; start < input.size(); start = end + 1) {
        end = std::min(input.find('\n', start), input.size());
        if (end - start + 1 >= window) {
            return;
        }
    }
    // A file is read in place; a stream with no file behind it is copied.
    std::string copy = input;
    for (bool oneThread : {false, true}) {
        for (bool mapped : {true, false}) {
            ReportReader memory;
            ReportReader file;
            OpenReportText(memory, input.data(), input.size());
            FILE *stream =
                mapped ? fopen(path.c_str(), "rb") : fmemopen(copy.data(), copy.size(), "rb");
            Check(stream != nullptr, "scratch file opened");
            OpenReportFile(file, stream, window);
            Check(file.window.mapped == mapped, "a file read in place, a stream copied");
            ThreadFilter filter = {oneThread ? ThreadsRead::One : ThreadsRead::Every,
                                   static_cast<uint8_t>(input.back())};
            std::string expected = oneThread ? Transcript(memory, filter, nullptr) : transcript;
            Check(Transcript(file, filter, nullptr) == expected, "the same through a window");
            fclose(stream);
        }
    }
}

std::string FactsText(const ReportFacts &facts) {
    std::string text = std::to_string(facts.entries) + " entries, " +
                       std::to_string(facts.problemCount) + " problems\n";
    for (const ReportThread &thread : facts.threads) {
        text += std::to_string(thread.run) + "/" + std::to_string(thread.id) + ": " +
                std::to_string(thread.entries) + " from " + std::to_string(thread.firstLine) +
                " at " + std::to_string(thread.firstOffset) + "\n";
    }
    for (const ReportRun &run : facts.runs) {
        text += "run from " + std::to_string(run.firstLine) + ": " + std::to_string(run.entries) +
                " in " + std::to_string(run.threads) + "\n";
    }
    for (const std::vector<ReadProblem> *list : {&facts.problems, &facts.notes}) {
        for (const ReadProblem &problem : *list) {
            text += std::to_string(problem.line) + ": " + problem.reason + "\n";
        }
    }
    return text;
}

// What a cursor gives, as text, and one more call past its end.
template <typename Next> std::string CursorText(Next next) {
    std::string text;
    ReadEntry entry;
    ReadProblem problem;
    for (int past = 0; past < 2;) {
        CursorStatus status = next(entry, problem);
        past += status == CursorStatus::End || status == CursorStatus::Failed;
        text += std::to_string(static_cast<int>(status)) + " ";
        if (status == CursorStatus::Entry) {
            text += std::to_string(entry.line);
            for (uint32_t value : entry.header) {
                text += " " + std::to_string(value);
            }
        } else if (status != CursorStatus::End) {
            text += std::to_string(problem.line) + " " + problem.reason;
        }
        text += "\n";
    }
    return text;
}

// An entry as a watcher is handed it, as text.
void WatchEntry(void *state, const ReportFacts &, size_t thread, const ReadEntry &entry) {
    *static_cast<std::string *>(state) +=
        std::to_string(thread) + " " + std::to_string(entry.line) + " " +
        std::to_string(entry.blocks[2].line) + " " + std::to_string(entry.offset) + Written(entry);
}

// Indexed from a file, the report gives the facts it gives from memory;
// each thread's cursor gives only that thread's entries, never more than the
// index counted, and never fails on a file that did not change; read ahead
// on a thread of its own, it gives the same. Compared with itself, even
// under --strict, it differs in nothing.
void IndexAndCompare(const std::string &path, const std::string &input) {
    ReportReader memory;
    OpenReportText(memory, input.data(), input.size());
    std::string seen;
    EntryWatcher watcher = {WatchEntry, &seen};
    ReportFacts inMemory = IndexFromReader(memory, path, &watcher);
    IndexedReport reports[2] = {IndexReport(path, ReadFor::Diff), IndexReport(path, ReadFor::Diff)};
    Check(FactsText(reports[0].facts) == FactsText(inMemory), "the same facts from a file");
    // Chunks of one entry, halves keeping one whole entry or all of them, and
    // thirds for no watcher.
    for (ChunkSize chunk : {ChunkSize{64, 1},
                            {input.size() / 2, 1},
                            {input.size() / 2, 1024},
                            {input.size() / 3 + 1, 0}}) {
        File file(fopen(path.c_str(), "rb"));
        ReportFacts chunked;
        std::string seenInChunks;
        EntryWatcher inChunks = {WatchEntry, &seenInChunks};
        if (IndexInChunks(file.get(), path, {chunk.bytes, std::max<size_t>(chunk.entries, 1)},
                          chunk.entries > 0 ? &inChunks : nullptr, chunked)) {
            Check(FactsText(chunked) == FactsText(inMemory), "the same facts read in chunks");
            Check(chunk.entries == 0 || seenInChunks == seen, "the same entries watched in chunks");
        }
    }
    for (const ReportThread &thread : inMemory.threads) {
        ThreadCursor cursor;
        OpenThreadCursor(cursor, reports[0].file.get(), thread);
        ReadEntry entry;
        ReadProblem problem;
        uint64_t given = 0;
        for (CursorStatus status;
             (status = NextThreadEntry(cursor, entry, problem)) != CursorStatus::End;) {
            Check(status != CursorStatus::Failed, "a cursor reads the file as indexed");
            if (status == CursorStatus::Entry) {
                Check(entry.header[THREAD_ID_FIELD] == thread.id, "an entry of the thread");
                given++;
            }
        }
        Check(given <= thread.entries, "no more entries than the index counted");
        OpenThreadCursor(cursor, reports[0].file.get(), thread);
        std::string read =
            CursorText([&](ReadEntry &e, ReadProblem &p) { return NextThreadEntry(cursor, e, p); });
        auto ahead = std::make_unique<CursorAhead>();
        StartCursorAhead(*ahead, reports[1].file.get(), thread);
        Check(CursorText([&](ReadEntry &e, ReadProblem &p) {
                  return NextAheadEntry(*ahead, e, p);
              }) == read,
              "a cursor read ahead gives what it gives");
    }
    DiffResult result = DiffReports(reports[0], reports[1], {true, {}, {0, 0}}, {});
    Check(result.differenceCount == 0, "a report compared with itself differs in nothing");
    Check(result.verdict == (IsWellFormed(inMemory) ? DiffVerdict::Same : DiffVerdict::Partial),
          "the verdict of a report compared with itself");
}

void WriteScratch(const std::string &path, const std::string &text) {
    FILE *file = fopen(path.c_str(), "wb");
    Check(file != nullptr && fwrite(text.data(), 1, text.size(), file) == text.size(),
          "scratch file written");
    fclose(file);
}

// diff of two reports as JSON; side s reads the entries its index kept when
// bit s of `kept` is set, else by cursors over its text.
std::string DiffJson(const std::string (&paths)[2], int kept, bool strict) {
    IndexedReport reports[2];
    for (int s = 0; s < 2; s++) {
        EntrySpill spill;
        EntryWatcher watcher = SpillWatcher(spill);
        reports[s] = IndexReport(paths[s], ReadFor::Diff, &watcher);
        FinishSpill(spill);
        Check(spill.files[0] != nullptr, "entries kept whole");
        if (kept >> s & 1) {
            reports[s].spill = std::move(spill);
        }
    }
    char *text = nullptr;
    size_t size = 0;
    FILE *out = open_memstream(&text, &size);
    JsonDiff json = {StartJson(out), 0};
    DiffResult result =
        DiffReports(reports[0], reports[1], {strict, {}, {0, 0}}, {JsonDiffSink(json)});
    EndJsonDiff(json, result, {}, {});
    fclose(out);
    std::string document(text, size);
    free(text);
    return document;
}

// The report against a copy with some of its numbers changed, so that
// entries pair and differ: the same whichever side is read which way.
void EveryProducerAlike(const std::string &path, const std::string &input, bool strict) {
    std::string changed = input;
    for (size_t i = 1, n = 0; i < changed.size(); i++) {
        if (changed[i] == '0' && isdigit(static_cast<unsigned char>(changed[i - 1])) && n++ % 2) {
            changed[i] = '1';
        }
    }
    const std::string paths[2] = {path, path + ".b"};
    WriteScratch(paths[1], changed);
    std::string byCursors = DiffJson(paths, 0, strict);
    Check(DiffJson(paths, 3, strict) == byCursors, "kept entries pair as read");
    Check(DiffJson(paths, 1, strict) == byCursors, "one side's kept entries pair as read");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string input(reinterpret_cast<const char *>(data), size);
    // The fuzzer's own bytes are read, so that reading one beyond them is caught.
    ReportReader reader;
    OpenReportText(reader, reinterpret_cast<const char *>(data), size);
    std::string transcript = Transcript(reader, EVERY_THREAD, &input);
    if (size == 0) {
        return 0;
    }
    static const std::string path = [] {
        atexit([] {
            remove(("/tmp/reader_fuzzer." + std::to_string(getpid())).c_str());
            remove(("/tmp/reader_fuzzer." + std::to_string(getpid()) + ".b").c_str());
        });
        return "/tmp/reader_fuzzer." + std::to_string(getpid());
    }();
    WriteScratch(path, input);
    ReadThroughWindow(path, input, transcript);
    IndexAndCompare(path, input);
    EveryProducerAlike(path, input, size % 2 == 1);
    return 0;
}
