// diff: the IMM facts that differ between two reports. Threads are matched by
// the order of their first entry and taken one at a time, entries by their
// index within their thread, so two reports of any size are compared in
// constant memory.
#include "compare/commands.h"
#include "compare/diff.h"
#include "compare/problems.h"
#include "compare/text_escape.h"

#include <cinttypes>
#include <cstring>

static DifferenceSide HandleSide(const HandleNames &names, uint32_t handle, uint64_t line) {
    DifferenceSide side = {HandleName(names, handle), "", line};
    char raw[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Handle, handle, raw);
    if (side.value != raw) {
        side.raw = raw;
    }
    return side;
}

static DifferenceSide HexSide(uint32_t value, uint64_t line) {
    char text[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Hex, value, text);
    return {text, "", line};
}

static void Add(const EntryPair &pair, const std::string &member, DifferenceSide a,
                DifferenceSide b, std::vector<Difference> &differences) {
    if (a.value != b.value) {
        differences.push_back({pair.thread, pair.entry, member, std::move(a), std::move(b)});
    }
}

// Whether two handles show alike: both by the same name, or both unnamed
// with the same value. Cheaper than making both sides, which only a
// difference needs.
static bool SameHandle(const EntryPair &pair, uint32_t a, uint32_t b) {
    auto namedA = pair.namesA->names.find(a);
    auto namedB = pair.namesB->names.find(b);
    bool foundA = namedA != pair.namesA->names.end();
    bool foundB = namedB != pair.namesB->names.end();
    if (foundA && foundB) {
        return namedA->second == namedB->second;
    }
    if (!foundA && !foundB) {
        return a == b;
    }
    return HandleName(*pair.namesA, a) == HandleName(*pair.namesB, b);
}

static void CompareBlocks(const EntryPair &pair, int n, std::vector<Difference> &differences) {
    const ReadBlock &a = pair.a->blocks[n];
    const ReadBlock &b = pair.b->blocks[n];
    std::string label = BlockLabels[n];
    if (a.present != b.present) {
        Add(pair, label, {a.present ? "record" : REPORT_NULL_BLOCK, "", a.line},
            {b.present ? "record" : REPORT_NULL_BLOCK, "", b.line}, differences);
        return;
    }
    if (!a.present) {
        return;
    }
    for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
        ValueKind kind = BlockMembers[m].kind;
        bool same = kind == ValueKind::Handle ? SameHandle(pair, a.values[m], b.values[m])
                    : kind == ValueKind::Text ? strcmp(a.faceName, b.faceName) == 0
                                              : a.values[m] == b.values[m];
        if (same) {
            continue;
        }
        std::string member = label + "->" + BlockMembers[m].path;
        if (kind == ValueKind::Handle) {
            Add(pair, member, HandleSide(*pair.namesA, a.values[m], a.line + m),
                HandleSide(*pair.namesB, b.values[m], b.line + m), differences);
        } else {
            Add(pair, member, {MemberText(a, m), "", a.line + m},
                {MemberText(b, m), "", b.line + m}, differences);
        }
    }
}

void CompareEntries(const EntryPair &pair, bool strict, std::vector<Difference> &differences) {
    if (pair.a == nullptr || pair.b == nullptr) {
        return;
    }
    const ReadEntry &a = *pair.a;
    const ReadEntry &b = *pair.b;
    if (strict && a.threadId != b.threadId) {
        Add(pair, REPORT_THREAD_LABEL, HexSide(a.threadId, a.line + 1),
            HexSide(b.threadId, b.line + 1), differences);
    }
    for (int n = 0; n < 3; n++) {
        uint64_t lineA = a.line + 2 + n;
        uint64_t lineB = b.line + 2 + n;
        std::string number = std::to_string(n + 1);
        if (!SameHandle(pair, a.windows[n], b.windows[n])) {
            Add(pair, WindowLabels[n], HandleSide(*pair.namesA, a.windows[n], lineA),
                HandleSide(*pair.namesB, b.windows[n], lineB), differences);
        }
        if (!SameHandle(pair, a.contexts[n], b.contexts[n])) {
            Add(pair, "hIMC" + number, HandleSide(*pair.namesA, a.contexts[n], lineA),
                HandleSide(*pair.namesB, b.contexts[n], lineB), differences);
        }
        if (strict && a.availPhys[n] != b.availPhys[n]) {
            Add(pair, "dwAP" + number, HexSide(a.availPhys[n], lineA),
                HexSide(b.availPhys[n], lineB), differences);
        }
        if (strict && a.availVirtual[n] != b.availVirtual[n]) {
            Add(pair, "dwAV" + number, HexSide(a.availVirtual[n], lineA),
                HexSide(b.availVirtual[n], lineB), differences);
        }
    }
    Add(pair, "shared contexts", {SharedContexts(a), "", a.line + 2},
        {SharedContexts(b), "", b.line + 2}, differences);
    for (int n = 0; n < 3; n++) {
        CompareBlocks(pair, n, differences);
    }
}

struct DiffOutput {
    const CommandOptions *options;
    const std::string *pathA;
    const std::string *pathB;
    FILE *page;
    uint64_t count;
    std::vector<Difference> threadDifferences; // for the page's end
};

static std::string SideText(const DifferenceSide &side) {
    std::string text = side.value;
    if (!side.raw.empty()) {
        text += " (" + side.raw + ")";
    }
    return text;
}

static std::string Place(const std::string &path, uint64_t line) {
    return line == 0 ? path : path + ":" + std::to_string(line);
}

static std::string JsonSide(const DifferenceSide &side) {
    std::string json = "{\"value\": " + JsonString(side.value);
    if (!side.raw.empty()) {
        json += ", \"raw\": " + JsonString(side.raw);
    }
    return json + ", \"line\": " + (side.line == 0 ? "null" : std::to_string(side.line)) + "}";
}

static void Emit(DiffOutput &out, const Difference &difference) {
    if (out.options->json) {
        printf("%s\n  {\"thread\": %zu, \"entry\": %s, \"member\": %s, \"a\": %s, \"b\": %s}",
               out.count > 0 ? "," : "", difference.thread,
               difference.entry == 0 ? "null" : std::to_string(difference.entry).c_str(),
               JsonString(difference.member).c_str(), JsonSide(difference.a).c_str(),
               JsonSide(difference.b).c_str());
    } else {
        std::string where = "thread " + std::to_string(difference.thread);
        if (difference.entry > 0) {
            where += ", entry " + std::to_string(difference.entry);
        }
        printf("%s, %s: %s | %s  (%s, %s)\n", where.c_str(), difference.member.c_str(),
               SideText(difference.a).c_str(), SideText(difference.b).c_str(),
               Place(*out.pathA, difference.a.line).c_str(),
               Place(*out.pathB, difference.b.line).c_str());
    }
    out.count++;
}

static void WriteJsonReport(const ReportInput &input) {
    printf("{\"file\": %s, \"entries\": %" PRIu64 ", \"threads\": [",
           JsonString(input.path).c_str(), input.entries);
    for (size_t t = 0; t < input.threads.size(); t++) {
        printf("%s{\"thread\": %zu, \"threadId\": \"%s\", \"entries\": %" PRIu64 "}",
               t > 0 ? ", " : "", t + 1, ThreadIdText(input.threads[t].id).c_str(),
               input.threads[t].entries);
    }
    printf("], \"problems\": ");
    WriteJsonProblems(stdout, input);
    printf("}");
}

// Ends the output; returns the exit status.
static int Finish(DiffOutput &out, const ReportInput &a, const ReportInput &b) {
    bool wellFormed = a.problemCount == 0 && b.problemCount == 0;
    if (out.page != nullptr) {
        EndHtmlPage(out.page, out.threadDifferences, out.count);
        fclose(out.page);
    }
    if (out.options->json) {
        printf("\n], \"differenceCount\": %" PRIu64 ", \"wellFormed\": %s, \"same\": %s,\n"
               " \"a\": ",
               out.count, wellFormed ? "true" : "false",
               !wellFormed      ? "null"
               : out.count == 0 ? "true"
                                : "false");
        WriteJsonReport(a);
        printf(",\n \"b\": ");
        WriteJsonReport(b);
        printf("}\n");
    } else if (out.count > 0) {
        printf("%" PRIu64 " differences\n", out.count);
    }
    if (!wellFormed) {
        SayProblems(a);
        SayProblems(b);
        return 2;
    }
    return out.count == 0 ? 0 : 1;
}

// Compares thread number t of both reports, entry by entry.
static void DiffThread(DiffOutput &out, ReportInput &a, ReportInput &b, size_t t,
                       HandleNames &namesA, HandleNames &namesB) {
    ReadEntry entryA;
    ReadEntry entryB;
    uint64_t index = 0;
    uint64_t lastLine[2] = {};
    uint64_t firstUnmatched[2] = {};
    std::vector<Difference> differences;
    for (;;) {
        bool haveA = NextThreadEntry(a, t, entryA);
        bool haveB = NextThreadEntry(b, t, entryB);
        if (!haveA && !haveB) {
            break;
        }
        index++;
        if (haveA) {
            NameEntryHandles(namesA, t, entryA);
            lastLine[0] = entryA.line;
        }
        if (haveB) {
            NameEntryHandles(namesB, t, entryB);
            lastLine[1] = entryB.line;
        }
        if (haveA != haveB && firstUnmatched[haveA ? 0 : 1] == 0) {
            firstUnmatched[haveA ? 0 : 1] = haveA ? entryA.line : entryB.line;
        }
        EntryPair pair = {t + 1,   index,  haveA ? &entryA : nullptr, haveB ? &entryB : nullptr,
                          &namesA, &namesB};
        differences.clear();
        CompareEntries(pair, out.options->strict, differences);
        for (const Difference &difference : differences) {
            Emit(out, difference);
        }
        if (out.page != nullptr) {
            WriteHtmlEntryPair(out.page, pair, differences);
        }
    }
    uint64_t countA = t < a.threads.size() ? a.threads[t].entries : 0;
    uint64_t countB = t < b.threads.size() ? b.threads[t].entries : 0;
    if (countA != countB) {
        Difference difference = {
            t + 1,
            0,
            "entries",
            {std::to_string(countA), "", firstUnmatched[0] != 0 ? firstUnmatched[0] : lastLine[0]},
            {std::to_string(countB), "", firstUnmatched[1] != 0 ? firstUnmatched[1] : lastLine[1]}};
        Emit(out, difference);
        out.threadDifferences.push_back(difference);
    }
}

int DiffReports(const std::string &pathA, const std::string &pathB, const CommandOptions &options) {
    ReportInput a;
    ReportInput b;
    if (!OpenInputOrSay(a, pathA)) {
        return 2;
    }
    if (!OpenInputOrSay(b, pathB)) {
        CloseInput(a);
        return 2;
    }
    DiffOutput out = {&options, &a.path, &b.path, nullptr, 0, {}};
    if (!options.html.empty()) {
        out.page = fopen(options.html.c_str(), "w");
        if (out.page == nullptr) {
            perror(("vantorel-report: " + options.html).c_str());
            CloseInput(a);
            CloseInput(b);
            return 2;
        }
        BeginHtmlPage(out.page, a, b);
    }
    if (options.json) {
        printf("{\"command\": \"diff\", \"strict\": %s, \"differences\": [",
               options.strict ? "true" : "false");
    }
    HandleNames namesA = {};
    HandleNames namesB = {};
    // The first thread is compared while both reports are read whole; the
    // others only once both are known to be well-formed.
    DiffThread(out, a, b, 0, namesA, namesB);
    if (a.problemCount == 0 && b.problemCount == 0) {
        for (size_t t = 1; t < a.threads.size() || t < b.threads.size(); t++) {
            DiffThread(out, a, b, t, namesA, namesB);
        }
    }
    int status = Finish(out, a, b);
    CloseInput(a);
    CloseInput(b);
    return status;
}
