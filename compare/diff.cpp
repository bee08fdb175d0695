#include "compare/diff.h"
#include "compare/comparer.h"
#include "index/cursor_ahead.h"
#include "index/entry_spill.h"

#include <algorithm>
#include <memory>

namespace {

// The runs compared: as asked (1-based), else the last of each.
bool ChooseRuns(DiffResult &result, const DiffOptions &options) {
    const ReportFacts *reports[2] = {&result.a, &result.b};
    size_t *chosen[2] = {&result.runA, &result.runB};
    for (int s = 0; s < 2; s++) {
        size_t runs = reports[s]->runs.size();
        size_t asked = options.runs[s];
        if (asked > runs) {
            result.failure = "--runs: " + reports[s]->path + " has no run " +
                             std::to_string(asked) + " (it has " + std::to_string(runs) + ")";
            return false;
        }
        *chosen[s] = asked > 0 ? asked - 1 : runs - 1;
    }
    return true;
}

// The threads of a run, by their index in the report.
std::vector<size_t> RunThreads(const ReportFacts &facts, size_t run) {
    std::vector<size_t> threads;
    if (run < facts.runs.size()) {
        for (size_t t = 0; t < facts.runs[run].threads; t++) {
            threads.push_back(facts.runs[run].firstThread + t);
        }
    }
    return threads;
}

// The first entries of each thread that pairing by content looks at.
constexpr size_t PAIRING_ENTRIES = 4;

// A thread's first whole entries, at most PAIRING_ENTRIES.
std::vector<ReadEntry> FirstEntries(IndexedReport &report, size_t thread) {
    std::vector<ReadEntry> entries;
    ThreadCursor cursor;
    OpenThreadCursor(cursor, report.file.get(), report.facts.threads[thread]);
    ReadEntry entry;
    ReadProblem problem;
    for (CursorStatus status;
         entries.size() < PAIRING_ENTRIES &&
         (status = NextThreadEntry(cursor, entry, problem)) != CursorStatus::End &&
         status != CursorStatus::Stop && status != CursorStatus::Failed;) {
        if (status == CursorStatus::Entry) {
            entries.push_back(entry);
        }
    }
    return entries;
}

// How many facts differ in the first entries of rows of threads paired so.
uint64_t PairingScore(const std::vector<ReadEntry> (&a)[2], const std::vector<ReadEntry> (&b)[2],
                      bool swapped) {
    HandleNames namesA = {};
    HandleNames namesB = {};
    std::vector<Difference> differences;
    for (size_t row = 0; row < 2; row++) {
        const std::vector<ReadEntry> &entriesA = a[row];
        const std::vector<ReadEntry> &entriesB = b[swapped ? 1 - row : row];
        for (size_t i = 0; i < entriesA.size() && i < entriesB.size(); i++) {
            NameEntryHandles(namesA, row, entriesA[i]);
            NameEntryHandles(namesB, row, entriesB[i]);
            CompareEntries(namesA, namesB, false, row + 1, i + 1, entriesA[i], entriesB[i],
                           differences);
        }
    }
    return differences.size();
}

// B's threads for A's rows: as --match-threads names them (within B's run),
// then the others in order; with two threads on each side and nothing
// named, the way fewer facts differ in the threads' first entries.
bool PairThreads(DiffResult &result, IndexedReport &a, IndexedReport &b,
                 const std::vector<size_t> &named, const std::vector<size_t> &threadsA,
                 std::vector<size_t> &threadsB) {
    std::vector<size_t> inRun = threadsB;
    threadsB.clear();
    for (size_t t : named) {
        if (t >= inRun.size()) {
            result.failure = "--match-threads: run " + std::to_string(result.runB + 1) + " of " +
                             result.b.path + " has no thread " + std::to_string(t + 1) +
                             " (it has " + std::to_string(inRun.size()) + ")";
            return false;
        }
        threadsB.push_back(inRun[t]);
    }
    for (size_t t = 0; t < inRun.size(); t++) {
        if (std::find(named.begin(), named.end(), t) == named.end()) {
            threadsB.push_back(inRun[t]);
        }
    }
    result.pairing = named.empty() ? Pairing::Order : Pairing::Asked;
    if (named.empty() && threadsA.size() == 2 && threadsB.size() == 2) {
        std::vector<ReadEntry> firstA[2];
        std::vector<ReadEntry> firstB[2];
        for (int t = 0; t < 2; t++) {
            firstA[t] = FirstEntries(a, threadsA[t]);
            firstB[t] = FirstEntries(b, threadsB[t]);
        }
        result.inOrderScore = PairingScore(firstA, firstB, false);
        result.swappedScore = PairingScore(firstA, firstB, true);
        if (result.swappedScore < result.inOrderScore) {
            std::swap(threadsB[0], threadsB[1]);
            result.pairing = Pairing::Content;
        }
    }
    return true;
}

// One side of a row being read.
struct RowSide {
    IndexedReport &report;
    ReportFacts &facts;
    HandleNames &names;
    size_t thread;
    // A run without problems is read from the entries the index kept;
    // otherwise B's thread is read ahead on a thread of its own while A's is
    // read here.
    bool fromSpill;
    bool readAhead;
    SpillCursor spilled = {};
    ThreadCursor cursor = {};
    std::unique_ptr<CursorAhead> ahead = {};
    bool ended = false;
    ReadEntry entry = {};
    CursorStatus status = CursorStatus::End;
    uint64_t lastLine = 0;
    uint64_t entriesRead = 0;    // whole or with a bad value
    uint64_t firstUnmatched = 0; // its first entry the other side lacks
};

struct Comparing {
    DiffResult &result;
    const DiffOptions &options;
    const std::vector<DiffSink> &sinks;
    std::vector<Difference> differences; // of the pair at hand
};

// Marks the known differences of a pair of entries, counts and groups them,
// and hands the pair to the sinks.
void Push(Comparing &comparing, EntryPair pair, Difference *differences) {
    DiffResult &result = comparing.result;
    ThreadPair &row = result.rows[pair.row - 1];
    const KnownCheck &known = comparing.options.known;
    pair.differences = differences;
    for (size_t i = 0; i < pair.count; i++) {
        Difference &difference = differences[i];
        if (known.state != nullptr) {
            difference.known = known.lineOf(known.state, result, difference);
        }
        row.differences++;
        result.differenceCount++;
        result.knownCount += difference.known != 0;
        if (!GroupDifference(result.groups, difference)) {
            row.ungrouped++;
        }
    }
    for (const DiffSink &sink : comparing.sinks) {
        sink.pair(sink.state, result, pair);
    }
}

void NoteRowProblem(ThreadPair &row, const RowSide &side, bool inB, uint64_t entry,
                    const ReadProblem &problem) {
    if (side.status == CursorStatus::BadEntry) {
        if (row.passedOver++ == 0) {
            row.firstPassedOver = {inB, entry, problem};
        }
        return;
    }
    if (!row.stopped) {
        row.stopped = true;
        row.stop = {inB, entry, problem};
    }
}

void OpenSide(RowSide &side) {
    side.ended = side.thread == NO_THREAD;
    if (side.ended) {
        return;
    }
    FILE *file = side.report.file.get();
    const ReportThread &thread = side.facts.threads[side.thread];
    if (side.fromSpill) {
        OpenSpillCursor(side.spilled, side.report.spill, side.facts, side.thread);
    } else if (side.readAhead) {
        side.ahead = std::make_unique<CursorAhead>();
        StartCursorAhead(*side.ahead, file, thread);
    } else {
        OpenThreadCursor(side.cursor, file, thread);
    }
}

CursorStatus NextSideEntry(RowSide &side, ReadProblem &problem) {
    return side.fromSpill   ? NextSpilledEntry(side.spilled, side.entry, problem)
           : side.readAhead ? NextAheadEntry(*side.ahead, side.entry, problem)
                            : NextThreadEntry(side.cursor, side.entry, problem);
}

// Compares row r's pair of threads entry by entry, each side read by its
// cursor, to the end of either or to a problem that stops it.
void CompareRow(Comparing &comparing, RowSide (&sides)[2], size_t r) {
    DiffResult &result = comparing.result;
    ThreadPair &row = result.rows[r];
    size_t rowNumber = r + 1;
    for (RowSide &side : sides) {
        OpenSide(side);
    }
    for (uint64_t entry = 1;; entry++) {
        ReadProblem problems[2];
        for (int s = 0; s < 2; s++) {
            RowSide &side = sides[s];
            side.status = side.ended ? CursorStatus::End : NextSideEntry(side, problems[s]);
            side.ended = side.status == CursorStatus::End;
        }
        for (int s = 0; s < 2; s++) {
            RowSide &side = sides[s];
            if (side.status == CursorStatus::Failed && side.facts.readable) {
                side.facts.readable = false;
                side.facts.failure = problems[s].reason;
            }
            if (side.status == CursorStatus::Stop || side.status == CursorStatus::Failed ||
                side.status == CursorStatus::BadEntry) {
                NoteRowProblem(row, side, s == 1, entry, problems[s]);
            }
        }
        if (row.stopped || (sides[0].ended && sides[1].ended)) {
            break;
        }
        const ReadEntry *entries[2] = {nullptr, nullptr};
        for (int s = 0; s < 2; s++) {
            RowSide &side = sides[s];
            if (side.status == CursorStatus::End) {
                continue;
            }
            // An entry with a bad value is named too: its handles are read,
            // and naming stays in step on both sides.
            NameEntryHandles(side.names, r, side.entry);
            side.lastLine = side.entry.line;
            side.entriesRead++;
            if (side.status == CursorStatus::Entry) {
                entries[s] = &side.entry;
            }
            if (sides[1 - s].status == CursorStatus::End && side.firstUnmatched == 0) {
                side.firstUnmatched = side.entry.line;
            }
        }
        row.entries = entry;
        bool passedOver =
            sides[0].status == CursorStatus::BadEntry || sides[1].status == CursorStatus::BadEntry;
        if (passedOver) {
            continue;
        }
        comparing.differences.clear();
        if (entries[0] != nullptr && entries[1] != nullptr) {
            CompareEntries(result.namesA, result.namesB, comparing.options.strict, rowNumber, entry,
                           *entries[0], *entries[1], comparing.differences);
        }
        Push(comparing,
             {rowNumber, entry, entries[0], entries[1], nullptr, comparing.differences.size()},
             comparing.differences.data());
    }
    // Lines of no known thread after a side's last entry may hide more of
    // its entries: its count is not known.
    for (int s = 0; s < 2 && !row.stopped; s++) {
        const RowSide &side = sides[s];
        if (side.thread != NO_THREAD) {
            const ReadProblem &unplaced =
                side.facts.runs[side.facts.threads[side.thread].run].lastUnplaced;
            if (unplaced.line > side.lastLine) {
                row.stopped = true;
                row.stop = {s == 1, side.entriesRead + 1, unplaced};
            }
        }
    }
    if (row.stopped) {
        row.compared = row.entries > 0 ? Compared::Partly : Compared::Not;
    } else {
        row.compared = row.passedOver > 0 ? Compared::Partly : Compared::Whole;
        uint64_t counts[2] = {0, 0};
        uint64_t lines[2] = {0, 0};
        for (int s = 0; s < 2; s++) {
            const RowSide &side = sides[s];
            counts[s] = side.thread == NO_THREAD ? 0 : side.facts.threads[side.thread].entries;
            lines[s] = side.firstUnmatched != 0 ? side.firstUnmatched : side.lastLine;
        }
        if (counts[0] != counts[1]) {
            Difference count = {rowNumber,
                                0,
                                {FactKind::Entries, 0, 0},
                                {counts[0], lines[0], nullptr},
                                {counts[1], lines[1], nullptr},
                                0};
            Push(comparing, {rowNumber, 0, nullptr, nullptr, nullptr, 1}, &count);
        }
    }
    for (const DiffSink &sink : comparing.sinks) {
        sink.rowEnd(sink.state, result, rowNumber);
    }
}

DiffVerdict VerdictOf(const DiffResult &result) {
    if (!result.a.readable || !result.b.readable || !result.failure.empty()) {
        return DiffVerdict::Trouble;
    }
    if (!IsWellFormed(result.a) || !IsWellFormed(result.b)) {
        return DiffVerdict::Partial;
    }
    return result.differenceCount == result.knownCount && result.noLongerDiffer.empty()
               ? DiffVerdict::Same
               : DiffVerdict::Different;
}

} // namespace

DiffResult DiffReports(IndexedReport &a, IndexedReport &b, const DiffOptions &options,
                       const std::vector<DiffSink> &sinks) {
    DiffResult result = {};
    result.options = options;
    result.a = a.facts;
    result.b = b.facts;
    std::vector<size_t> threadsA;
    std::vector<size_t> threadsB;
    // A report with no run (no entry read whole or not) leaves nothing to pair.
    bool paired = result.a.readable && result.b.readable && !result.a.runs.empty() &&
                  !result.b.runs.empty() && ChooseRuns(result, options);
    if (paired) {
        threadsA = RunThreads(result.a, result.runA);
        threadsB = RunThreads(result.b, result.runB);
        paired = PairThreads(result, a, b, options.threadsOfB, threadsA, threadsB);
    }
    if (paired) {
        for (size_t t = 0; t < std::max(threadsA.size(), threadsB.size()); t++) {
            ThreadPair row = {};
            row.a = t < threadsA.size() ? threadsA[t] : NO_THREAD;
            row.b = t < threadsB.size() ? threadsB[t] : NO_THREAD;
            row.compared = Compared::Not;
            result.rows.push_back(row);
        }
    }
    for (const DiffSink &sink : sinks) {
        sink.begin(sink.state, result);
    }
    Comparing comparing = {result, options, sinks, {}};
    bool spilledA = CanReadSpilled(a.spill, result.a, result.runA);
    bool spilledB = CanReadSpilled(b.spill, result.b, result.runB);
    for (size_t r = 0; r < result.rows.size(); r++) {
        RowSide sides[2] = {{.report = a,
                             .facts = result.a,
                             .names = result.namesA,
                             .thread = result.rows[r].a,
                             .fromSpill = spilledA,
                             .readAhead = false},
                            {.report = b,
                             .facts = result.b,
                             .names = result.namesB,
                             .thread = result.rows[r].b,
                             .fromSpill = spilledB,
                             .readAhead = !spilledB}};
        CompareRow(comparing, sides, r);
    }
    if (options.known.state != nullptr) {
        result.noLongerDiffer = options.known.left(options.known.state);
    }
    result.verdict = VerdictOf(result);
    return result;
}
