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

static void NoteEntry(ReportInput &input, uint32_t threadId, uint64_t line, uint64_t offset) {
    ReportFacts &facts = input.facts;
    facts.entries++;
    auto [found, added] = input.threadOf.try_emplace(threadId, facts.threads.size());
    if (added) {
        facts.threads.push_back({threadId, 1, line, offset});
    } else {
        facts.threads[found->second].entries++;
    }
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

// What a pass met, noted when the pass notes it.
static void Note(ReportInput &input, ReadStatus status, const ReadEntry &entry,
                 const ReadProblem &problem) {
    if (status == ReadStatus::Entry || status == ReadStatus::Passed) {
        NoteEntry(input, entry.header[THREAD_ID_FIELD], entry.line, entry.offset);
    } else if (status == ReadStatus::Problem) {
        if (problem.place == ProblemPlace::InEntry) {
            NoteEntry(input, problem.threadId, problem.entryLine, problem.entryOffset);
        }
        NoteProblem(input, problem);
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
        NoteProblem(input, {1, "no report entries", ProblemPlace::OutsideEntries, 0, 0, 0});
    }
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
// are taken, whole or not, and the others passed over.
static bool NextFirstThreadEntry(ReportInput &input, ReadEntry &entry) {
    ReadProblem problem;
    while (!input.firstPassDone) {
        const std::vector<ReportThread> &threads = input.facts.threads;
        ThreadFilter filter = threads.empty() ? EVERY_THREAD : ThreadFilter{true, threads[0].id};
        ReadStatus status = ReadNextEntry(input.reader, filter, entry, problem);
        if (status == ReadStatus::End) {
            EndFirstPass(input);
            return false;
        }
        Note(input, status, entry, problem);
        if (status == ReadStatus::Entry) {
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
    bool notes = thread != 0;
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
    ThreadFilter filter = {true, wanted.id};
    while (input.seen < wanted.entries || input.afterEntry) {
        bool afterEntry = input.afterEntry;
        input.afterEntry = false;
        switch (ReadNextEntry(input.reader, filter, entry, problem)) {
        case ReadStatus::End:
            NoteReadFailure(input);
            if (input.seen < wanted.entries && input.facts.readable) {
                input.facts.readable = false;
                input.facts.failure = "the report changed while it was read";
            }
            input.passDone[thread] = true;
            return false;
        case ReadStatus::Problem:
            if (problem.place == ProblemPlace::InEntry) {
                input.seen++;
                input.afterEntry = true;
            }
            if (notes && (problem.place == ProblemPlace::InEntry ||
                          (afterEntry && problem.place == ProblemPlace::OutsideEntries))) {
                NoteProblem(input, problem);
            }
            break;
        case ReadStatus::Passed:
            break;
        case ReadStatus::Entry:
            input.seen++;
            input.afterEntry = true;
            return true;
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
