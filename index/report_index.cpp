#include "index/report_index.h"
#include "index/chunked_index.h"
#include "index/indexing.h"
#include "files/input_file.h"

#include <cstring>

size_t ThreadInRun(const ReportFacts &facts, size_t thread) {
    return thread - facts.runs[facts.threads[thread].run].firstThread + 1;
}

namespace {

// Whether an entry fits the current run, taking its thread or window in.
// Returns the thread's place in the run, or -1 when it starts a new run.
int FitRun(RunState &run, const EntryPlace &entry) {
    for (int t = 0; t < run.threads; t++) {
        bool sameWindow = entry.windowKnown && run.windowKnown[t] && run.windows[t] == entry.window;
        if (run.ids[t] == entry.id) {
            if (entry.windowKnown && run.windowKnown[t] && !sameWindow) {
                return -1;
            }
            if (entry.windowKnown) {
                run.windows[t] = entry.window;
                run.windowKnown[t] = true;
            }
            return t;
        }
        if (sameWindow) {
            return -1;
        }
    }
    if (run.threads == 2) {
        return -1;
    }
    run.ids[run.threads] = entry.id;
    run.windows[run.threads] = entry.window;
    run.windowKnown[run.threads] = entry.windowKnown;
    return run.threads++;
}

// A run's second thread with the thread and window of the entry just before
// the run: that entry may well be this run's first, which the report cannot
// tell.
void NoteUnclearStart(Indexing &indexing, const EntryPlace &entry) {
    const EntryPlace &before = indexing.lastOfPrevious;
    if (!indexing.hasLastOfPrevious || before.id != entry.id || !before.windowKnown ||
        !entry.windowKnown || before.window != entry.window) {
        return;
    }
    char ids[64];
    snprintf(ids, sizeof ids, "ThreadID 0x%08X and window %08X", entry.id, entry.window);
    size_t run = indexing.facts.runs.size();
    indexing.facts.notes.push_back({before.line,
                                    "this entry, counted in run " + std::to_string(run - 1) +
                                        ", may be run " + std::to_string(run) + "'s first: its " +
                                        ids + " come again in run " + std::to_string(run) +
                                        ", and the report cannot tell",
                                    ProblemPlace::OutsideEntries, 0, 0, 0, false, 0, false});
}

} // namespace

size_t CountEntry(Indexing &indexing, const EntryPlace &entry) {
    ReportFacts &facts = indexing.facts;
    int inRun = facts.runs.empty() ? -1 : FitRun(indexing.run, entry);
    if (inRun < 0) {
        indexing.hasLastOfPrevious = !facts.runs.empty();
        indexing.lastOfPrevious = indexing.last;
        indexing.run = {1, {entry.id}, {entry.window}, {entry.windowKnown}};
        facts.runs.push_back({entry.line, 0, facts.threads.size(), 0, 0, {}});
        inRun = 0;
    }
    ReportRun &run = facts.runs.back();
    if (static_cast<size_t>(inRun) == run.threads) {
        indexing.threadOf[inRun] = facts.threads.size();
        facts.threads.push_back({entry.id, 0, entry.line, entry.offset, facts.runs.size() - 1});
        run.threads++;
        if (inRun == 1) {
            NoteUnclearStart(indexing, entry);
        }
    }
    facts.entries++;
    run.entries++;
    size_t thread = indexing.threadOf[inRun];
    facts.threads[thread].entries++;
    indexing.last = entry;
    return thread;
}

static void CountProblem(ReportFacts &facts, ReadProblem &problem) {
    if (!facts.runs.empty()) {
        facts.runs.back().problems++;
    }
    if (facts.problems.size() < MAX_PROBLEMS_KEPT) {
        facts.problems.push_back(std::move(problem));
    }
    facts.problemCount++;
}

void StartIndexing(Indexing &indexing, const std::string &path) {
    indexing = {};
    indexing.facts.path = path;
    indexing.facts.readable = true;
}

void CountItem(Indexing &indexing, ReadStatus status, const ReadEntry &entry, ReadProblem &problem,
               const EntryWatcher *watcher) {
    ReportFacts &facts = indexing.facts;
    if (status == ReadStatus::Entry) {
        size_t thread =
            CountEntry(indexing, {entry.header[THREAD_ID_FIELD], entry.windowKnown,
                                  entry.header[WindowField(0, 0)], entry.line, entry.offset});
        if (watcher != nullptr) {
            watcher->seen(watcher->state, facts, thread, entry);
        }
        return;
    }
    if (problem.place == ProblemPlace::InEntry) {
        CountEntry(indexing, {problem.threadId, problem.windowKnown, problem.window,
                              problem.entryLine, problem.entryOffset});
    } else if (!facts.runs.empty()) {
        facts.runs.back().lastUnplaced = problem;
    }
    CountProblem(facts, problem);
}

ReportFacts FinishIndexing(Indexing &indexing, const ReadingEnd &end) {
    ReportFacts &facts = indexing.facts;
    if (facts.entries == 0 && facts.problemCount == 0) {
        ReadProblem none = {
            1, "no report entries", ProblemPlace::OutsideEntries, 0, 0, 0, false, 0, false};
        CountProblem(facts, none);
    }
    if (end.byteOrderMark) {
        facts.notes.insert(facts.notes.begin(),
                           {1, "a UTF-8 byte-order mark before the first line, passed over",
                            ProblemPlace::OutsideEntries, 0, 0, 0, false, 0, false});
    }
    if (end.blankLinesAtEnd != 0) {
        facts.notes.push_back({end.blankLinesAtEnd, "blank lines at the end, passed over",
                               ProblemPlace::OutsideEntries, 0, 0, 0, false, 0, false});
    }
    // What was read of a report that could not be read through would be
    // taken for all of it.
    if (end.error != 0) {
        facts.readable = false;
        facts.failure = std::string("read error: ") + strerror(end.error);
    }
    return std::move(facts);
}

ReportFacts IndexFromReader(ReportReader &reader, const std::string &path,
                            const EntryWatcher *watcher) {
    Indexing indexing;
    StartIndexing(indexing, path);
    ReadEntry entry;
    ReadProblem problem;
    for (ReadStatus status;
         (status = ReadNextEntry(reader, EVERY_THREAD, entry, problem)) != ReadStatus::End;) {
        CountItem(indexing, status, entry, problem, watcher);
    }
    return FinishIndexing(indexing, EndOf(reader));
}

IndexedReport IndexOpenReport(File file, const std::string &path, ReadFor use,
                              const EntryWatcher *watcher) {
    IndexedReport report = {std::move(file), {}, {}};
    if (use == ReadFor::Facts &&
        IndexInChunks(report.file.get(), path, INDEX_CHUNK, watcher, report.facts)) {
        return report;
    }
    ReportReader reader;
    OpenReportFile(reader, report.file.get());
    report.facts = IndexFromReader(reader, path, watcher);
    return report;
}

IndexedReport IndexReport(const std::string &path, ReadFor use, const EntryWatcher *watcher) {
    std::string error;
    File file(OpenInputFile(path, use == ReadFor::Diff, error));
    if (file == nullptr) {
        IndexedReport report = {};
        report.facts.path = path;
        report.facts.failure = error;
        return report;
    }
    return IndexOpenReport(std::move(file), path, use, watcher);
}
