// diff: the IMM facts that differ between two reports. Threads are paired by
// the order of their first entry (or as --match-threads says) and taken one
// pair at a time, entries by their index within their thread, so two reports
// of any size are compared in constant memory. Comparing stops at the first
// problem of either report: past it, entries no longer line up.
#include "compare/commands.h"

#include <algorithm>
#include <deque>
#include <cstring>
#include <unordered_map>

// The page shows the first pairs whole, then the first pair that differs in
// each thread, then other pairs that differ, up to a bound.
static const size_t PAGE_PAIRS_WHOLE = 10;
static const size_t PAGE_DIFFERING_MAX = 200;

// Two handles stand for the same thing when their names are the same; a
// handle left unnamed is compared by its value.
static bool SameHandle(const DiffResult &result, uint32_t a, uint32_t b) {
    const std::string *nameA = FindHandleName(result.namesA, a);
    const std::string *nameB = FindHandleName(result.namesB, b);
    if (nameA != nullptr && nameB != nullptr) {
        return *nameA == *nameB;
    }
    return nameA == nullptr && nameB == nullptr && a == b;
}

static void Add(DiffResult &result, size_t thread, uint64_t entry, Fact fact, DifferenceSide a,
                DifferenceSide b) {
    result.differences.push_back({thread, entry, fact, a, b});
}

static void CompareBlocks(DiffResult &result, size_t thread, uint64_t entry, const ReadEntry &a,
                          const ReadEntry &b, int n) {
    const ReadBlock &blockA = a.blocks[n];
    const ReadBlock &blockB = b.blocks[n];
    uint8_t block = static_cast<uint8_t>(n);
    if (blockA.present != blockB.present) {
        Add(result, thread, entry, {FactKind::Record, block, 0}, {blockA.present, blockA.line},
            {blockB.present, blockB.line});
        return;
    }
    if (!blockA.present) {
        return;
    }
    for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
        Fact fact = {FactKind::Member, block, static_cast<uint8_t>(m)};
        uint32_t valueA = blockA.values[m];
        uint32_t valueB = blockB.values[m];
        switch (BlockMembers[m].kind) {
        case ValueKind::Handle:
            if (!SameHandle(result, valueA, valueB)) {
                Add(result, thread, entry, fact, {valueA, blockA.line + m},
                    {valueB, blockB.line + m});
            }
            break;
        case ValueKind::Text:
            if (strcmp(blockA.faceName, blockB.faceName) != 0) {
                result.texts.push_back(blockA.faceName);
                result.texts.push_back(blockB.faceName);
                Add(result, thread, entry, fact, {result.texts.size() - 2, blockA.line + m},
                    {result.texts.size() - 1, blockB.line + m});
            }
            break;
        default:
            if (valueA != valueB) {
                Add(result, thread, entry, fact, {valueA, blockA.line + m},
                    {valueB, blockB.line + m});
            }
        }
    }
}

void CompareEntries(DiffResult &result, size_t thread, uint64_t entry, const ReadEntry &a,
                    const ReadEntry &b) {
    auto headerLine = [](const ReadEntry &read, int h) {
        return read.line + 1 + static_cast<uint64_t>(HeaderFields[h].line);
    };
    Fact threadId = {FactKind::Header, 0, THREAD_ID_FIELD};
    if (result.strict && a.header[THREAD_ID_FIELD] != b.header[THREAD_ID_FIELD]) {
        Add(result, thread, entry, threadId,
            {a.header[THREAD_ID_FIELD], headerLine(a, THREAD_ID_FIELD)},
            {b.header[THREAD_ID_FIELD], headerLine(b, THREAD_ID_FIELD)});
    }
    int sharingA = SharingOf(a);
    int sharingB = SharingOf(b);
    if (sharingA != sharingB) {
        Add(result, thread, entry, {FactKind::Sharing, 0, 0},
            {static_cast<uint64_t>(sharingA), a.line + 2},
            {static_cast<uint64_t>(sharingB), b.line + 2});
    }
    for (int h = THREAD_ID_FIELD + 1; h < HEADER_FIELD_COUNT; h++) {
        Fact fact = {FactKind::Header, 0, static_cast<uint8_t>(h)};
        if (ComparedOnlyWhenStrict(fact) && !result.strict) {
            continue;
        }
        bool same = HeaderFields[h].kind == ValueKind::Handle
                        ? SameHandle(result, a.header[h], b.header[h])
                        : a.header[h] == b.header[h];
        if (!same) {
            Add(result, thread, entry, fact, {a.header[h], headerLine(a, h)},
                {b.header[h], headerLine(b, h)});
        }
    }
    for (int n = 0; n < 3; n++) {
        CompareBlocks(result, thread, entry, a, b, n);
    }
}

// Stops comparing at the first problem or failure of either report.
static bool Stops(DiffResult &result, const ReportInput &a, const ReportInput &b) {
    for (const ReportInput *input : {&a, &b}) {
        const ReportFacts &facts = input->facts;
        if (facts.problemCount == 0 && facts.readable) {
            continue;
        }
        result.stopped = true;
        result.stoppedInB = input == &b;
        result.stop =
            facts.problemCount > 0
                ? facts.problems.front()
                : ReadProblem{0, facts.failure, ProblemPlace::OutsideEntries, 0, 0, 0, false, 0};
        return true;
    }
    return false;
}

struct PageCounts {
    size_t differingKept;
};

static void KeepForPage(DiffResult &result, PageCounts &counts, bool &threadReached, size_t thread,
                        uint64_t entry, const ReadEntry *a, const ReadEntry *b,
                        size_t firstDifference) {
    size_t differences = result.differences.size() - firstDifference;
    bool differs = differences > 0 || a == nullptr || b == nullptr;
    bool reachesThread = differs && !threadReached;
    bool whole = result.pagePairs.size() < PAGE_PAIRS_WHOLE;
    if (!whole && !reachesThread && !(differs && counts.differingKept < PAGE_DIFFERING_MAX)) {
        result.pairsLeftOut[differs ? 0 : 1]++;
        return;
    }
    if (reachesThread) {
        threadReached = true;
    } else if (differs && !whole) {
        counts.differingKept++;
    }
    PagePair pair = {thread, entry, whole,           a != nullptr, b != nullptr,
                     {},     {},    firstDifference, differences};
    if (a != nullptr) {
        pair.a = *a;
    }
    if (b != nullptr) {
        pair.b = *b;
    }
    result.pagePairs.push_back(pair);
}

// A row of threads being compared, pair of entries by pair.
struct RowState {
    ThreadPair row;
    uint64_t lastLine[2];
    uint64_t firstUnmatched[2]; // a side's first entry the other side lacks
    bool threadReached;         // the page holds a pair of it that differs
};

// Compares the next pair of row t's entries; either may be missing.
static void ComparePair(DiffResult &result, RowState &state, size_t t, const ReadEntry *a,
                        const ReadEntry *b, bool page, PageCounts &counts) {
    uint64_t index = ++state.row.entries;
    const ReadEntry *entries[2] = {a, b};
    HandleNames *names[2] = {&result.namesA, &result.namesB};
    for (int s = 0; s < 2; s++) {
        if (entries[s] != nullptr) {
            NameEntryHandles(*names[s], t, *entries[s]);
            state.lastLine[s] = entries[s]->line;
            if (entries[1 - s] == nullptr && state.firstUnmatched[s] == 0) {
                state.firstUnmatched[s] = entries[s]->line;
            }
        }
    }
    size_t first = result.differences.size();
    if (a != nullptr && b != nullptr) {
        CompareEntries(result, t + 1, index, *a, *b);
    }
    if (page) {
        KeepForPage(result, counts, state.threadReached, t + 1, index, a, b, first);
    }
}

// A row's count of entries, once all are compared.
static void EndRow(DiffResult &result, const RowState &state, size_t t, uint64_t countA,
                   uint64_t countB) {
    if (countA != countB) {
        const uint64_t *unmatched = state.firstUnmatched;
        Add(result, t + 1, 0, {FactKind::Entries, 0, 0},
            {countA, unmatched[0] != 0 ? unmatched[0] : state.lastLine[0]},
            {countB, unmatched[1] != 0 ? unmatched[1] : state.lastLine[1]});
    }
}

static uint64_t EntriesOf(const ReportInput &input, size_t thread) {
    return thread != NO_THREAD ? input.facts.threads[thread].entries : 0;
}

// Compares row t's pair of threads entry by entry, each taken by its pass.
static void DiffThreads(DiffResult &result, ReportInput &a, ReportInput &b, size_t t,
                        ThreadPair &row, bool page, PageCounts &counts) {
    RowState state = {row, {}, {}, false};
    ReadEntry entryA;
    ReadEntry entryB;
    for (;;) {
        bool haveA = row.a != NO_THREAD && NextThreadEntry(a, row.a, entryA);
        bool haveB = row.b != NO_THREAD && NextThreadEntry(b, row.b, entryB);
        if (Stops(result, a, b)) {
            row = state.row;
            row.compared = row.entries > 0 ? Compared::Partly : Compared::Not;
            return;
        }
        if (!haveA && !haveB) {
            break;
        }
        ComparePair(result, state, t, haveA ? &entryA : nullptr, haveB ? &entryB : nullptr, page,
                    counts);
    }
    row = state.row;
    EndRow(result, state, t, EntriesOf(a, row.a), EntriesOf(b, row.b));
}

// The runs compared: as asked (1-based), else the last of each.
static bool ChooseRuns(DiffResult &result, const ReportFacts &a, const ReportFacts &b,
                       const DiffOptions &options) {
    const ReportFacts *reports[2] = {&a, &b};
    size_t *chosen[2] = {&result.runA, &result.runB};
    for (int s = 0; s < 2; s++) {
        size_t runs = reports[s]->runs.size();
        size_t asked = options.runs[s];
        if (asked > runs && runs > 0) {
            result.failure = "--runs: " + reports[s]->path + " has no run " +
                             std::to_string(asked) + " (it has " + std::to_string(runs) + ")";
            return false;
        }
        *chosen[s] = asked > 0 ? asked - 1 : runs > 0 ? runs - 1 : 0;
    }
    return true;
}

// The threads of the chosen run of a report, by their index in the report.
static std::vector<size_t> RunThreads(const ReportFacts &facts, size_t run) {
    std::vector<size_t> threads;
    if (run < facts.runs.size()) {
        for (size_t t = 0; t < facts.runs[run].threads; t++) {
            threads.push_back(facts.runs[run].firstThread + t);
        }
    }
    return threads;
}

// How many facts differ in the first entries of rows of threads paired so.
static uint64_t PairingScore(const std::vector<ReadEntry> (&a)[2],
                             const std::vector<ReadEntry> (&b)[2], bool swapped) {
    DiffResult trial = {};
    for (size_t row = 0; row < 2; row++) {
        const std::vector<ReadEntry> &entriesA = a[row];
        const std::vector<ReadEntry> &entriesB = b[swapped ? 1 - row : row];
        for (size_t i = 0; i < entriesA.size() && i < entriesB.size(); i++) {
            NameEntryHandles(trial.namesA, row, entriesA[i]);
            NameEntryHandles(trial.namesB, row, entriesB[i]);
            CompareEntries(trial, row + 1, i + 1, entriesA[i], entriesB[i]);
        }
    }
    return trial.differences.size();
}

// The first entries of each thread that pairing by content looks at.
static const size_t PAIRING_ENTRIES = 4;

// B's threads for A's rows: as --match-threads names them (within B's run),
// then the others in order; with two threads on each side and nothing
// named, the way fewer facts differ in the threads' first entries.
static bool PairThreads(DiffResult &result, ReportInput &a, ReportInput &b,
                        const std::vector<size_t> &threadsA, std::vector<size_t> &threadsB) {
    std::vector<size_t> inRun = threadsB;
    const std::vector<size_t> &named = result.threadsOfB;
    threadsB.clear();
    for (size_t t : named) {
        if (t >= inRun.size()) {
            result.failure = "--match-threads: run " + std::to_string(result.runB + 1) + " of " +
                             b.facts.path + " has no thread " + std::to_string(t + 1) +
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
    if (named.empty() && threadsA.size() == 2 && threadsB.size() == 2) {
        std::vector<ReadEntry> firstA[2];
        std::vector<ReadEntry> firstB[2];
        for (int t = 0; t < 2; t++) {
            firstA[t] = FirstEntries(a, threadsA[t], PAIRING_ENTRIES);
            firstB[t] = FirstEntries(b, threadsB[t], PAIRING_ENTRIES);
        }
        result.inOrderScore = PairingScore(firstA, firstB, false);
        result.swappedScore = PairingScore(firstA, firstB, true);
        if (result.swappedScore < result.inOrderScore) {
            std::swap(threadsB[0], threadsB[1]);
            result.pairedByContent = true;
        }
    }
    return true;
}

// Forgets what was compared, to compare again otherwise.
static void ForgetComparing(DiffResult &result, PageCounts &counts) {
    result.differences.clear();
    result.texts.clear();
    result.namesA = {};
    result.namesB = {};
    result.pagePairs.clear();
    result.pairsLeftOut[0] = result.pairsLeftOut[1] = 0;
    result.stopped = false;
    counts = {};
}

// Entries of the second thread waiting for their pair, at most this many a side.
static const size_t WAITING_MAX = 1024;

// The common case read once: one run on each side whose first two threads
// are paired in order, and no problem anywhere. Each report is read in one
// pass; the first threads' entries are compared in turn, the second
// threads' as soon as both sides have one (into a result of their own, as
// they come between the first threads'). False, having compared what it
// compared, when anything turns out otherwise: the reports are then read
// again thread by thread.
static bool DiffInOnePass(DiffResult &result, ReportInput &a, ReportInput &b,
                          std::vector<ThreadPair> &rows) {
    ReportInput *inputs[2] = {&a, &b};
    DiffResult second = {};
    second.strict = result.strict;
    std::deque<ReadEntry> waiting[2];
    RowState states[2] = {{{0, 0, 0, 0, Compared::Whole}, {}, {}, false},
                          {{1, 1, 0, 0, Compared::Whole}, {}, {}, false}};
    PageCounts counts = {};
    ReadEntry first[2];
    ReadEntry entry;
    for (;;) {
        bool have[2] = {false, false};
        for (int s = 0; s < 2; s++) {
            size_t thread;
            while (!have[s] && NextEntryOfFirstPass(*inputs[s], entry, thread)) {
                if (thread == 0) {
                    first[s] = entry;
                    have[s] = true;
                } else if (thread == 1) {
                    waiting[s].push_back(entry);
                }
            }
        }
        if (a.facts.problemCount > 0 || b.facts.problemCount > 0 || !a.facts.readable ||
            !b.facts.readable || waiting[0].size() > WAITING_MAX ||
            waiting[1].size() > WAITING_MAX) {
            return false;
        }
        if (have[0] || have[1]) {
            ComparePair(result, states[0], 0, have[0] ? &first[0] : nullptr,
                        have[1] ? &first[1] : nullptr, false, counts);
        }
        bool ended = !have[0] && !have[1];
        // Past the end, the side left alone has entries the other lacks.
        while ((!waiting[0].empty() && !waiting[1].empty()) ||
               (ended && (!waiting[0].empty() || !waiting[1].empty()))) {
            ComparePair(second, states[1], 1, waiting[0].empty() ? nullptr : &waiting[0].front(),
                        waiting[1].empty() ? nullptr : &waiting[1].front(), false, counts);
            for (std::deque<ReadEntry> &side : waiting) {
                if (!side.empty()) {
                    side.pop_front();
                }
            }
        }
        if (ended) {
            break;
        }
    }
    // The guess holds so far: one run with two threads on each side, no
    // handle of the second threads also in the first (it would have the
    // first's name), no more names than are given. Whether the threads are
    // paired in order even by content is for the caller to see.
    const ReportFacts *facts[2] = {&a.facts, &b.facts};
    HandleNames *names[2] = {&result.namesA, &result.namesB};
    HandleNames *secondNames[2] = {&second.namesA, &second.namesB};
    for (int s = 0; s < 2; s++) {
        if (facts[s]->runs.size() != 1 || facts[s]->threads.size() < 2 ||
            names[s]->names.size() + secondNames[s]->names.size() >= MAX_HANDLE_NAMES) {
            return false;
        }
        for (const auto &named : secondNames[s]->names) {
            if (names[s]->names.count(named.first) != 0) {
                return false;
            }
        }
    }
    EndRow(result, states[0], 0, EntriesOf(a, 0), EntriesOf(b, 0));
    EndRow(second, states[1], 1, EntriesOf(a, 1), EntriesOf(b, 1));
    for (Difference difference : second.differences) {
        if (IsTextFact(difference.fact)) {
            difference.a.value += result.texts.size();
            difference.b.value += result.texts.size();
        }
        result.differences.push_back(difference);
    }
    result.texts.insert(result.texts.end(), second.texts.begin(), second.texts.end());
    for (int s = 0; s < 2; s++) {
        names[s]->names.insert(secondNames[s]->names.begin(), secondNames[s]->names.end());
        HandleNames merged = *secondNames[s];
        merged.names = std::move(names[s]->names);
        *names[s] = std::move(merged);
    }
    rows = {states[0].row, states[1].row};
    for (ReportInput *input : inputs) {
        input->passDone[0] = input->passDone[1] = true;
    }
    return true;
}

// Each row's differences by fact and pair of values as compared, in the
// order first met: one group for every entry they hold in.
static void GroupDifferences(DiffResult &result) {
    std::unordered_map<std::string, size_t> groupOf;
    size_t row = 0;
    for (size_t i = 0; i < result.differences.size(); i++) {
        const Difference &difference = result.differences[i];
        if (difference.thread != row) {
            row = difference.thread;
            groupOf.clear();
        }
        std::string key = FactName(difference.fact) + '\n' +
                          SideText(result, difference, false).value + '\n' +
                          SideText(result, difference, true).value;
        auto [found, added] = groupOf.try_emplace(key, result.groups.size());
        if (added) {
            result.groups.push_back({i, 0, {}});
        }
        DifferenceGroup &group = result.groups[found->second];
        group.count++;
        std::vector<EntryRange> &ranges = group.entries;
        if (!ranges.empty() && ranges.back().last + 1 == difference.entry) {
            ranges.back().last = difference.entry;
        } else {
            ranges.push_back({difference.entry, difference.entry});
        }
    }
}

DiffResult DiffReports(const std::string &pathA, const std::string &pathB,
                       const DiffOptions &options) {
    DiffResult result = {};
    result.strict = options.strict;
    result.codePage = options.codePage;
    result.threadsOfB = options.threadsOfB;
    ReportInput a;
    ReportInput b;
    bool openedA = OpenInput(a, pathA, true);
    bool openedB = OpenInput(b, pathB, true);
    std::vector<ThreadPair> rows;
    if (openedA && openedB) {
        PageCounts counts = {};
        // Most often the first threads of one run on each side are paired:
        // they are compared while the first passes find every thread and
        // run, and compared again only if the pairing turns out otherwise.
        bool guessed = options.threadsOfB.empty() && options.runs[0] == 0 && options.runs[1] == 0;
        bool onePass = guessed && !options.page && DiffInOnePass(result, a, b, rows);
        if (guessed && !onePass) {
            if (!options.page) {
                ForgetComparing(result, counts);
                RestartInput(a);
                RestartInput(b);
            }
            rows = {{0, 0, 0, 0, Compared::Whole}};
            DiffThreads(result, a, b, 0, rows[0], options.page, counts);
        }
        FinishFirstPass(a);
        FinishFirstPass(b);
        std::vector<size_t> threadsA;
        std::vector<size_t> threadsB;
        if (ChooseRuns(result, a.facts, b.facts, options)) {
            threadsA = RunThreads(a.facts, result.runA);
            threadsB = RunThreads(b.facts, result.runB);
        }
        if (result.failure.empty() && PairThreads(result, a, b, threadsA, threadsB)) {
            // A run holds two threads at most, so the guess held when both
            // runs' first threads are the first ones paired.
            bool kept = guessed && !threadsA.empty() && !threadsB.empty() && threadsA[0] == 0 &&
                        threadsB[0] == 0;
            if (!kept) {
                ForgetComparing(result, counts);
                ReadPassesAgain(a);
                ReadPassesAgain(b);
                rows.clear();
            }
            for (size_t t = rows.size(); t < std::max(threadsA.size(), threadsB.size()); t++) {
                rows.push_back({t < threadsA.size() ? threadsA[t] : NO_THREAD,
                                t < threadsB.size() ? threadsB[t] : NO_THREAD, 0, 0,
                                result.stopped ? Compared::Not : Compared::Whole});
                if (!result.stopped) {
                    DiffThreads(result, a, b, t, rows.back(), options.page, counts);
                }
            }
        } else {
            rows.clear();
            ForgetComparing(result, counts);
        }
    }
    FinishReading(a);
    FinishReading(b);
    CloseInput(a);
    CloseInput(b);
    result.a = std::move(a.facts);
    result.b = std::move(b.facts);
    for (const Difference &difference : result.differences) {
        rows[difference.thread - 1].differences++;
    }
    result.threads = std::move(rows);
    GroupDifferences(result);
    return result;
}
