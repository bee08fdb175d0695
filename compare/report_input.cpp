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

// Reads on through the whole report, up to the next entry of the first
// thread when stopAtFirstThread is set.
static bool ReadOn(ReportInput &input, bool stopAtFirstThread, ReadEntry &entry) {
    ReadProblem problem;
    for (;;) {
        switch (ReadNextEntry(input.reader, entry, problem)) {
        case ReadStatus::End:
            if (input.entries == 0 && input.problemCount == 0) {
                NoteProblem(input, {1, "no report entries"});
            }
            input.wholeRead = true;
            return false;
        case ReadStatus::Problem:
            NoteProblem(input, problem);
            break;
        case ReadStatus::Entry:
            NoteEntry(input, entry);
            if (stopAtFirstThread && entry.threadId == input.threads[0].id) {
                return true;
            }
            break;
        }
    }
}

bool NextThreadEntry(ReportInput &input, size_t thread, ReadEntry &entry) {
    if (thread == 0) {
        return !input.wholeRead && ReadOn(input, true, entry);
    }
    if (thread >= input.threads.size()) {
        return false;
    }
    const ReportThread &wanted = input.threads[thread];
    if (input.thread != thread) {
        input.thread = thread;
        input.taken = 0;
        SeekReport(input.reader, wanted.firstOffset, wanted.firstLine);
        input.reader.onlyOneThread = true;
        input.reader.onlyThreadId = wanted.id;
    }
    // The count from the whole reading says when the thread's last entry
    // has been taken, so nothing after it is read.
    ReadProblem problem;
    while (input.taken < wanted.entries) {
        ReadStatus status = ReadNextEntry(input.reader, entry, problem);
        if (status == ReadStatus::End) {
            return false;
        }
        if (status == ReadStatus::Entry) {
            input.taken++;
            return true;
        }
    }
    return false;
}

void ReadWholeInput(ReportInput &input) {
    ReadEntry entry;
    if (!input.wholeRead) {
        ReadOn(input, false, entry);
    }
}
