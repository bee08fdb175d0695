// The results as text for people.
#include "reader/report_reader.h"
#include "text/face_name_text.h"
#include "render/renderer.h"
#include "render/values.h"

#include <cinttypes>

static std::string Place(const std::string &path, uint64_t line) {
    return line == 0 ? path : path + ":" + std::to_string(line);
}

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

static void WriteCheck(FILE *out, const CheckResult &result) {
    for (const ReportFacts &facts : result.reports) {
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

static std::string CountsText(const ValueCounts &counts) {
    std::string text;
    for (const CountedValue &value : counts.values) {
        text += (text.empty() ? "" : "; ") + value.text + " " + EntriesText(value);
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
        if (x.text != y.text || x.entries != y.entries || x.first != y.first || x.last != y.last) {
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

static void WriteSummary(FILE *out, const SummaryResult &result) {
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
        if (summary.entries == 0) {
            continue;
        }
        WriteRow(out, "shared contexts", CountsText(summary.sharing));
        for (int n = 0; n < 3; n++) {
            int same = SameBlockBefore(summary, n);
            if (same >= 0) {
                WriteRow(out, BlockLabels[n], std::string("as ") + BlockLabels[same]);
                continue;
            }
            WriteRow(out, BlockLabels[n], CountsText(summary.records[n]));
            for (int r = 0; r < SUMMARY_ROW_COUNT; r++) {
                if (!summary.rows[n][r].values.empty()) {
                    WriteRow(out, std::string(BlockLabels[n]) + "->" + SummaryRows[r].name,
                             CountsText(summary.rows[n][r]));
                }
            }
        }
        WriteRow(out, "dwAP", HexText(summary.lowest[0]) + " to " + HexText(summary.highest[0]));
        WriteRow(out, "dwAV", HexText(summary.lowest[1]) + " to " + HexText(summary.highest[1]));
    }
}

// A face name is quoted, so that an empty one or one with blanks shows.
static std::string ShownSide(const DiffResult &result, const Difference &difference, bool sideB) {
    ValueText text = SideText(result, difference, sideB);
    std::string shown =
        IsTextFact(difference.fact) ? QuotedFaceName(text.value, result.codePage) : text.value;
    return text.raw.empty() ? shown : shown + " (" + text.raw + ")";
}

std::string StopText(const DiffResult &result) {
    if (!result.stopped) {
        return "";
    }
    size_t first = 0;
    while (first < result.threads.size() && result.threads[first].compared == Compared::Whole) {
        first++;
    }
    std::string text;
    if (first < result.threads.size() && result.threads[first].compared == Compared::Partly) {
        text = "thread " + std::to_string(first + 1) + " compared up to entry " +
               std::to_string(result.threads[first].entries);
        first++;
    }
    size_t left = result.threads.size() - first;
    if (left > 0) {
        text += (text.empty() ? "" : "; ") +
                (left == 1 ? "thread " + std::to_string(first + 1)
                           : "threads " + std::to_string(first + 1) + " and later") +
                " not compared";
    }
    if (text.empty()) {
        text = "nothing compared";
    }
    const std::string &path = result.stoppedInB ? result.b.path : result.a.path;
    return text + ": " + Place(path, result.stop.line) + ": " + result.stop.reason;
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
    if (!result.failure.empty() || (result.threadsOfB.empty() && !result.pairedByContent)) {
        return;
    }
    std::string pairs;
    for (size_t t = 0; t < result.threads.size(); t++) {
        size_t b = result.threads[t].b;
        pairs += (t > 0 ? ", " : "") + std::to_string(t + 1) + " with " +
                 (b == NO_THREAD ? std::string("none") : std::to_string(ThreadInRun(result.b, b)));
    }
    if (!result.threadsOfB.empty()) {
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
    const Difference &first = result.differences[group.first];
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
            text += ", ...";
            break;
        }
        text += i > 0 ? ", " : "";
        text += std::to_string(range.first);
        if (range.last > range.first) {
            text += '-';
            text += std::to_string(range.last);
        }
    }
    std::string entries = ", entries ";
    entries += text;
    return entries + " of " + std::to_string(result.threads[first.thread - 1].entries);
}

static void WriteDifference(FILE *out, const DiffResult &result, const Difference &difference,
                            const std::string &place, const char *at) {
    std::string change = ChangeText(difference);
    fprintf(out, "%s, %s: %s | %s  %s(%s%s, %s)\n", place.c_str(),
            FactName(difference.fact).c_str(), ShownSide(result, difference, false).c_str(),
            ShownSide(result, difference, true).c_str(),
            change.empty() ? "" : ("(" + change + ")  ").c_str(), at,
            Place(result.a.path, difference.a.line).c_str(),
            Place(result.b.path, difference.b.line).c_str());
}

static void WriteDiff(FILE *out, const DiffResult &result) {
    WriteRuns(out, result);
    WritePairing(out, result);
    if (result.everyEntry) {
        for (const Difference &difference : result.differences) {
            WriteDifference(out, result, difference, DifferencePlace(difference), "");
        }
    } else {
        for (const DifferenceGroup &group : result.groups) {
            const Difference &first = result.differences[group.first];
            WriteDifference(out, result, first,
                            "thread " + std::to_string(first.thread) + GroupEntries(result, group),
                            group.count > 1 ? "first at " : "");
        }
    }
    if (!result.differences.empty()) {
        std::string lines;
        if (!result.everyEntry && result.groups.size() < result.differences.size()) {
            lines = " in " + Counted(result.groups.size(), "line", "lines") +
                    " (--every-entry lists each)";
        }
        fprintf(out, "%s%s\n",
                Counted(result.differences.size(), "difference", "differences").c_str(),
                lines.c_str());
    }
    if (result.stopped) {
        fprintf(out, "%s\n", StopText(result).c_str());
    }
}

const Renderer TextRenderer = {WriteCheck, WriteSummary, WriteDiff};
