#include "render/json.h"
#include "flags/flag_names.h"
#include "render/values.h"

#include <functional>

static void LineMember(JsonWriter &json, const char *name, uint64_t line) {
    Key(json, name);
    if (line == 0) {
        Null(json);
    } else {
        Number(json, line);
    }
}

static void Problems(JsonWriter &json, const char *name, const char *text,
                     const std::vector<ReadProblem> &problems) {
    Key(json, name);
    BeginArray(json);
    for (const ReadProblem &problem : problems) {
        BeginObject(json);
        Member(json, "line", problem.line);
        Member(json, text, problem.reason);
        EndObject(json);
    }
    EndArray(json);
}

// A report's facts, as members of an object: what every command says of it.
static void FactMembers(JsonWriter &json, const ReportFacts &facts) {
    Member(json, "file", facts.path);
    MemberBool(json, "readable", facts.readable);
    Key(json, "error");
    facts.readable ? Null(json) : String(json, facts.failure);
    MemberBool(json, "wellFormed", IsWellFormed(facts));
    Member(json, "entries", facts.entries);
    Key(json, "threads");
    BeginArray(json);
    for (size_t t = 0; t < facts.threads.size(); t++) {
        const ReportThread &thread = facts.threads[t];
        BeginObject(json);
        Member(json, "run", thread.run + 1);
        Member(json, "thread", ThreadInRun(facts, t));
        Member(json, "threadId", HexText(thread.id));
        Member(json, "entries", thread.entries);
        Member(json, "line", thread.firstLine);
        EndObject(json);
    }
    EndArray(json);
    Key(json, "runs");
    BeginArray(json);
    for (size_t r = 0; r < facts.runs.size(); r++) {
        const ReportRun &run = facts.runs[r];
        BeginObject(json);
        Member(json, "run", r + 1);
        Member(json, "line", run.firstLine);
        Member(json, "entries", run.entries);
        Member(json, "threads", run.threads);
        EndObject(json);
    }
    EndArray(json);
    Member(json, "problemCount", facts.problemCount);
    Problems(json, "problems", "reason", facts.problems);
    Problems(json, "notes", "note", facts.notes);
}

static void Facts(JsonWriter &json, const ReportFacts &facts) {
    BeginObject(json);
    FactMembers(json, facts);
    EndObject(json);
}

void WriteCheckJson(FILE *out, const std::vector<ReportFacts> &reports) {
    JsonWriter json = StartJson(out);
    BeginObject(json);
    Member(json, "command", "check");
    Key(json, "reports");
    BeginArray(json, true);
    bool wellFormed = true;
    for (const ReportFacts &facts : reports) {
        Facts(json, facts);
        wellFormed = wellFormed && IsWellFormed(facts);
    }
    EndArray(json);
    MemberBool(json, "wellFormed", wellFormed);
    Close(json);
}

void WriteUsageErrorJson(FILE *out, const std::string &message) {
    JsonWriter json = StartJson(out);
    BeginObject(json);
    Key(json, "command");
    Null(json);
    Member(json, "usageError", message);
    Close(json);
}

// A value's members: "value", and "raw", "names", "bytes" where it has them.
static void ValueMembers(JsonWriter &json, const ShownValue &value, bool withNames) {
    Member(json, "value", value.text);
    if (!value.raw.empty()) {
        Member(json, "raw", value.raw);
    }
    if (withNames) {
        Key(json, "names");
        BeginArray(json);
        for (const std::string &name : value.names) {
            String(json, name);
        }
        EndArray(json);
    }
    if (value.faceName) {
        Member(json, "bytes", value.bytes);
    }
}

static void Counts(JsonWriter &json, const ValueCounts &counts,
                   const std::function<ShownValue(const CountedValue &)> &show, bool withNames) {
    BeginObject(json);
    Key(json, "values");
    BeginArray(json);
    for (const CountedValue &value : counts.values) {
        BeginObject(json);
        ValueMembers(json, show(value), withNames);
        Member(json, "entries", value.entries);
        Member(json, "first", value.first);
        Member(json, "last", value.last);
        EndObject(json);
    }
    EndArray(json);
    Member(json, "otherEntries", counts.otherEntries);
    EndObject(json);
}

static void Range(JsonWriter &json, const char *name, uint32_t lowest, uint32_t highest) {
    Key(json, name);
    BeginObject(json);
    Member(json, "lowest", HexText(lowest));
    Member(json, "highest", HexText(highest));
    EndObject(json);
}

static void ThreadSummaryJson(JsonWriter &json, const SummaryResult &result, size_t t,
                              int codePage) {
    const ReportFacts &facts = result.report;
    const ReportThread &thread = facts.threads[t];
    const ThreadSummary &summary = result.threads[t];
    BeginObject(json);
    Member(json, "run", thread.run + 1);
    Member(json, "thread", ThreadInRun(facts, t));
    Member(json, "threadId", HexText(thread.id));
    Member(json, "entries", thread.entries);
    Member(json, "summedUp", summary.entries);
    Member(json, "line", thread.firstLine);
    Key(json, "sharedContexts");
    Counts(
        json, summary.sharing,
        [](const CountedValue &value) {
            return ShownValue{
                SharingText(static_cast<int>(value.values[0])), "", {}, false, "", ""};
        },
        false);
    Key(json, "blocks");
    BeginArray(json);
    for (int n = 0; n < 3; n++) {
        BeginObject(json);
        Member(json, "label", BlockLabels[n]);
        Key(json, "records");
        Counts(
            json, summary.records[n],
            [](const CountedValue &value) {
                return ShownValue{
                    value.values[0] != 0 ? "record" : REPORT_NULL_BLOCK, "", {}, false, "", ""};
            },
            false);
        Key(json, "members");
        BeginObject(json);
        for (int r = 0; r < SUMMARY_ROW_COUNT; r++) {
            if (summary.rows[n][r].values.empty()) {
                continue;
            }
            Key(json, SummaryRows[r].name);
            Counts(
                json, summary.rows[n][r],
                [&](const CountedValue &value) {
                    return SummaryShownValue(r, value, result.names, codePage);
                },
                true);
        }
        EndObject(json);
        EndObject(json);
    }
    EndArray(json);
    for (int s = 0; s < 2; s++) {
        const char *name = s == 0 ? "dwAP" : "dwAV";
        if (summary.entries > 0) {
            Range(json, name, summary.lowest[s], summary.highest[s]);
        } else {
            Key(json, name);
            Null(json);
        }
    }
    EndObject(json);
}

void WriteSummaryJson(FILE *out, const SummaryResult &result, int codePage) {
    JsonWriter json = StartJson(out);
    BeginObject(json);
    Member(json, "command", "summary");
    FactMembers(json, result.report);
    Key(json, "summaries");
    BeginArray(json, true);
    for (size_t t = 0; t < result.threads.size(); t++) {
        ThreadSummaryJson(json, result, t, codePage);
    }
    Close(json);
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

static void Side(JsonWriter &json, const char *name, const ShownValue &value, const Fact &fact,
                 uint64_t line) {
    Key(json, name);
    BeginObject(json);
    ValueMembers(json, value,
                 fact.kind == FactKind::Member && MemberNameKind(fact.index) != NameKind::None);
    LineMember(json, "line", line);
    EndObject(json);
}

// A difference's members: what differs and how, each side's value.
static void DifferenceMembers(JsonWriter &json, const Difference &difference, const ShownValue &a,
                              const ShownValue &b) {
    Member(json, "member", FactName(difference.fact));
    Member(json, "fact", FactKindName(difference.fact.kind));
    MemberBool(json, "strictOnly", ComparedOnlyWhenStrict(difference.fact));
    LineMember(json, "known", difference.known);
    std::string change = ChangeText(difference);
    if (!change.empty()) {
        Member(json, "change", change);
    }
    Side(json, "a", a, difference.fact, difference.a.line);
    Side(json, "b", b, difference.fact, difference.b.line);
}

static void Begin(void *state, const DiffResult &result) {
    JsonWriter &json = static_cast<JsonDiff *>(state)->json;
    BeginObject(json);
    Member(json, "command", "diff");
    MemberBool(json, "strict", result.options.strict);
    Key(json, "matchThreads");
    if (result.options.threadsOfB.empty()) {
        Null(json);
    } else {
        BeginArray(json);
        for (size_t t : result.options.threadsOfB) {
            Number(json, t + 1);
        }
        EndArray(json);
    }
    Key(json, "runs");
    BeginObject(json);
    Member(json, "a", result.runA + 1);
    Member(json, "b", result.runB + 1);
    EndObject(json);
    Member(json, "pairing",
           result.pairing == Pairing::Asked     ? "asked"
           : result.pairing == Pairing::Content ? "content"
                                                : "order");
    Key(json, "differences");
    BeginArray(json, true);
}

static void Pair(void *state, const DiffResult &result, const EntryPair &pair) {
    JsonDiff &diff = *static_cast<JsonDiff *>(state);
    JsonWriter &json = diff.json;
    for (size_t i = 0; i < pair.count; i++) {
        const Difference &difference = pair.differences[i];
        BeginObject(json);
        Member(json, "thread", difference.row);
        LineMember(json, "entry", difference.entry);
        DifferenceMembers(json, difference, ShowSide(result, difference, false, diff.codePage),
                          ShowSide(result, difference, true, diff.codePage));
        EndObject(json);
    }
}

static void RowEnd(void *, const DiffResult &, size_t) {}

DiffSink JsonDiffSink(JsonDiff &json) {
    return {&json, Begin, Pair, RowEnd};
}

static void Group(JsonWriter &json, const DiffResult &result, const DifferenceGroup &group,
                  int codePage) {
    const Difference &first = group.first;
    BeginObject(json);
    Member(json, "thread", first.row);
    Member(json, "count", group.count);
    Key(json, "entries");
    if (first.entry == 0) {
        Null(json);
    } else {
        BeginArray(json);
        for (const EntryRange &range : group.entries) {
            BeginArray(json);
            Number(json, range.first);
            Number(json, range.last);
            EndArray(json);
        }
        EndArray(json);
    }
    Member(json, "rangesLeftOut", group.rangesLeftOut);
    Member(json, "of", result.rows[first.row - 1].entries);
    DifferenceMembers(json, first, ShowGroupSide(result, group, false, codePage),
                      ShowGroupSide(result, group, true, codePage));
    if (group.sampleRange) {
        Key(json, "range");
        BeginObject(json);
        Range(json, "a", group.lowest[0], group.highest[0]);
        Range(json, "b", group.lowest[1], group.highest[1]);
        EndObject(json);
    }
    EndObject(json);
}

static const char *ComparedName(Compared compared) {
    return compared == Compared::Whole ? "whole" : compared == Compared::Partly ? "partly" : "not";
}

static const char *VerdictName(DiffVerdict verdict) {
    switch (verdict) {
    case DiffVerdict::Same:
        return "same";
    case DiffVerdict::Different:
        return "different";
    case DiffVerdict::Partial:
        return "partial";
    case DiffVerdict::Trouble:
        break;
    }
    return "trouble";
}

static void ThreadNumber(JsonWriter &json, const char *name, const ReportFacts &facts,
                         size_t thread) {
    Key(json, name);
    if (thread == NO_THREAD) {
        Null(json);
    } else {
        Number(json, ThreadInRun(facts, thread));
    }
}

static void RowProblemJson(JsonWriter &json, const char *name, const DiffResult &result,
                           bool present, const RowProblem &problem) {
    Key(json, name);
    if (!present) {
        Null(json);
        return;
    }
    BeginObject(json);
    Member(json, "file", (problem.inB ? result.b : result.a).path);
    LineMember(json, "line", problem.problem.line);
    Member(json, "entry", problem.entry);
    Member(json, "reason", problem.problem.reason);
    EndObject(json);
}

static void OutcomeMember(JsonWriter &json, const char *name, const FileOutcome &outcome) {
    Key(json, name);
    if (!outcome.asked) {
        Null(json);
        return;
    }
    BeginObject(json);
    Member(json, "file", outcome.path);
    MemberBool(json, "written", outcome.written);
    Key(json, "error");
    outcome.written ? Null(json) : String(json, outcome.error);
    EndObject(json);
}

void EndJsonDiff(JsonDiff &diff, const DiffResult &result, const FileOutcome &page,
                 const FileOutcome &knownWritten) {
    JsonWriter &json = diff.json;
    EndArray(json);
    Key(json, "groups");
    BeginArray(json, true);
    for (const DifferenceGroup &group : result.groups.groups) {
        Group(json, result, group, diff.codePage);
    }
    EndArray(json);
    uint64_t ungrouped = 0;
    for (const ThreadPair &row : result.rows) {
        ungrouped += row.ungrouped;
    }
    Member(json, "maxGroups", MAX_GROUPS);
    Member(json, "ungrouped", ungrouped);
    Member(json, "differenceCount", result.differenceCount);
    Member(json, "knownCount", result.knownCount);
    Key(json, "known");
    if (result.options.known.state == nullptr) {
        Null(json);
    } else {
        BeginObject(json);
        Member(json, "file", result.options.knownFile);
        Key(json, "noLongerDiffer");
        BeginArray(json, true);
        for (const KnownLineLeft &left : result.noLongerDiffer) {
            BeginObject(json);
            Member(json, "line", left.line);
            Member(json, "text", left.text);
            EndObject(json);
        }
        EndArray(json);
        EndObject(json);
    }
    Key(json, "threads");
    BeginArray(json, true);
    for (size_t r = 0; r < result.rows.size(); r++) {
        const ThreadPair &row = result.rows[r];
        BeginObject(json);
        Member(json, "thread", r + 1);
        ThreadNumber(json, "a", result.a, row.a);
        ThreadNumber(json, "b", result.b, row.b);
        Member(json, "entries", row.entries);
        Member(json, "differences", row.differences);
        Member(json, "compared", ComparedName(row.compared));
        RowProblemJson(json, "stopped", result, row.stopped, row.stop);
        Member(json, "passedOver", row.passedOver);
        RowProblemJson(json, "firstPassedOver", result, row.passedOver > 0, row.firstPassedOver);
        EndObject(json);
    }
    EndArray(json);
    bool complete = result.verdict == DiffVerdict::Same || result.verdict == DiffVerdict::Different;
    MemberBool(json, "wellFormed", IsWellFormed(result.a) && IsWellFormed(result.b));
    MemberBool(json, "complete", complete);
    Key(json, "same");
    complete ? Bool(json, result.verdict == DiffVerdict::Same) : Null(json);
    Member(json, "verdict", VerdictName(result.verdict));
    Key(json, "failure");
    result.failure.empty() ? Null(json) : String(json, result.failure);
    Key(json, "notCompared");
    BeginArray(json);
    for (const std::string &text : NotComparedTexts(result)) {
        String(json, text);
    }
    EndArray(json);
    OutcomeMember(json, "page", page);
    OutcomeMember(json, "knownWritten", knownWritten);
    Key(json, "a");
    Facts(json, result.a);
    Key(json, "b");
    Facts(json, result.b);
    Close(json);
}
