// summary: for each thread, the values that the facts saying most about the
// IMM's state take, and in which entries.
#include "compare/commands.h"
#include "flags/flag_names.h"
#include "text/face_name_text.h"

#include <algorithm>
#include <cstring>

// Values beyond this many per row are only counted.
static const size_t MAX_VALUES = 8;

// Counts a value, told apart by key; shown() gives the text and names a
// value first met is shown with, made once rather than for every entry.
template <typename Shown>
static void Count(ValueCounts &counts, const std::string &key, uint64_t entry, Shown shown) {
    for (CountedValue &seen : counts.values) {
        if (seen.key == key) {
            seen.entries++;
            seen.last = entry;
            return;
        }
    }
    if (counts.values.size() < MAX_VALUES) {
        CountedValue value = {key, key, 1, entry, entry, {}};
        shown(value);
        counts.values.push_back(std::move(value));
    } else {
        counts.otherEntries++;
    }
}

static void Count(ValueCounts &counts, const std::string &text, uint64_t entry) {
    Count(counts, text, entry, [](CountedValue &) {});
}

// Each row's members as indexes into BlockMembers, looked up once rather
// than for every entry.
struct RowIndexes {
    int members[SUMMARY_ROW_COUNT][8];
};

static const RowIndexes &MemberIndexes() {
    static const RowIndexes indexes = [] {
        RowIndexes found = {};
        for (int r = 0; r < SUMMARY_ROW_COUNT; r++) {
            for (int i = 0; i < 8 && SummaryRows[r].members[i] != nullptr; i++) {
                for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
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

// A row's value as text. Shown, face names are decoded and flag words carry
// their names (also given in valueNames); else the text only tells values
// apart, as the report writes them.
static std::string RowValue(int r, const ReadBlock &block, const HandleNames &names, int codePage,
                            bool shown, std::vector<std::string> &valueNames) {
    std::string text;
    const int *member = MemberIndexes().members[r];
    for (const char *shape = SummaryRows[r].shape; *shape != '\0'; shape++) {
        if (*shape != '%') {
            text += *shape;
            continue;
        }
        int m = *member++;
        std::string value = MemberText(block, m);
        if (BlockMembers[m].kind == ValueKind::Handle) {
            std::string name = HandleName(names, block.values[m]);
            value = name == value ? value : name + " (" + value + ")";
        } else if (BlockMembers[m].kind == ValueKind::Text) {
            value = shown ? QuotedFaceName(value, codePage) : value;
        } else if (shown) {
            std::string named;
            for (const std::string &name : ValueNames(m, block.values[m])) {
                named += (named.empty() ? "" : " ") + name;
                valueNames.push_back(name);
            }
            value += named.empty() ? "" : " (" + named + ")";
        }
        text += value;
    }
    return text;
}

static void AddEntry(ThreadSummary &summary, const ReadEntry &entry, const HandleNames &names,
                     int codePage) {
    if (summary.entries == 0) {
        summary.lowest[0] = summary.lowest[1] = UINT32_MAX;
    }
    uint64_t number = ++summary.entries;
    Count(summary.sharing, SharingText(SharingOf(entry)), number);
    for (int n = 0; n < 3; n++) {
        const ReadBlock &block = entry.blocks[n];
        Count(summary.records[n], block.present ? "record" : REPORT_NULL_BLOCK, number);
        for (int r = 0; r < SUMMARY_ROW_COUNT && block.present; r++) {
            std::vector<std::string> unused;
            Count(summary.rows[n][r], RowValue(r, block, names, codePage, false, unused), number,
                  [&](CountedValue &value) {
                      value.text = RowValue(r, block, names, codePage, true, value.names);
                  });
        }
        const uint32_t samples[2] = {entry.header[WindowField(n, 2)],
                                     entry.header[WindowField(n, 3)]};
        for (int s = 0; s < 2; s++) {
            summary.lowest[s] = std::min(summary.lowest[s], samples[s]);
            summary.highest[s] = std::max(summary.highest[s], samples[s]);
        }
    }
}

SummaryResult SummarizeReport(const std::string &path, int codePage) {
    SummaryResult result;
    result.codePage = codePage;
    ReportInput input;
    if (OpenInput(input, path, true)) {
        HandleNames names = {};
        ReadEntry entry;
        // Thread 0 is summed up in the pass that finds every thread.
        for (size_t t = 0; t == 0 || t < input.facts.threads.size(); t++) {
            ThreadSummary summary = {};
            while (NextThreadEntry(input, t, entry)) {
                NameEntryHandles(names, t, entry);
                AddEntry(summary, entry, names, codePage);
            }
            if (t < input.facts.threads.size()) {
                result.threads.push_back(std::move(summary));
            }
        }
        FinishReading(input);
    }
    CloseInput(input);
    result.report = std::move(input.facts);
    // A report that could not be read through is summed up only as far as read.
    result.threads.resize(result.report.threads.size());
    return result;
}
