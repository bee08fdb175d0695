// The results as JSON for scripts: one whole document on every path.
#include "flags/flag_names.h"
#include "render/escape.h"
#include "text/face_name_text.h"
#include "render/renderer.h"
#include "render/values.h"

#include <cinttypes>

static std::string Line(uint64_t line) {
    return line == 0 ? "null" : std::to_string(line);
}

static std::string Boolean(bool value) {
    return value ? "true" : "false";
}

// A report's facts, as members of an object: what every command says of it.
static void WriteFactMembers(FILE *out, const ReportFacts &facts) {
    fprintf(out, "\"file\": %s, \"readable\": %s, \"error\": %s, \"wellFormed\": %s",
            JsonString(facts.path).c_str(), Boolean(facts.readable).c_str(),
            facts.readable ? "null" : JsonString(facts.failure).c_str(),
            Boolean(IsWellFormed(facts)).c_str());
    fprintf(out, ", \"entries\": %" PRIu64 ", \"threads\": [", facts.entries);
    for (size_t t = 0; t < facts.threads.size(); t++) {
        const ReportThread &thread = facts.threads[t];
        fprintf(out,
                "%s{\"run\": %zu, \"thread\": %zu, \"threadId\": \"%s\", \"entries\": %" PRIu64
                ", \"line\": %" PRIu64 "}",
                t > 0 ? ", " : "", thread.run + 1, ThreadInRun(facts, t),
                HexText(thread.id).c_str(), thread.entries, thread.firstLine);
    }
    fputs("], \"runs\": [", out);
    for (size_t r = 0; r < facts.runs.size(); r++) {
        const ReportRun &run = facts.runs[r];
        fprintf(out,
                "%s{\"run\": %zu, \"line\": %" PRIu64 ", \"entries\": %" PRIu64
                ", \"threads\": %zu}",
                r > 0 ? ", " : "", r + 1, run.firstLine, run.entries, run.threads);
    }
    fprintf(out, "], \"problemCount\": %" PRIu64 ", \"problems\": [", facts.problemCount);
    for (size_t i = 0; i < facts.problems.size(); i++) {
        fprintf(out, "%s{\"line\": %" PRIu64 ", \"reason\": %s}", i > 0 ? ", " : "",
                facts.problems[i].line, JsonString(facts.problems[i].reason).c_str());
    }
    fputs("], \"notes\": [", out);
    for (size_t i = 0; i < facts.notes.size(); i++) {
        fprintf(out, "%s{\"line\": %" PRIu64 ", \"note\": %s}", i > 0 ? ", " : "",
                facts.notes[i].line, JsonString(facts.notes[i].reason).c_str());
    }
    fputs("]", out);
}

static void WriteFacts(FILE *out, const ReportFacts &facts) {
    fputs("{", out);
    WriteFactMembers(out, facts);
    fputs("}", out);
}

static void WriteCheck(FILE *out, const CheckResult &result) {
    bool wellFormed = true;
    fputs("{\"command\": \"check\", \"reports\": [", out);
    for (size_t i = 0; i < result.reports.size(); i++) {
        fputs(i > 0 ? ",\n  " : "\n  ", out);
        WriteFacts(out, result.reports[i]);
        wellFormed = wellFormed && IsWellFormed(result.reports[i]);
    }
    fprintf(out, "\n], \"wellFormed\": %s}\n", Boolean(wellFormed).c_str());
}

static std::string JsonCounts(const ValueCounts &counts) {
    std::string json = "{\"values\": [";
    for (size_t i = 0; i < counts.values.size(); i++) {
        const CountedValue &value = counts.values[i];
        std::string names;
        for (const std::string &name : value.names) {
            names += (names.empty() ? ", \"names\": [" : ", ") + JsonString(name);
        }
        json += (i > 0 ? ", " : "") + std::string("{\"value\": ") + JsonString(value.text) +
                (names.empty() ? "" : names + "]") +
                ", \"entries\": " + std::to_string(value.entries) +
                ", \"first\": " + std::to_string(value.first) +
                ", \"last\": " + std::to_string(value.last) + "}";
    }
    return json + "], \"otherEntries\": " + std::to_string(counts.otherEntries) + "}";
}

static void WriteThreadSummary(FILE *out, const ReportFacts &facts, size_t t,
                               const ThreadSummary &summary) {
    const ReportThread &thread = facts.threads[t];
    fprintf(out,
            "%s\n  {\"run\": %zu, \"thread\": %zu, \"threadId\": \"%s\", \"entries\": %" PRIu64
            ", \"summedUp\": %" PRIu64 ", \"line\": %" PRIu64 ",\n   \"sharedContexts\": %s,\n"
            "   \"blocks\": [",
            t > 0 ? "," : "", thread.run + 1, ThreadInRun(facts, t), HexText(thread.id).c_str(),
            thread.entries, summary.entries, thread.firstLine, JsonCounts(summary.sharing).c_str());
    for (int n = 0; n < 3; n++) {
        fprintf(out, "%s{\"label\": \"%s\", \"records\": %s, \"members\": {", n > 0 ? ", " : "",
                BlockLabels[n], JsonCounts(summary.records[n]).c_str());
        bool first = true;
        for (int r = 0; r < SUMMARY_ROW_COUNT; r++) {
            if (!summary.rows[n][r].values.empty()) {
                fprintf(out, "%s\"%s\": %s", first ? "" : ", ", SummaryRows[r].name,
                        JsonCounts(summary.rows[n][r]).c_str());
                first = false;
            }
        }
        fputs("}}", out);
    }
    bool any = summary.entries > 0;
    fprintf(out, "],\n   \"dwAP\": %s, \"dwAV\": %s}",
            any ? ("{\"lowest\": \"" + HexText(summary.lowest[0]) + "\", \"highest\": \"" +
                   HexText(summary.highest[0]) + "\"}")
                      .c_str()
                : "null",
            any ? ("{\"lowest\": \"" + HexText(summary.lowest[1]) + "\", \"highest\": \"" +
                   HexText(summary.highest[1]) + "\"}")
                      .c_str()
                : "null");
}

static void WriteSummary(FILE *out, const SummaryResult &result) {
    fputs("{\"command\": \"summary\", ", out);
    WriteFactMembers(out, result.report);
    fputs(",\n \"summaries\": [", out);
    for (size_t t = 0; t < result.threads.size(); t++) {
        WriteThreadSummary(out, result.report, t, result.threads[t]);
    }
    fputs("\n]}\n", out);
}

// Names as a JSON array: ["NATIVE", "ROMAN"].
static std::string JsonNames(int m, uint32_t value) {
    std::string json;
    for (const std::string &name : ValueNames(m, value)) {
        json += (json.empty() ? "[" : ", ") + JsonString(name);
    }
    return json.empty() ? "[]" : json + "]";
}

static std::string JsonSide(const DiffResult &result, const Difference &difference, bool sideB) {
    ValueText text = SideText(result, difference, sideB);
    if (IsTextFact(difference.fact)) {
        text.value = ShownFaceName(text.value, result.codePage);
    }
    std::string json = "{\"value\": " + JsonString(text.value);
    if (!text.raw.empty()) {
        json += ", \"raw\": \"" + text.raw + "\"";
    }
    const Fact &fact = difference.fact;
    if (fact.kind == FactKind::Member && MemberNameKind(fact.index) != NameKind::None) {
        const DifferenceSide &side = sideB ? difference.b : difference.a;
        json += ", \"names\": " + JsonNames(fact.index, static_cast<uint32_t>(side.value));
    }
    return json + ", \"line\": " + Line(sideB ? difference.b.line : difference.a.line) + "}";
}

static const char *FactKindName(FactKind kind) {
    switch (kind) {
    case FactKind::Header:
        return "header";
    case FactKind::Sharing:
        return "sharing";
    case FactKind::Record:
        return "record";
    case FactKind::Member:
        return "member";
    case FactKind::Entries:
        break;
    }
    return "entries";
}

static const char *ComparedName(Compared compared) {
    return compared == Compared::Whole ? "whole" : compared == Compared::Partly ? "partly" : "not";
}

static std::string ThreadNumber(const ReportFacts &facts, size_t thread) {
    return thread == NO_THREAD ? "null" : std::to_string(ThreadInRun(facts, thread));
}

static std::string JsonDifference(const DiffResult &result, const Difference &difference) {
    std::string change = ChangeText(difference);
    return "\"member\": " + JsonString(FactName(difference.fact)) + ", \"fact\": \"" +
           FactKindName(difference.fact.kind) +
           "\", \"strictOnly\": " + Boolean(ComparedOnlyWhenStrict(difference.fact)) +
           (change.empty() ? "" : ", \"change\": " + JsonString(change)) +
           ", \"a\": " + JsonSide(result, difference, false) +
           ", \"b\": " + JsonSide(result, difference, true);
}

static void WriteDiff(FILE *out, const DiffResult &result) {
    fprintf(out, "{\"command\": \"diff\", \"strict\": %s, \"matchThreads\": ",
            Boolean(result.strict).c_str());
    if (result.threadsOfB.empty()) {
        fputs("null", out);
    } else {
        for (size_t i = 0; i < result.threadsOfB.size(); i++) {
            fprintf(out, "%s%zu", i == 0 ? "[" : ", ", result.threadsOfB[i] + 1);
        }
        fputs("]", out);
    }
    fprintf(out, ", \"runs\": {\"a\": %zu, \"b\": %zu}, \"pairing\": \"%s\"", result.runA + 1,
            result.runB + 1,
            !result.threadsOfB.empty() ? "asked"
            : result.pairedByContent   ? "content"
                                       : "order");
    fputs(",\n \"groups\": [", out);
    for (size_t i = 0; i < result.groups.size(); i++) {
        const DifferenceGroup &group = result.groups[i];
        const Difference &first = result.differences[group.first];
        std::string entries;
        for (const EntryRange &range : group.entries) {
            entries += (entries.empty() ? "" : ", ") + std::string("[") +
                       std::to_string(range.first) + ", " + std::to_string(range.last) + "]";
        }
        fprintf(out,
                "%s\n  {\"thread\": %zu, \"count\": %" PRIu64 ", \"entries\": %s, \"of\": %" PRIu64
                ", %s}",
                i > 0 ? "," : "", first.thread, group.count,
                first.entry == 0 ? "null" : ("[" + entries + "]").c_str(),
                result.threads[first.thread - 1].entries, JsonDifference(result, first).c_str());
    }
    fputs("\n], \"differences\": [", out);
    for (size_t i = 0; i < result.differences.size(); i++) {
        const Difference &difference = result.differences[i];
        fprintf(out, "%s\n  {\"thread\": %zu, \"entry\": %s, %s}", i > 0 ? "," : "",
                difference.thread,
                difference.entry == 0 ? "null" : std::to_string(difference.entry).c_str(),
                JsonDifference(result, difference).c_str());
    }
    bool wellFormed = IsWellFormed(result.a) && IsWellFormed(result.b);
    bool complete = wellFormed && result.failure.empty() && !result.stopped;
    fprintf(out, "\n], \"differenceCount\": %zu,\n \"threads\": [", result.differences.size());
    for (size_t t = 0; t < result.threads.size(); t++) {
        const ThreadPair &row = result.threads[t];
        fprintf(out,
                "%s{\"thread\": %zu, \"a\": %s, \"b\": %s, \"entries\": %" PRIu64
                ", \"differences\": %" PRIu64 ", \"compared\": \"%s\"}",
                t > 0 ? ", " : "", t + 1, ThreadNumber(result.a, row.a).c_str(),
                ThreadNumber(result.b, row.b).c_str(), row.entries, row.differences,
                ComparedName(row.compared));
    }
    fprintf(out, "],\n \"wellFormed\": %s, \"complete\": %s, \"same\": %s, \"failure\": %s,",
            Boolean(wellFormed).c_str(), Boolean(complete).c_str(),
            complete ? Boolean(result.differences.empty()).c_str() : "null",
            result.failure.empty() ? "null" : JsonString(result.failure).c_str());
    if (result.stopped) {
        const ReportFacts &facts = result.stoppedInB ? result.b : result.a;
        fprintf(out, " \"stopped\": {\"file\": %s, \"line\": %s, \"reason\": %s, \"text\": %s},",
                JsonString(facts.path).c_str(), Line(result.stop.line).c_str(),
                JsonString(result.stop.reason).c_str(), JsonString(StopText(result)).c_str());
    } else {
        fputs(" \"stopped\": null,", out);
    }
    if (result.pagePath.empty()) {
        fputs(" \"page\": null,", out);
    } else {
        fprintf(out, " \"page\": {\"file\": %s, \"written\": %s, \"error\": %s},",
                JsonString(result.pagePath).c_str(), Boolean(result.pageWritten).c_str(),
                result.pageWritten ? "null" : JsonString(result.pageError).c_str());
    }
    fputs("\n \"a\": ", out);
    WriteFacts(out, result.a);
    fputs(",\n \"b\": ", out);
    WriteFacts(out, result.b);
    fputs("}\n", out);
}

const Renderer JsonRenderer = {WriteCheck, WriteSummary, WriteDiff};
