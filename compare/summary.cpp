#include "compare/summary.h"

#include <algorithm>
#include <cstring>

const SummaryRowMembers &RowMembers() {
    static const SummaryRowMembers indexes = [] {
        SummaryRowMembers found;
        for (int r = 0; r < SUMMARY_ROW_COUNT; r++) {
            for (int i = 0; i < SUMMARY_ROW_MEMBERS; i++) {
                found.members[r][i] = -1;
                for (int m = 0; m < BLOCK_MEMBER_COUNT && SummaryRows[r].members[i] != nullptr;
                     m++) {
                    if (strcmp(BlockMembers[m].path, SummaryRows[r].members[i]) == 0) {
                        found.members[r][i] = m;
                    }
                }
            }
        }
        return found;
    }();
    return indexes;
}

// Counts a value in an entry: values[0, count) and the face name tell
// values apart.
static void Count(ValueCounts &counts, const uint32_t *values, int count, const char *faceName,
                  uint64_t entry) {
    for (CountedValue &seen : counts.values) {
        if (std::equal(values, values + count, seen.values) &&
            (faceName == nullptr || seen.faceName == faceName)) {
            seen.entries++;
            seen.last = entry;
            return;
        }
    }
    if (counts.values.size() < MAX_VALUES) {
        CountedValue value = {};
        std::copy(values, values + count, value.values);
        value.faceName = faceName != nullptr ? faceName : "";
        value.entries = 1;
        value.first = value.last = entry;
        counts.values.push_back(std::move(value));
    } else {
        counts.otherEntries++;
    }
}

static void AddEntry(ThreadSummary &summary, const ReadEntry &entry) {
    if (summary.entries == 0) {
        summary.lowest[0] = summary.lowest[1] = UINT32_MAX;
    }
    uint64_t number = ++summary.entries;
    uint32_t sharing = static_cast<uint32_t>(SharingOf(entry));
    Count(summary.sharing, &sharing, 1, nullptr, number);
    const SummaryRowMembers &rowMembers = RowMembers();
    for (int n = 0; n < 3; n++) {
        const ReadBlock &block = entry.blocks[n];
        uint32_t present = block.present;
        Count(summary.records[n], &present, 1, nullptr, number);
        for (int r = 0; r < SUMMARY_ROW_COUNT && block.present; r++) {
            uint32_t values[SUMMARY_ROW_MEMBERS];
            const char *faceName = nullptr;
            int count = 0;
            for (; count < SUMMARY_ROW_MEMBERS && rowMembers.members[r][count] >= 0; count++) {
                int m = rowMembers.members[r][count];
                values[count] = block.values[m];
                if (BlockMembers[m].kind == ValueKind::Text) {
                    faceName = block.faceName;
                }
            }
            Count(summary.rows[n][r], values, count, faceName, number);
        }
        const uint32_t samples[2] = {entry.header[WindowField(n, 2)],
                                     entry.header[WindowField(n, 3)]};
        for (int s = 0; s < 2; s++) {
            summary.lowest[s] = std::min(summary.lowest[s], samples[s]);
            summary.highest[s] = std::max(summary.highest[s], samples[s]);
        }
    }
}

// Sums up a whole entry as the index reads it; entries with a problem are
// not summed up, the index has every problem.
static void SummarizeEntry(void *state, const ReportFacts &facts, size_t thread,
                           const ReadEntry &entry) {
    SummaryResult &result = *static_cast<SummaryResult *>(state);
    if (result.threads.size() < facts.threads.size()) {
        result.threads.resize(facts.threads.size());
    }
    NameEntryHandles(result.names, thread, entry);
    AddEntry(result.threads[thread], entry);
}

SummaryResult SummarizeReport(const std::string &path) {
    SummaryResult result = {};
    EntryWatcher watcher = {SummarizeEntry, &result};
    result.report = IndexReport(path, ReadFor::Facts, &watcher).facts;
    // What was read of a report that could not be read through is not shown.
    result.threads.resize(result.report.readable ? result.report.threads.size() : 0);
    return result;
}
