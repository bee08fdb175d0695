#include "render/text.h"
#include "render/values.h"

#include <algorithm>

void WriteTrouble(FILE *err, const ReportFacts &facts) {
    if (!facts.readable) {
        fprintf(err, "vantorel-report: %s: %s\n", facts.path.c_str(), facts.failure.c_str());
        return;
    }
    for (const ReadProblem &note : facts.notes) {
        fprintf(err, "%s: note: %s\n", Place(facts.path, note.line).c_str(), note.reason.c_str());
    }
    for (const ReadProblem &problem : facts.problems) {
        fprintf(err, "%s: %s\n", Place(facts.path, problem.line).c_str(), problem.reason.c_str());
    }
    if (facts.problemCount > facts.problems.size()) {
        fprintf(err, "%s: %s\n", facts.path.c_str(),
                Counted(facts.problemCount - facts.problems.size(), "more problem", "more problems")
                    .c_str());
    }
}

// "base.txt: 4 entries in 2 threads, 1 problem"
static void WriteCounts(FILE *out, const ReportFacts &facts) {
    fprintf(out, "%s: %s in %s", facts.path.c_str(),
            Counted(facts.entries, "entry", "entries").c_str(),
            Counted(facts.threads.size(), "thread", "threads").c_str());
    if (facts.runs.size() > 1) {
        fprintf(out, ", %s", Counted(facts.runs.size(), "run", "runs").c_str());
    }
    if (facts.problemCount > 0) {
        fprintf(out, ", %s", Counted(facts.problemCount, "problem", "problems").c_str());
    }
    fputc('\n', out);
}

static std::string ThreadText(const ReportFacts &facts, size_t t) {
    const ReportThread &thread = facts.threads[t];
    return "thread " + std::to_string(ThreadInRun(facts, t)) + ", ThreadID " + HexText(thread.id) +
           ": " + Counted(thread.entries, "entry", "entries") + ", the first at line " +
           std::to_string(thread.firstLine);
}

// "run 2 from line 717: 4 entries", where a report holds several runs.
static std::string RunText(const ReportFacts &facts, size_t r) {
    const ReportRun &run = facts.runs[r];
    return "run " + std::to_string(r + 1) + " from line " + std::to_string(run.firstLine) + ": " +
           Counted(run.entries, "entry", "entries");
}

void WriteCheckText(FILE *out, const std::vector<ReportFacts> &reports) {
    for (const ReportFacts &facts : reports) {
        if (!facts.readable) {
            continue;
        }
        WriteCounts(out, facts);
        bool runs = facts.runs.size() > 1;
        for (size_t t = 0; t < facts.threads.size(); t++) {
            size_t run = facts.threads[t].run;
            if (runs && facts.runs[run].firstThread == t) {
                fprintf(out, "  %s\n", RunText(facts, run).c_str());
            }
            fprintf(out, "%s  %s\n", runs ? "  " : "", ThreadText(facts, t).c_str());
        }
    }
}

// "in entry 3", "in entries 1-4", "in 3 entries from 1 to 7"
static std::string EntriesText(const CountedValue &value) {
    if (value.entries == 1) {
        return "in entry " + std::to_string(value.first);
    }
    std::string range = std::to_string(value.first) + "-" + std::to_string(value.last);
    if (value.last - value.first + 1 == value.entries) {
        return "in entries " + range;
    }
    return "in " + std::to_string(value.entries) + " entries from " + std::to_string(value.first) +
           " to " + std::to_string(value.last);
}

// A row's values, each shown by `show`.
template <typename Show> static std::string CountsText(const ValueCounts &counts, Show show) {
    std::string text;
    for (const CountedValue &value : counts.values) {
        text += (text.empty() ? "" : "; ") + show(value) + " " + EntriesText(value);
    }
    if (counts.otherEntries > 0) {
        text += "; other values in " + Counted(counts.otherEntries, "entry", "entries");
    }
    return text;
}

static bool SameCounts(const ValueCounts &a, const ValueCounts &b) {
    if (a.otherEntries != b.otherEntries || a.values.size() != b.values.size()) {
        return false;
    }
    for (size_t i = 0; i < a.values.size(); i++) {
        const CountedValue &x = a.values[i];
        const CountedValue &y = b.values[i];
        if (!std::equal(x.values, x.values + SUMMARY_ROW_MEMBERS, y.values) ||
            x.faceName != y.faceName || x.entries != y.entries || x.first != y.first ||
            x.last != y.last) {
            return false;
        }
    }
    return true;
}

// Whether block n showed the same as an earlier block; which one.
static int SameBlockBefore(const ThreadSummary &summary, int n) {
    for (int earlier = 0; earlier < n; earlier++) {
        bool same = SameCounts(summary.records[earlier], summary.records[n]);
        for (int r = 0; r < SUMMARY_ROW_COUNT && same; r++) {
            same = SameCounts(summary.rows[earlier][r], summary.rows[n][r]);
        }
        if (same) {
            return earlier;
        }
    }
    return -1;
}

static void WriteRow(FILE *out, const std::string &name, const std::string &text) {
    fprintf(out, "  %-28s %s\n", name.c_str(), text.c_str());
}

static void WriteThreadSummary(FILE *out, const SummaryResult &result, size_t t, int codePage) {
    const ThreadSummary &summary = result.threads[t];
    WriteRow(out, "shared contexts", CountsText(summary.sharing, [](const CountedValue &value) {
                 return SharingText(static_cast<int>(value.values[0]));
             }));
    for (int n = 0; n < 3; n++) {
        int same = SameBlockBefore(summary, n);
        if (same >= 0) {
            WriteRow(out, BlockLabels[n], std::string("as ") + BlockLabels[same]);
            continue;
        }
        WriteRow(out, BlockLabels[n], CountsText(summary.records[n], [](const CountedValue &value) {
                     return std::string(value.values[0] != 0 ? "record" : REPORT_NULL_BLOCK);
                 }));
        for (int r = 0; r < SUMMARY_ROW_COUNT; r++) {
            if (!summary.rows[n][r].values.empty()) {
                WriteRow(out, std::string(BlockLabels[n]) + "->" + SummaryRows[r].name,
                         CountsText(summary.rows[n][r], [&](const CountedValue &value) {
                             return SummaryValueText(r, value, result.names, codePage);
                         }));
            }
        }
    }
    WriteRow(out, "dwAP", HexText(summary.lowest[0]) + " to " + HexText(summary.highest[0]));
    WriteRow(out, "dwAV", HexText(summary.lowest[1]) + " to " + HexText(summary.highest[1]));
}

void WriteSummaryText(FILE *out, const SummaryResult &result, int codePage) {
    const ReportFacts &facts = result.report;
    if (!facts.readable) {
        return;
    }
    WriteCounts(out, facts);
    for (size_t t = 0; t < facts.threads.size(); t++) {
        const ThreadSummary &summary = result.threads[t];
        std::string malformed;
        if (summary.entries < facts.threads[t].entries) {
            malformed = " (" +
                        Counted(facts.threads[t].entries - summary.entries, "malformed entry",
                                "malformed entries") +
                        " left out)";
        }
        size_t run = facts.threads[t].run;
        if (facts.runs.size() > 1 && facts.runs[run].firstThread == t) {
            fprintf(out, "\n%s\n", RunText(facts, run).c_str());
        }
        fprintf(out, "\n%s%s\n", ThreadText(facts, t).c_str(), malformed.c_str());
        if (summary.entries > 0) {
            WriteThreadSummary(out, result, t, codePage);
        }
    }
}

// Which runs were compared, where a report holds several.
static void WriteRuns(FILE *out, const DiffResult &result) {
    if (!result.failure.empty() || (result.a.runs.size() <= 1 && result.b.runs.size() <= 1)) {
        return;
    }
    const ReportFacts *reports[2] = {&result.a, &result.b};
    const size_t runs[2] = {result.runA, result.runB};
    std::string text;
    for (int s = 0; s < 2; s++) {
        const ReportFacts &facts = *reports[s];
        if (runs[s] < facts.runs.size()) {
            text += std::string(s == 0 ? "" : " with ") + "run " + std::to_string(runs[s] + 1) +
                    " of " + std::to_string(facts.runs.size()) + " of " + facts.path +
                    " (from line " + std::to_string(facts.runs[runs[s]].firstLine) + ")";
        }
    }
    fprintf(out, "comparing %s\n", text.c_str());
}

// How the threads were paired, when not in the order of first appearance.
static void WritePairing(FILE *out, const DiffResult &result) {
    if (!result.failure.empty() || result.pairing == Pairing::Order) {
        return;
    }
    std::string pairs;
    for (size_t t = 0; t < result.rows.size(); t++) {
        size_t b = result.rows[t].b;
        pairs += (t > 0 ? ", " : "") + std::to_string(t + 1) + " with " +
                 (b == NO_THREAD ? std::string("none") : std::to_string(ThreadInRun(result.b, b)));
    }
    if (result.pairing == Pairing::Asked) {
        fprintf(out, "threads of A paired with B's as asked: %s\n", pairs.c_str());
        return;
    }
    fprintf(out,
            "threads of A paired with B's by content: %s; their first entries differ so in %s, "
            "in the order of first appearance in %s (--match-threads 1,2 keeps that order)\n",
            pairs.c_str(), Counted(result.swappedScore, "fact", "facts").c_str(),
            Counted(result.inOrderScore, "fact", "facts").c_str());
}

// "entry 2", "entries 1-4 of 4", "entries 1, 3-5 of 9"
static std::string GroupEntries(const DiffResult &result, const DifferenceGroup &group) {
    const Difference &first = group.first;
    if (first.entry == 0) {
        return "";
    }
    if (group.count == 1) {
        return ", entry " + std::to_string(first.entry);
    }
    std::string text;
    for (size_t i = 0; i < group.entries.size(); i++) {
        const EntryRange &range = group.entries[i];
        if (i == 6) {
            break;
        }
        text += i > 0 ? ", " : "";
        text += std::to_string(range.first);
        if (range.last > range.first) {
            text += '-';
            text += std::to_string(range.last);
        }
    }
    if (group.entries.size() > 6 || group.rangesLeftOut > 0) {
        text += ", ...";
    }
    return ", entries " + text + " of " + std::to_string(result.rows[first.row - 1].entries);
}

static void WriteDifference(FILE *out, const DiffResult &result, const Difference &difference,
                            const std::string &place, const std::string (&sides)[2],
                            const char *at) {
    std::string change = ChangeText(difference);
    fprintf(out, "%s, %s: %s | %s  %s(%s%s, %s)\n", place.c_str(),
            FactName(difference.fact).c_str(), sides[0].c_str(), sides[1].c_str(),
            change.empty() ? "" : ("(" + change + ")  ").c_str(), at,
            Place(result.a.path, difference.a.line).c_str(),
            Place(result.b.path, difference.b.line).c_str());
}

static void Begin(void *state, const DiffResult &result) {
    TextDiff &text = *static_cast<TextDiff *>(state);
    WriteRuns(text.out, result);
    WritePairing(text.out, result);
}

static void Pair(void *state, const DiffResult &result, const EntryPair &pair) {
    TextDiff &text = *static_cast<TextDiff *>(state);
    if (!text.everyEntry) {
        return;
    }
    for (size_t i = 0; i < pair.count; i++) {
        const Difference &difference = pair.differences[i];
        if (difference.known != 0) {
            continue;
        }
        std::string place = "thread " + std::to_string(difference.row);
        if (difference.entry != 0) {
            place += ", entry " + std::to_string(difference.entry);
        }
        const std::string sides[2] = {
            InlineText(ShowSide(result, difference, false, text.codePage), false),
            InlineText(ShowSide(result, difference, true, text.codePage), false)};
        WriteDifference(text.out, result, difference, place, sides, "");
    }
}

static void RowEnd(void *state, const DiffResult &result, size_t row) {
    TextDiff &text = *static_cast<TextDiff *>(state);
    if (text.everyEntry) {
        return;
    }
    for (; text.groupsWritten < result.groups.groups.size(); text.groupsWritten++) {
        const DifferenceGroup &group = result.groups.groups[text.groupsWritten];
        if (group.first.known != 0) {
            continue;
        }
        std::string sides[2];
        for (int s = 0; s < 2; s++) {
            sides[s] = group.sampleRange
                           ? SampleRangeText(group, s == 1)
                           : InlineText(ShowGroupSide(result, group, s == 1, text.codePage), false);
        }
        WriteDifference(text.out, result, group.first,
                        "thread " + std::to_string(group.first.row) + GroupEntries(result, group),
                        sides, group.count > 1 ? "first at " : "");
    }
    const ThreadPair &pair = result.rows[row - 1];
    if (pair.ungrouped > 0) {
        fprintf(text.out, "thread %zu: %s past the first %zu lines (--every-entry lists each)\n",
                row, Counted(pair.ungrouped, "more difference", "more differences").c_str(),
                MAX_GROUPS);
    }
}

DiffSink TextDiffSink(TextDiff &text) {
    return {&text, Begin, Pair, RowEnd};
}

void EndTextDiff(TextDiff &text, const DiffResult &result) {
    bool knownAsked = result.options.known.state != nullptr;
    uint64_t found = result.differenceCount - result.knownCount;
    size_t groups =
        std::count_if(result.groups.groups.begin(), result.groups.groups.end(),
                      [](const DifferenceGroup &group) { return group.first.known == 0; });
    if (found > 0) {
        std::string lines;
        if (!text.everyEntry && groups < found) {
            lines = " in " + Counted(groups, "line", "lines") + " (--every-entry lists each)";
        }
        fprintf(text.out, "%s%s\n",
                (knownAsked ? Counted(found, "new difference", "new differences")
                            : Counted(found, "difference", "differences"))
                    .c_str(),
                lines.c_str());
    }
    if (knownAsked) {
        fprintf(text.out, "%s known (%s)\n",
                Counted(result.knownCount, "difference", "differences").c_str(),
                result.options.knownFile.c_str());
        for (const KnownLineLeft &left : result.noLongerDiffer) {
            fprintf(text.out, "%s: no longer differs: %s\n",
                    Place(result.options.knownFile, left.line).c_str(), left.text.c_str());
        }
    }
    for (const std::string &line : NotComparedTexts(result)) {
        fprintf(text.out, "%s\n", line.c_str());
    }
}
