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

DifferenceSide HandleSide(const HandleNames &names, uint32_t handle, uint64_t line) {
    DifferenceSide side = {HandleName(names, handle), "", line};
    char raw[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Handle, handle, raw);
    if (side.value != raw) {
        side.raw = raw;
    }
    return side;
}

DifferenceSide HexSide(uint32_t value, uint64_t line) {
    return {HexText(value), "", line};
}

// Two handles stand for the same thing when their names are the same; a
// handle left unnamed is compared by its value.
static bool SameHandle(const EntryPair &pair, uint32_t a, uint32_t b) {
    const std::string *nameA = FindHandleName(*pair.namesA, a);
    const std::string *nameB = FindHandleName(*pair.namesB, b);
    if (nameA != nullptr && nameB != nullptr) {
        return *nameA == *nameB;
    }
    return nameA == nullptr && nameB == nullptr && a == b;
}

// The strings of a difference are made only once one is found: most facts
// are the same, and a diff of large reports compares millions of them.
static Difference HandleDifference(const EntryPair &pair, const std::string &member, uint32_t a,
                                   uint64_t lineA, uint32_t b, uint64_t lineB) {
    return {pair.thread, pair.entry, member, HandleSide(*pair.namesA, a, lineA),
            HandleSide(*pair.namesB, b, lineB)};
}

static void AddHex(const EntryPair &pair, const std::string &member, uint32_t a, uint64_t lineA,
                   uint32_t b, uint64_t lineB, std::vector<Difference> &differences) {
    if (a != b) {
        differences.push_back(
            {pair.thread, pair.entry, member, HexSide(a, lineA), HexSide(b, lineB)});
    }
}

static bool IsTextMember(const std::string &member) {
    for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
        if (BlockMembers[m].kind == ValueKind::Text &&
            member.size() > strlen(BlockMembers[m].path) &&
            member.compare(member.size() - strlen(BlockMembers[m].path), std::string::npos,
                           BlockMembers[m].path) == 0) {
            return true;
        }
    }
    return false;
}

static std::string MemberName(int n, int m) {
    return std::string(BlockLabels[n]) + "->" + BlockMembers[m].path;
}

static void CompareBlocks(const EntryPair &pair, int n, std::vector<Difference> &differences) {
    const ReadBlock &a = pair.a->blocks[n];
    const ReadBlock &b = pair.b->blocks[n];
    if (a.present != b.present) {
        differences.push_back({pair.thread,
                               pair.entry,
                               BlockLabels[n],
                               {a.present ? "record" : REPORT_NULL_BLOCK, "", a.line},
                               {b.present ? "record" : REPORT_NULL_BLOCK, "", b.line}});
        return;
    }
    if (!a.present) {
        return;
    }
    for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
        ValueKind kind = BlockMembers[m].kind;
        if (kind == ValueKind::Handle) {
            if (!SameHandle(pair, a.values[m], b.values[m])) {
                differences.push_back(HandleDifference(pair, MemberName(n, m), a.values[m],
                                                       a.line + m, b.values[m], b.line + m));
            }
        } else if (kind == ValueKind::Text ? strcmp(a.faceName, b.faceName) != 0
                                           : a.values[m] != b.values[m]) {
            differences.push_back({pair.thread,
                                   pair.entry,
                                   MemberName(n, m),
                                   {MemberText(a, m), "", a.line + m},
                                   {MemberText(b, m), "", b.line + m}});
        }
    }
}

void CompareEntries(const EntryPair &pair, bool strict, std::vector<Difference> &differences) {
    if (pair.a == nullptr || pair.b == nullptr) {
        return;
    }
    const ReadEntry &a = *pair.a;
    const ReadEntry &b = *pair.b;
    if (strict) {
        AddHex(pair, REPORT_THREAD_LABEL, a.threadId, a.line + 1, b.threadId, b.line + 1,
               differences);
    }
    if (!SameSharing(a, b)) {
        differences.push_back({pair.thread,
                               pair.entry,
                               "shared contexts",
                               {SharedContexts(a), "", a.line + 2},
                               {SharedContexts(b), "", b.line + 2}});
    }
    static const char *const Contexts[3] = {"hIMC1", "hIMC2", "hIMC3"};
    static const char *const AvailPhys[3] = {"dwAP1", "dwAP2", "dwAP3"};
    static const char *const AvailVirtual[3] = {"dwAV1", "dwAV2", "dwAV3"};
    for (int n = 0; n < 3; n++) {
        uint64_t lineA = a.line + 2 + n;
        uint64_t lineB = b.line + 2 + n;
        if (!SameHandle(pair, a.windows[n], b.windows[n])) {
            differences.push_back(
                HandleDifference(pair, WindowLabels[n], a.windows[n], lineA, b.windows[n], lineB));
        }
        if (!SameHandle(pair, a.contexts[n], b.contexts[n])) {
            differences.push_back(
                HandleDifference(pair, Contexts[n], a.contexts[n], lineA, b.contexts[n], lineB));
        }
        if (strict) {
            AddHex(pair, AvailPhys[n], a.availPhys[n], lineA, b.availPhys[n], lineB, differences);
            AddHex(pair, AvailVirtual[n], a.availVirtual[n], lineA, b.availVirtual[n], lineB,
                   differences);
        }
    }
    for (int n = 0; n < 3; n++) {
        CompareBlocks(pair, n, differences);
    }
}

struct DiffOutput {
    const CommandOptions *options;
    const std::string *pathA;
    const std::string *pathB;
    HtmlPage *page; // null when no page is asked for
    uint64_t count;
    std::vector<Difference> threadDifferences; // for the page's end
};

// A face name is quoted, so that an empty one or one with blanks shows.
static std::string SideText(const Difference &difference, const DifferenceSide &side) {
    std::string text = side.value;
    if (IsTextMember(difference.member)) {
        text = "\"" + text + "\"";
    }
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
               SideText(difference, difference.a).c_str(),
               SideText(difference, difference.b).c_str(),
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
               t > 0 ? ", " : "", t + 1, HexText(input.threads[t].id).c_str(),
               input.threads[t].entries);
    }
    printf("], \"problems\": ");
    WriteJsonProblems(stdout, input);
    printf("}");
}

// Ends the output; returns the exit status.
static int Finish(DiffOutput &out, const ReportInput &a, const ReportInput &b) {
    bool wellFormed = a.problemCount == 0 && b.problemCount == 0;
    bool pageWritten =
        out.page == nullptr || EndHtmlPage(*out.page, a, b, out.threadDifferences, out.count);
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
        printf("%s\n", Counted(out.count, "difference", "differences").c_str());
    }
    if (!wellFormed) {
        SayProblems(a);
        SayProblems(b);
        return 2;
    }
    if (!pageWritten) {
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
        // Past a problem the entries no longer line up: what follows would
        // be noise.
        if ((!haveA && !haveB) || a.problemCount > 0 || b.problemCount > 0) {
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
            WriteHtmlEntryPair(*out.page, pair, differences);
        }
    }
    uint64_t countA = t < a.threads.size() ? a.threads[t].entries : 0;
    uint64_t countB = t < b.threads.size() ? b.threads[t].entries : 0;
    if (countA != countB && a.problemCount == 0 && b.problemCount == 0) {
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
    HtmlPage page = {};
    if (!options.html.empty()) {
        if (!BeginHtmlPage(page, options.html, options.strict)) {
            CloseInput(a);
            CloseInput(b);
            return 2;
        }
        out.page = &page;
    }
    if (options.json) {
        printf("{\"command\": \"diff\", \"strict\": %s, \"differences\": [",
               options.strict ? "true" : "false");
    }
    std::string error;
    if (!options.threadsOfB.empty() && !ReorderThreads(b, options.threadsOfB, error) &&
        b.problemCount == 0) {
        fprintf(stderr, "vantorel-report: %s: --match-threads: %s\n", b.path.c_str(),
                error.c_str());
        CloseInput(a);
        CloseInput(b);
        return 2;
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
