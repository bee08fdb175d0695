// summary: one table per thread of the facts that say most about the IMM's
// state, with the values seen and in how many entries.
#include "compare/commands.h"
#include "compare/naming.h"
#include "compare/problems.h"
#include "compare/text_escape.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <utility>

// A row: a member, or several shown as one value (a form's style, position
// and area), each '%' of the shape standing for the next member's value.
struct SummaryRow {
    const char *name;
    const char *shape;
    const char *members[8];
};

static const SummaryRow Rows[] = {
    {"hWnd", "%", {"hWnd"}},
    {"fOpen", "%", {"fOpen"}},
    {"fdwConversion", "%", {"fdwConversion"}},
    {"fdwSentence", "%", {"fdwSentence"}},
    {"cfCompForm",
     "style %, at (%, %), area (%, %, %, %)",
     {"cfCompForm.dwStyle", "cfCompForm.ptCurrentPos.x", "cfCompForm.ptCurrentPos.y",
      "cfCompForm.rcArea.left", "cfCompForm.rcArea.top", "cfCompForm.rcArea.right",
      "cfCompForm.rcArea.bottom"}},
    {"cfCandForm[0]",
     "index %, style %, at (%, %), area (%, %, %, %)",
     {"cfCandForm[0].dwIndex", "cfCandForm[0].dwStyle", "cfCandForm[0].ptCurrentPos.x",
      "cfCandForm[0].ptCurrentPos.y", "cfCandForm[0].rcArea.left", "cfCandForm[0].rcArea.top",
      "cfCandForm[0].rcArea.right", "cfCandForm[0].rcArea.bottom"}},
    {"lfFont.W.lfFaceName", "%", {"lfFont.W.lfFaceName"}},
};
static const int ROW_COUNT = sizeof Rows / sizeof Rows[0];

// Values beyond this many per row are only counted.
static const size_t MAX_VALUES = 8;

struct ValueCounts {
    std::vector<std::pair<std::string, uint64_t>> values; // in order first seen
    uint64_t otherEntries;
};

static void Count(ValueCounts &counts, const std::string &value) {
    for (auto &seen : counts.values) {
        if (seen.first == value) {
            seen.second++;
            return;
        }
    }
    if (counts.values.size() < MAX_VALUES) {
        counts.values.emplace_back(value, 1);
    } else {
        counts.otherEntries++;
    }
}

struct ThreadSummary {
    uint64_t entries;
    ValueCounts shared;
    ValueCounts records[3];
    ValueCounts rows[3][ROW_COUNT];
    uint32_t lowest[2];
    uint32_t highest[2];
};

// Each row's members as indexes into BlockMembers, looked up once rather
// than for every entry.
struct RowIndexes {
    int members[ROW_COUNT][8];
};

static const RowIndexes &MemberIndexes() {
    static const RowIndexes indexes = [] {
        RowIndexes found = {};
        for (int r = 0; r < ROW_COUNT; r++) {
            for (int i = 0; i < 8 && Rows[r].members[i] != nullptr; i++) {
                for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
                    if (strcmp(BlockMembers[m].path, Rows[r].members[i]) == 0) {
                        found.members[r][i] = m;
                    }
                }
            }
        }
        return found;
    }();
    return indexes;
}

static std::string RowValue(int r, const ReadBlock &block, const HandleNames &names) {
    std::string text;
    const int *member = MemberIndexes().members[r];
    for (const char *shape = Rows[r].shape; *shape != '\0'; shape++) {
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
            value = "\"" + value + "\"";
        }
        text += value;
    }
    return text;
}

static void AddEntry(ThreadSummary &summary, const ReadEntry &entry, const HandleNames &names) {
    if (summary.entries == 0) {
        summary.lowest[0] = summary.lowest[1] = UINT32_MAX;
    }
    summary.entries++;
    Count(summary.shared, SharedContexts(entry));
    for (int n = 0; n < 3; n++) {
        const ReadBlock &block = entry.blocks[n];
        Count(summary.records[n], block.present ? "record" : REPORT_NULL_BLOCK);
        for (int r = 0; r < ROW_COUNT && block.present; r++) {
            Count(summary.rows[n][r], RowValue(r, block, names));
        }
        const uint32_t samples[2] = {entry.availPhys[n], entry.availVirtual[n]};
        for (int s = 0; s < 2; s++) {
            summary.lowest[s] = std::min(summary.lowest[s], samples[s]);
            summary.highest[s] = std::max(summary.highest[s], samples[s]);
        }
    }
}

static std::string CountsText(const ValueCounts &counts) {
    std::string text;
    for (const auto &[value, entries] : counts.values) {
        text += (text.empty() ? "" : "; ") + value + " in " + std::to_string(entries);
    }
    if (counts.otherEntries > 0) {
        text += "; other values in " + std::to_string(counts.otherEntries);
    }
    return text;
}

static std::string JsonCounts(const ValueCounts &counts) {
    std::string json = "[";
    for (const auto &[value, entries] : counts.values) {
        json += (json.size() > 1 ? ", " : "") + std::string("{\"value\": ") + JsonString(value) +
                ", \"entries\": " + std::to_string(entries) + "}";
    }
    return json + "], \"otherEntries\": " + std::to_string(counts.otherEntries);
}

static void WriteText(const ReportThread &thread, size_t t, const ThreadSummary &summary) {
    printf("\nthread %zu, ThreadID %s: %s, the first at line %" PRIu64 "\n", t + 1,
           HexText(thread.id).c_str(), Counted(summary.entries, "entry", "entries").c_str(),
           thread.firstLine);
    printf("  %-28s %s\n", "shared contexts", CountsText(summary.shared).c_str());
    for (int n = 0; n < 3; n++) {
        printf("  %-28s %s\n", BlockLabels[n], CountsText(summary.records[n]).c_str());
        for (int r = 0; r < ROW_COUNT; r++) {
            if (!summary.rows[n][r].values.empty()) {
                std::string name = std::string(BlockLabels[n]) + "->" + Rows[r].name;
                printf("  %-28s %s\n", name.c_str(), CountsText(summary.rows[n][r]).c_str());
            }
        }
    }
    printf("  %-28s %s to %s\n", "dwAP", HexText(summary.lowest[0]).c_str(),
           HexText(summary.highest[0]).c_str());
    printf("  %-28s %s to %s\n", "dwAV", HexText(summary.lowest[1]).c_str(),
           HexText(summary.highest[1]).c_str());
}

static void WriteJson(const ReportThread &thread, size_t t, const ThreadSummary &summary) {
    printf("%s\n  {\"thread\": %zu, \"threadId\": \"%s\", \"entries\": %" PRIu64
           ", \"line\": %" PRIu64 ",\n   \"sharedContexts\": {\"values\": %s},\n   \"blocks\": [",
           t > 0 ? "," : "", t + 1, HexText(thread.id).c_str(), summary.entries, thread.firstLine,
           JsonCounts(summary.shared).c_str());
    for (int n = 0; n < 3; n++) {
        printf("%s{\"label\": \"%s\", \"records\": {\"values\": %s}, \"members\": {",
               n > 0 ? ", " : "", BlockLabels[n], JsonCounts(summary.records[n]).c_str());
        bool first = true;
        for (int r = 0; r < ROW_COUNT; r++) {
            if (!summary.rows[n][r].values.empty()) {
                printf("%s\"%s\": {\"values\": %s}", first ? "" : ", ", Rows[r].name,
                       JsonCounts(summary.rows[n][r]).c_str());
                first = false;
            }
        }
        printf("}}");
    }
    printf("],\n   \"dwAP\": {\"lowest\": \"%s\", \"highest\": \"%s\"}, \"dwAV\": {\"lowest\": "
           "\"%s\", \"highest\": \"%s\"}}",
           HexText(summary.lowest[0]).c_str(), HexText(summary.highest[0]).c_str(),
           HexText(summary.lowest[1]).c_str(), HexText(summary.highest[1]).c_str());
}

int SummarizeReport(const std::string &path, const CommandOptions &options) {
    ReportInput input;
    if (!OpenInputOrSay(input, path)) {
        return 2;
    }
    HandleNames names = {};
    ThreadSummary summary;
    ReadEntry entry;
    // The first thread is summed up while the report is read whole; a
    // malformed report gets no summary.
    for (size_t t = 0; t == 0 || t < input.threads.size(); t++) {
        summary = ThreadSummary{};
        while (NextThreadEntry(input, t, entry)) {
            NameEntryHandles(names, t, entry);
            AddEntry(summary, entry, names);
        }
        if (input.problemCount > 0) {
            SayProblems(input);
            CloseInput(input);
            return 2;
        }
        if (t == 0) {
            if (options.json) {
                printf("{\"command\": \"summary\", \"file\": %s, \"entries\": %" PRIu64
                       ", \"threads\": [",
                       JsonString(path).c_str(), input.entries);
            } else {
                printf("%s: %s in %s\n", path.c_str(),
                       Counted(input.entries, "entry", "entries").c_str(),
                       Counted(input.threads.size(), "thread", "threads").c_str());
            }
        }
        if (options.json) {
            WriteJson(input.threads[t], t, summary);
        } else {
            WriteText(input.threads[t], t, summary);
        }
    }
    if (options.json) {
        printf("\n]}\n");
    }
    CloseInput(input);
    return 0;
}
