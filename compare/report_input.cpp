#include "compare/report_input.h"

#include <cstdint>

bool OpenInput(ReportInput &input, const std::string &path, std::string &error) {
    input = ReportInput{};
    input.path = path;
    input.thread = SIZE_MAX;
    return OpenReportFile(input.reader, path, error);
}

void CloseInput(ReportInput &input) {
    CloseReport(input.reader);
}

static void NoteEntry(ReportInput &input, const ReadEntry &entry) {
    input.entries++;
    for (ReportThread &thread : input.threads) {
        if (thread.id == entry.threadId) {
            thread.entries++;
            return;
        }
    }
    input.threads.push_back({entry.threadId, 1, entry.offset, entry.line});
}

static void NoteProblem(ReportInput &input, const ReadProblem &problem) {
    if (input.problems.size() < MAX_PROBLEMS_KEPT) {
        input.problems.push_back(problem);
    }
    input.problemCount++;
}

static void NoteEnd(ReportInput &input) {
    if (input.entries == 0 && input.problemCount == 0) {
        NoteProblem(input, {1, "no report entries", false});
    }
    input.firstPassDone = true;
}

void ReadWholeInput(ReportInput &input) {
    ReadEntry entry;
    ReadProblem problem;
    for (;;) {
        switch (ReadNextEntry(input.reader, entry, problem)) {
        case ReadStatus::End:
            NoteEnd(input);
            return;
        case ReadStatus::Problem:
            NoteProblem(input, problem);
            break;
        case ReadStatus::Entry:
        case ReadStatus::Passed:
            NoteEntry(input, entry);
            break;
        }
    }
}

// The first pass: the first entry's thread is taken, the others noted.
static bool NextFirstThreadEntry(ReportInput &input, ReadEntry &entry) {
    ReadProblem problem;
    input.thread = 0;
    while (!input.firstPassDone) {
        switch (ReadNextEntry(input.reader, entry, problem)) {
        case ReadStatus::End:
            NoteEnd(input);
            return false;
        case ReadStatus::Problem:
            NoteProblem(input, problem);
            break;
        case ReadStatus::Passed:
            NoteEntry(input, entry);
            break;
        case ReadStatus::Entry:
            NoteEntry(input, entry);
            input.firstThreadId = input.threads[0].id;
            input.reader.onlyOneThread = true;
            input.reader.onlyThreadId = input.firstThreadId;
            return true;
        }
    }
    return false;
}

void FinishFirstPass(ReportInput &input) {
    ReadEntry entry;
    while (NextFirstThreadEntry(input, entry)) {
    }
    input.thread = SIZE_MAX;
}

bool NextThreadEntry(ReportInput &input, size_t thread, ReadEntry &entry) {
    if (thread == 0 && !input.firstPassDone) {
        return NextFirstThreadEntry(input, entry);
    }
    if (thread >= input.threads.size()) {
        return false;
    }
    const ReportThread &wanted = input.threads[thread];
    if (input.thread != thread) {
        input.thread = thread;
        input.seen = 0;
        input.afterEntry = false;
        SeekReport(input.reader, wanted.firstOffset, wanted.firstLine);
        input.reader.onlyOneThread = true;
        input.reader.onlyThreadId = wanted.id;
    }
    // The first pass counted the thread's entries, so nothing is read beyond
    // what follows its last one.
    ReadProblem problem;
    while (input.seen < wanted.entries || input.afterEntry) {
        bool afterEntry = input.afterEntry;
        input.afterEntry = false;
        switch (ReadNextEntry(input.reader, entry, problem)) {
        case ReadStatus::End:
            return false;
        case ReadStatus::Problem:
            // The first pass noted the problems of its own thread's entries.
            // It passed over the others' entries with whatever follows them
            // outside any entry: only their own pass sees that.
            input.seen += problem.inEntry ? 1 : 0;
            if ((problem.inEntry || afterEntry) && wanted.id != input.firstThreadId) {
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
    return false;
}

bool ReorderThreads(ReportInput &input, const std::vector<size_t> &first, std::string &error) {
    FinishFirstPass(input);
    std::vector<ReportThread> ordered;
    std::vector<bool> taken(input.threads.size(), false);
    for (size_t thread : first) {
        if (thread >= input.threads.size() || taken[thread]) {
            error = "thread " + std::to_string(thread + 1) +
                    (thread >= input.threads.size() ? " does not exist" : " is named twice");
            return false;
        }
        taken[thread] = true;
        ordered.push_back(input.threads[thread]);
    }
    for (size_t thread = 0; thread < input.threads.size(); thread++) {
        if (!taken[thread]) {
            ordered.push_back(input.threads[thread]);
        }
    }
    input.threads = ordered;
    return true;
}
