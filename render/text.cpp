// The results as text for people.
#include "reader/report_reader.h"
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
    if (facts.problemCount > 0) {
        fprintf(out, ", %s", Counted(facts.problemCount, "problem", "problems").c_str());
    }
    fputc('\n', out);
}

static std::string ThreadText(const ReportThread &thread, size_t t) {
    return "thread " + std::to_string(t + 1) + ", ThreadID " + HexText(thread.id) + ": " +
           Counted(thread.entries, "entry", "entries") + ", the first at line " +
           std::to_string(thread.firstLine);
}

static void WriteCheck(FILE *out, const CheckResult &result) {
    for (const ReportFacts &facts : result.reports) {
        if (!facts.readable) {
            continue;
        }
        WriteCounts(out, facts);
        for (size_t t = 0; t < facts.threads.size(); t++) {
            fprintf(out, "  %s\n", ThreadText(facts.threads[t], t).c_str());
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
        fprintf(out, "\n%s%s\n", ThreadText(facts.threads[t], t).c_str(), malformed.c_str());
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
    std::string shown = IsTextFact(difference.fact) ? QuotedText(text.value) : text.value;
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

static void WriteDiff(FILE *out, const DiffResult &result) {
    if (!result.threadsOfB.empty() && result.failure.empty()) {
        std::string pairs;
        for (size_t t = 0; t < result.threads.size(); t++) {
            pairs += (t > 0 ? ", " : "") + std::to_string(t + 1) + " with " +
                     (result.threads[t].b == NO_THREAD ? std::string("none")
                                                       : std::to_string(result.threads[t].b + 1));
        }
        fprintf(out, "threads of A paired with B's as asked: %s\n", pairs.c_str());
    }
    for (const Difference &difference : result.differences) {
        fprintf(out, "%s, %s: %s | %s  (%s, %s)\n", DifferencePlace(difference).c_str(),
                FactName(difference.fact).c_str(), ShownSide(result, difference, false).c_str(),
                ShownSide(result, difference, true).c_str(),
                Place(result.a.path, difference.a.line).c_str(),
                Place(result.b.path, difference.b.line).c_str());
    }
    if (!result.differences.empty()) {
        fprintf(out, "%s\n",
                Counted(result.differences.size(), "difference", "differences").c_str());
    }
    if (result.stopped) {
        fprintf(out, "%s\n", StopText(result).c_str());
    }
}

const Renderer TextRenderer = {WriteCheck, WriteSummary, WriteDiff};
