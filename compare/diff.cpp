// diff: the IMM facts that differ between two reports. Threads are paired by
// the order of their first entry (or as --match-threads says) and taken one
// pair at a time, entries by their index within their thread, so two reports
// of any size are compared in constant memory. Comparing stops at the first
// problem of either report: past it, entries no longer line up.
#include "compare/commands.h"

#include <algorithm>
#include <cstring>

// The page shows the first pairs whole, then the first pair that differs in
// each of the first threads, then other pairs that differ, up to a bound.
static const size_t PAGE_PAIRS_WHOLE = 10;
static const size_t PAGE_THREADS_REACHED = 100;
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

// B's thread for row t: as --match-threads names it, else the next of
// those it does not name, in order.
static size_t ThreadOfB(const DiffResult &result, size_t row, size_t threadsOfB) {
    const std::vector<size_t> &named = result.threadsOfB;
    if (row < named.size()) {
        return named[row] < threadsOfB ? named[row] : NO_THREAD;
    }
    size_t left = row - named.size();
    for (size_t t = 0; t < threadsOfB; t++) {
        if (std::find(named.begin(), named.end(), t) == named.end() && left-- == 0) {
            return t;
        }
    }
    return NO_THREAD;
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
        result.stop = facts.problemCount > 0
                          ? facts.problems.front()
                          : ReadProblem{0, facts.failure, ProblemPlace::OutsideEntries, 0, 0, 0};
        return true;
    }
    return false;
}

struct PageCounts {
    size_t threadsReached;
    size_t differingKept;
};

static void KeepForPage(DiffResult &result, PageCounts &counts, bool &threadReached, size_t thread,
                        uint64_t entry, const ReadEntry *a, const ReadEntry *b,
                        size_t firstDifference) {
    size_t differences = result.differences.size() - firstDifference;
    bool differs = differences > 0 || a == nullptr || b == nullptr;
    bool reachesThread = differs && !threadReached && counts.threadsReached < PAGE_THREADS_REACHED;
    bool whole = result.pagePairs.size() < PAGE_PAIRS_WHOLE;
    if (!whole && !reachesThread && !(differs && counts.differingKept < PAGE_DIFFERING_MAX)) {
        result.pairsLeftOut[differs ? 0 : 1]++;
        return;
    }
    if (reachesThread) {
        threadReached = true;
        counts.threadsReached++;
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

// Compares row t's pair of threads entry by entry.
static void DiffThreads(DiffResult &result, ReportInput &a, ReportInput &b, size_t t,
                        ThreadPair &row, bool page, PageCounts &counts) {
    ReadEntry entryA;
    ReadEntry entryB;
    uint64_t lastLine[2] = {};
    uint64_t firstUnmatched[2] = {};
    bool threadReached = false;
    for (;;) {
        bool haveA = row.a != NO_THREAD && NextThreadEntry(a, row.a, entryA);
        bool haveB = row.b != NO_THREAD && NextThreadEntry(b, row.b, entryB);
        if (Stops(result, a, b)) {
            row.compared = row.entries > 0 ? Compared::Partly : Compared::Not;
            return;
        }
        if (!haveA && !haveB) {
            break;
        }
        uint64_t index = ++row.entries;
        if (haveA) {
            NameEntryHandles(result.namesA, t, entryA);
            lastLine[0] = entryA.line;
        }
        if (haveB) {
            NameEntryHandles(result.namesB, t, entryB);
            lastLine[1] = entryB.line;
        }
        if (haveA != haveB && firstUnmatched[haveA ? 0 : 1] == 0) {
            firstUnmatched[haveA ? 0 : 1] = haveA ? entryA.line : entryB.line;
        }
        size_t first = result.differences.size();
        if (haveA && haveB) {
            CompareEntries(result, t + 1, index, entryA, entryB);
        }
        if (page) {
            KeepForPage(result, counts, threadReached, t + 1, index, haveA ? &entryA : nullptr,
                        haveB ? &entryB : nullptr, first);
        }
    }
    uint64_t countA = row.a != NO_THREAD ? a.facts.threads[row.a].entries : 0;
    uint64_t countB = row.b != NO_THREAD ? b.facts.threads[row.b].entries : 0;
    if (countA != countB) {
        Add(result, t + 1, 0, {FactKind::Entries, 0, 0},
            {countA, firstUnmatched[0] != 0 ? firstUnmatched[0] : lastLine[0]},
            {countB, firstUnmatched[1] != 0 ? firstUnmatched[1] : lastLine[1]});
    }
}

// Row t of threads: A's thread t with B's as paired. Before the first
// passes have found every thread, row 0 pairs the first ones.
static void PairRow(const DiffResult &result, size_t t, size_t threadsA, size_t threadsB,
                    ThreadPair &row) {
    row.a = t < threadsA ? t : NO_THREAD;
    row.b = ThreadOfB(result, t, threadsB);
}

// --match-threads names threads of B that exist, each once.
static bool CheckMatching(DiffResult &result, const ReportInput &b) {
    size_t threads = b.facts.threads.size();
    for (size_t i = 0; i < result.threadsOfB.size(); i++) {
        size_t t = result.threadsOfB[i];
        if (t >= threads) {
            result.failure = "--match-threads: " + b.facts.path + " has no thread " +
                             std::to_string(t + 1) + " (it has " + std::to_string(threads) + ")";
            return false;
        }
    }
    return true;
}

DiffResult DiffReports(const std::string &pathA, const std::string &pathB,
                       const DiffOptions &options) {
    DiffResult result = {};
    result.strict = options.strict;
    result.threadsOfB = options.threadsOfB;
    ReportInput a;
    ReportInput b;
    bool openedA = OpenInput(a, pathA, true);
    bool openedB = OpenInput(b, pathB, true);
    std::vector<ThreadPair> rows;
    if (openedA && openedB) {
        // B's threads must all be known before they can be paired otherwise
        // than by order.
        if (!result.threadsOfB.empty()) {
            FinishFirstPass(b);
        }
        PageCounts counts = {};
        if (result.threadsOfB.empty() || CheckMatching(result, b)) {
            for (size_t t = 0; !result.stopped; t++) {
                // Row 0 is compared during the passes that find every thread.
                size_t threadsA = t == 0 ? SIZE_MAX : a.facts.threads.size();
                size_t threadsB = t == 0 ? SIZE_MAX : b.facts.threads.size();
                if (t > 0 && t >= std::max(threadsA, threadsB)) {
                    break;
                }
                rows.push_back({0, 0, 0, 0, Compared::Whole});
                PairRow(result, t, threadsA, threadsB, rows.back());
                DiffThreads(result, a, b, t, rows.back(), options.page, counts);
            }
        }
    }
    FinishReading(a);
    FinishReading(b);
    CloseInput(a);
    CloseInput(b);
    result.a = std::move(a.facts);
    result.b = std::move(b.facts);
    size_t threadsA = result.a.threads.size();
    size_t threadsB = result.b.threads.size();
    rows.resize(std::max(threadsA, threadsB), {0, 0, 0, 0, Compared::Not});
    for (size_t t = 0; t < rows.size(); t++) {
        PairRow(result, t, threadsA, threadsB, rows[t]);
    }
    for (const Difference &difference : result.differences) {
        rows[difference.thread - 1].differences++;
    }
    result.threads = std::move(rows);
    return result;
}
