#include "compare/report_input.h"

bool OpenInput(ReportInput &input, const std::string &path, std::string &error) {
    input = ReportInput{};
    input.path = path;
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
            input.reader.onlyOneThread = true;
            input.reader.onlyThreadId = input.threads[0].id;
            return true;
        }
    }
    return false;
}

bool NextThreadEntry(ReportInput &input, size_t thread, ReadEntry &entry) {
    if (thread == 0) {
        return NextFirstThreadEntry(input, entry);
    }
    if (thread >= input.threads.size()) {
        return false;
    }
    const ReportThread &wanted = input.threads[thread];
    if (input.thread != thread) {
        input.thread = thread;
        input.seen = 0;
        SeekReport(input.reader, wanted.firstOffset, wanted.firstLine);
        input.reader.onlyOneThread = true;
        input.reader.onlyThreadId = wanted.id;
    }
    // The first pass counted the thread's entries, so nothing after its last
    // one is read.
    ReadProblem problem;
    while (input.seen < wanted.entries) {
        switch (ReadNextEntry(input.reader, entry, problem)) {
        case ReadStatus::End:
            return false;
        case ReadStatus::Problem:
            if (problem.inEntry) {
                input.seen++;
                NoteProblem(input, problem);
            }
            break;
        case ReadStatus::Passed:
            break;
        case ReadStatus::Entry:
            input.seen++;
            return true;
        }
    }
    return false;
}
