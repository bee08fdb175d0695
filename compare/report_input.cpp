#include "compare/report_input.h"
#include "files/input_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

bool OpenInput(ReportInput &input, const std::string &path, bool mustSeek) {
    input = ReportInput{};
    input.facts.path = path;
    std::string error;
    input.file = OpenInputFile(path, mustSeek, error);
    if (input.file == nullptr) {
        input.facts.failure = error;
        return false;
    }
    input.facts.readable = true;
    OpenReportFile(input.reader, input.file);
    return true;
}

void CloseInput(ReportInput &input) {
    if (input.file != nullptr) {
        fclose(input.file);
        input.file = nullptr;
    }
}

// The run an entry belongs to: the current one while its thread and window
// fit the current run's, else a new one.
static bool FitsRun(RunState &run, uint32_t id, bool windowKnown, uint32_t window) {
    for (int t = 0; t < run.threads; t++) {
        bool sameWindow = windowKnown && run.windowKnown[t] && run.windows[t] == window;
        if (run.ids[t] == id) {
            if (windowKnown && run.windowKnown[t] && !sameWindow) {
                return false;
            }
            if (windowKnown) {
                run.windows[t] = window;
                run.windowKnown[t] = true;
            }
            return true;
        }
        if (sameWindow) {
            return false;
        }
    }
    if (run.threads == 2) {
        return false;
    }
    run.ids[run.threads] = id;
    run.windows[run.threads] = window;
    run.windowKnown[run.threads] = windowKnown;
    run.threads++;
    return true;
}

// Counts an entry for its run and thread; returns the thread's index.
static size_t NoteEntry(ReportInput &input, uint32_t id, bool windowKnown, uint32_t window,
                        uint64_t line, uint64_t offset) {
    ReportFacts &facts = input.facts;
    if (facts.runs.empty() || !FitsRun(input.run, id, windowKnown, window)) {
        input.run = {1, {id}, {window}, {windowKnown}};
        facts.runs.push_back({line, 0, facts.threads.size(), 0});
    }
    ReportRun &run = facts.runs.back();
    facts.entries++;
    run.entries++;
    uint64_t key = static_cast<uint64_t>(facts.runs.size()) << 32 | id;
    auto [found, added] = input.threadOf.try_emplace(key, facts.threads.size());
    if (added) {
        facts.threads.push_back({id, 0, line, offset, facts.runs.size() - 1});
        run.threads++;
    }
    facts.threads[found->second].entries++;
    return found->second;
}

// Keeps the problems with the lowest lines, as one pass through the file
// would meet them first.
static void KeepLowestProblems(ReportFacts &facts) {
    std::stable_sort(facts.problems.begin(), facts.problems.end(),
                     [](const ReadProblem &a, const ReadProblem &b) { return a.line < b.line; });
    if (facts.problems.size() > MAX_PROBLEMS_KEPT) {
        facts.problems.resize(MAX_PROBLEMS_KEPT);
    }
}

static void NoteProblem(ReportInput &input, const ReadProblem &problem) {
    ReportFacts &facts = input.facts;
    facts.problems.push_back(problem);
    facts.problemCount++;
    if (facts.problems.size() >= 2 * MAX_PROBLEMS_KEPT) {
        KeepLowestProblems(facts);
    }
}

// What the first pass met: every entry, and what it found wrong. Returns the
// entry's thread, or SIZE_MAX for a problem outside any entry.
static size_t Note(ReportInput &input, ReadStatus status, const ReadEntry &entry,
                   const ReadProblem &problem) {
    size_t thread = SIZE_MAX;
    if (status == ReadStatus::Entry || status == ReadStatus::Passed) {
        thread = NoteEntry(input, entry.header[THREAD_ID_FIELD], entry.windowKnown,
                           entry.header[WindowField(0, 0)], entry.line, entry.offset);
    } else if (status == ReadStatus::Problem) {
        if (problem.place == ProblemPlace::InEntry) {
            thread = NoteEntry(input, problem.threadId, problem.windowKnown, problem.window,
                               problem.entryLine, problem.entryOffset);
        }
        NoteProblem(input, problem);
    }
    return thread;
}

// What editors do, noted once whichever pass meets it.
static void NoteOnce(ReportInput &input, uint64_t line, const char *note) {
    std::vector<ReadProblem> &notes = input.facts.notes;
    bool noted = std::any_of(notes.begin(), notes.end(), [&](const ReadProblem &known) {
        return known.line == line && known.reason == note;
    });
    if (!noted) {
        notes.push_back({line, note, ProblemPlace::OutsideEntries, 0, 0, 0, false, 0});
    }
}

static void NoteEditors(ReportInput &input) {
    ReportReader &reader = input.reader;
    if (reader.byteOrderMark) {
        NoteOnce(input, 1, "a UTF-8 byte-order mark before the first line, passed over");
    }
    if (reader.blankLinesAtEnd != 0) {
        NoteOnce(input, reader.blankLinesAtEnd, "blank lines at the end, passed over");
        reader.blankLinesAtEnd = 0;
    }
}

// A failed read or seek makes the report unreadable: what was read of it
// would be taken for all of it.
static void NoteReadFailure(ReportInput &input) {
    const ReadWindow &window = input.reader.window;
    if (window.error != 0 && input.facts.readable) {
        input.facts.readable = false;
        input.facts.failure = std::string("read error: ") + strerror(window.error);
    }
}

static void EndFirstPass(ReportInput &input) {
    ReportFacts &facts = input.facts;
    if (facts.entries == 0 && facts.problemCount == 0) {
        NoteProblem(input,
                    {1, "no report entries", ProblemPlace::OutsideEntries, 0, 0, 0, false, 0});
    }
    NoteEditors(input);
    input.firstPassDone = true;
    // Thread 0's pass is done when its entries were taken on the way.
    input.passDone.assign(facts.threads.size(), false);
    if (!facts.threads.empty() && input.thread == 0) {
        input.passDone[0] = true;
    }
    NoteReadFailure(input);
    KeepLowestProblems(facts);
}

void ReadWholeInput(ReportInput &input) {
    input.firstPassRead = true;
    ReadEntry entry;
    ReadProblem problem;
    ReadStatus status;
    while ((status = ReadNextEntry(input.reader, EVERY_THREAD, entry, problem)) !=
           ReadStatus::End) {
        Note(input, status, entry, problem);
    }
    EndFirstPass(input);
}

// The first pass: every entry is noted; those of the first thread to appear
// are taken, whole or not, and the others passed over. Read through without
// taking them, it passes over every entry.
static bool NextFirstThreadEntry(ReportInput &input, ReadEntry &entry) {
    ReadProblem problem;
    while (!input.firstPassDone) {
        const std::vector<ReportThread> &threads = input.facts.threads;
        ThreadFilter filter = !input.firstPassRead ? NO_THREAD_READ
                              : threads.empty()    ? EVERY_THREAD
                                                   : ThreadFilter{true, threads[0].id, false};
        ReadStatus status = ReadNextEntry(input.reader, filter, entry, problem);
        if (status == ReadStatus::End) {
            EndFirstPass(input);
            return false;
        }
        size_t thread = Note(input, status, entry, problem);
        if (status == ReadStatus::Entry && thread == 0) {
            return true;
        }
    }
    return false;
}

// A later pass: the first pass met every entry and what lies between
// entries, but passed over the other threads' entries with whatever follows
// them outside any entry: only their own pass notes that.
static bool NextLaterThreadEntry(ReportInput &input, size_t thread, ReadEntry &entry) {
    const ReportThread &wanted = input.facts.threads[thread];
    // The first pass noted what it read whole: entries of thread 0's id (or
    // all), in any run, with what follows them outside any entry.
    bool notes =
        !input.firstPassReadAll && (!input.firstPassRead || wanted.id != input.facts.threads[0].id);
    if (input.thread != thread) {
        input.thread = thread;
        input.seen = 0;
        input.afterEntry = false;
        if (!SeekReport(input.reader, wanted.firstOffset, wanted.firstLine)) {
            NoteReadFailure(input);
            input.passDone[thread] = true;
            return false;
        }
    }
    // The first pass counted the thread's entries, so nothing is read beyond
    // what follows its last one.
    ReadProblem problem;
    ThreadFilter filter = {true, wanted.id, false};
    while (input.seen < wanted.entries || input.afterEntry) {
        bool afterEntry = input.afterEntry;
        input.afterEntry = false;
        ReadStatus status = ReadNextEntry(input.reader, filter, entry, problem);
        NoteEditors(input);
        bool ofThisRun = input.seen < wanted.entries;
        if (status == ReadStatus::End) {
            NoteReadFailure(input);
            if (ofThisRun && input.facts.readable) {
                input.facts.readable = false;
                input.facts.failure = "the report changed while it was read";
            }
            break;
        }
        if (status == ReadStatus::Problem && problem.place != ProblemPlace::InEntry) {
            if (notes && afterEntry && problem.place == ProblemPlace::OutsideEntries) {
                NoteProblem(input, problem);
            }
            continue;
        }
        // Past its last entry, an entry of the same id is a later run's.
        if (status == ReadStatus::Passed || !ofThisRun) {
            continue;
        }
        input.seen++;
        input.afterEntry = true;
        if (status == ReadStatus::Entry) {
            return true;
        }
        if (notes) {
            NoteProblem(input, problem);
        }
    }
    input.passDone[thread] = true;
    KeepLowestProblems(input.facts);
    return false;
}

void FinishFirstPass(ReportInput &input) {
    if (input.firstPassDone) {
        return;
    }
    ReadEntry entry;
    input.thread = SIZE_MAX;
    while (input.facts.readable && !input.firstPassDone) {
        NextFirstThreadEntry(input, entry);
    }
}

bool NextThreadEntry(ReportInput &input, size_t thread, ReadEntry &entry) {
    if (!input.facts.readable) {
        return false;
    }
    if (thread == 0 && !input.firstPassDone && input.thread == 0) {
        input.firstPassRead = true;
        return NextFirstThreadEntry(input, entry);
    }
    FinishFirstPass(input);
    if (!input.facts.readable || thread >= input.facts.threads.size() || input.passDone[thread]) {
        return false;
    }
    return NextLaterThreadEntry(input, thread, entry);
}

void FinishReading(ReportInput &input) {
    ReadEntry entry;
    FinishFirstPass(input);
    for (size_t t = 1; t < input.facts.threads.size() && input.facts.readable; t++) {
        while (!input.passDone[t] && NextLaterThreadEntry(input, t, entry)) {
        }
    }
    KeepLowestProblems(input.facts);
}

std::vector<ReadEntry> FirstEntries(ReportInput &input, size_t thread, size_t most) {
    std::vector<ReadEntry> entries;
    const ReportThread &wanted = input.facts.threads[thread];
    if (!SeekReport(input.reader, wanted.firstOffset, wanted.firstLine)) {
        NoteReadFailure(input);
        return entries;
    }
    // The pass under way starts again where it was when next asked.
    input.thread = SIZE_MAX;
    ReadEntry entry;
    ReadProblem problem;
    ThreadFilter filter = {true, wanted.id, false};
    for (uint64_t seen = 0; seen < wanted.entries && entries.size() < most;) {
        ReadStatus status = ReadNextEntry(input.reader, filter, entry, problem);
        if (status == ReadStatus::End) {
            break;
        }
        seen += status == ReadStatus::Entry || problem.place == ProblemPlace::InEntry;
        if (status == ReadStatus::Entry) {
            entries.push_back(entry);
        }
    }
    return entries;
}

void ReadPassesAgain(ReportInput &input) {
    input.passDone.assign(input.facts.threads.size(), false);
    input.thread = SIZE_MAX;
}

bool NextEntryOfFirstPass(ReportInput &input, ReadEntry &entry, size_t &thread) {
    input.firstPassRead = input.firstPassReadAll = true;
    input.thread = SIZE_MAX;
    ReadProblem problem;
    while (!input.firstPassDone && input.facts.readable) {
        ReadStatus status = ReadNextEntry(input.reader, EVERY_THREAD, entry, problem);
        if (status == ReadStatus::End) {
            EndFirstPass(input);
            break;
        }
        thread = Note(input, status, entry, problem);
        if (status == ReadStatus::Entry) {
            return true;
        }
    }
    return false;
}

void RestartInput(ReportInput &input) {
    std::string path = input.facts.path;
    FILE *file = input.file;
    input = ReportInput{};
    input.facts.path = path;
    input.facts.readable = true;
    input.file = file;
    if (!SeekInputFile(file, 0)) {
        input.facts.readable = false;
        input.facts.failure = std::string("cannot read it again: ") + strerror(errno);
        return;
    }
    OpenReportFile(input.reader, file);
}
