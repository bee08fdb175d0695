// The diff page: one self-contained HTML file, the two reports side by side,
// entry by entry, each differing line marked by a "≠" cell and a highlight.
// It needs no script and nothing from the network. It shows the pairs of
// entries the comparison kept for it, so its size is bounded whatever the
// reports' size.
#include "render/page.h"
#include "render/escape.h"
#include "render/values.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>

static const size_t MEMBERS_PER_LINK = 4;
// Lines kept around a difference in a block; shorter runs are not folded.
static const int CONTEXT_LINES = 2;
static const int FOLD_MIN = 4;

static const char Style[] = R"(
:root{--fg:#1f2328;--muted:#656d76;--line:#d8dee4;--soft:#f6f8fa;--hi:#fff5c4;--mark:#ffd33d;
--bad:#cf222e;--ok:#1a7f37;--head:#1c2330}
*{box-sizing:border-box}
body{margin:0;color:var(--fg);background:#fff;
font:15px/1.45 system-ui,"Segoe UI",Roboto,"DejaVu Sans",Arial,sans-serif}
header{background:var(--head);color:#fff;padding:14px 28px}
header h1{margin:0;font-size:21px;font-weight:600}
.verdict{display:inline-block;margin-left:8px;padding:1px 12px;border-radius:99px;
font-size:15px;vertical-align:2px;background:var(--bad);color:#fff}
.verdict.same{background:var(--ok)}
main{padding:8px 28px 40px}
h2{font-size:17px;margin:22px 0 8px}
code,.files td,.threads td,.lines td{font-family:"DejaVu Sans Mono",Menlo,Consolas,monospace;
font-size:13px}
table{border-collapse:collapse}
.files th,.files td,.threads th,.threads td{padding:4px 14px;border-bottom:1px solid var(--line);
text-align:left}
.files thead th,.threads thead th{color:var(--muted);font-weight:600;font-size:13px}
mark{background:var(--mark);color:inherit;border-radius:3px;padding:0 2px}
.k mark{background:#ddf4ff}
.m{color:var(--bad);font-weight:700;font-size:16px;text-align:center}
.note,.muted,.raw{color:var(--muted)}
.note{font-size:13px;max-width:60em}
.links{padding:4px 0 4px 3em;margin:0;max-height:19em;overflow:auto;border:1px solid var(--line);
border-radius:8px;max-width:70em}
.links li{margin:3px 0}
a{color:#0969da;text-decoration:none}
a:hover{text-decoration:underline}
.problems li{font-family:"DejaVu Sans Mono",Menlo,Consolas,monospace;font-size:13px}
details.pair{border:1px solid var(--line);border-radius:8px;margin:10px 0;overflow:hidden}
details.pair>summary{padding:7px 14px;background:var(--soft);cursor:pointer}
details.pair[open]>summary{border-bottom:1px solid var(--line)}
details.differ>summary{box-shadow:inset 4px 0 var(--bad)}
summary h2{display:inline;font-size:15px;margin:0 8px 0 4px}
.badge{display:inline-block;padding:0 9px;border-radius:99px;font-size:13px;background:#dafbe1;
color:var(--ok);margin-right:8px}
.differ .badge{background:#ffebe9;color:var(--bad)}
.where{font-size:13px;color:var(--muted)}
details.block>summary,div.block{padding:3px 14px;font-size:13px;font-weight:600;background:var(--soft);
border-top:1px solid var(--line);cursor:pointer}
.hint{font-weight:400;color:var(--muted);margin-left:4px}
.lines{width:100%;table-layout:fixed}
.lines col.n{width:6.2em}
.lines col.m{width:2.2em}
.lines td{padding:1px 8px;white-space:pre-wrap;overflow-wrap:break-word;border-top:1px solid #eef1f4}
.lines td:nth-child(3n+1){text-align:right;color:var(--muted)}
.lines td:nth-child(3){color:var(--bad);font-weight:700;font-size:16px;line-height:1;text-align:center}
.lines th{font-size:12px;font-weight:600;color:var(--muted);text-align:left;padding:3px 8px}
tr.d td{background:var(--hi)}
tr.k td{background:#f0f7ff}
tr.i td,tr.o td.i{color:#8c959f}
details.fold>summary{padding:1px 8px 1px 5.2em;font-size:12px;color:var(--muted);
background:#f3f7fb;cursor:pointer;border-top:1px solid #eef1f4}
tr.f td{font-size:12px;color:var(--muted);background:#f3f7fb}
td.x{background:repeating-linear-gradient(-45deg,#fff,#fff 4px,#f0f2f4 4px,#f0f2f4 8px)}
.left-out{margin-top:18px;padding:10px 14px;background:var(--soft);border-radius:8px}
)";

// One side of a line of the page: a line of a report, or nothing there.
struct Cell {
    bool present;
    uint64_t line; // 0: a fact shown with no line of its own
    std::string label;
    std::string value;
    std::string raw; // a handle's real value beside its name
};

// What a line of the table is: it differs, differs as the known-differences
// file says it may, is not compared, is on one side only, or is the same.
enum class RowKind { Differs, Known, NotCompared, OneSide, Same };

static const char *RowClass(RowKind kind) {
    switch (kind) {
    case RowKind::Differs:
        return " class=\"d\"";
    case RowKind::Known:
        return " class=\"d k\"";
    case RowKind::NotCompared:
        return " class=\"i\"";
    case RowKind::OneSide:
        return " class=\"o\"";
    case RowKind::Same:
        break;
    }
    return "";
}

// What the page draws on, besides the pairs: the result and how face names
// are decoded.
struct Page {
    const DiffResult &result;
    const PageSample &sample;
    int codePage;
};

// A value's cell: a face name quoted, a handle's real value or a flag
// word's names beside it in grey.
static Cell ValueCell(const Page &page, const std::string &label, ValueKind kind, uint32_t value,
                      const char *faceName, const HandleNames &names, uint64_t line,
                      int member = -1) {
    ShownValue shown = ShowValue(kind, member, value, faceName, names, page.codePage);
    if (shown.faceName) {
        return {true, line, label, '"' + shown.text + '"', ""};
    }
    return {true, line, label, shown.text,
            shown.raw.empty() ? JoinedNames(shown.names) : shown.raw};
}

// Same, Differs, or Known when a known line accepts the difference.
static RowKind DifferenceKind(const PagePair &pair, const Fact &fact) {
    for (size_t i = 0; i < pair.facts.size(); i++) {
        if (pair.facts[i] == fact) {
            return pair.known[i] != 0 ? RowKind::Known : RowKind::Differs;
        }
    }
    return RowKind::Same;
}

static RowKind RowKindOf(const Page &page, const PagePair &pair, const Cell &a, const Cell &b,
                         const Fact &fact) {
    if (!a.present || !b.present) {
        return RowKind::OneSide;
    }
    if (ComparedOnlyWhenStrict(fact) && !page.result.options.strict) {
        return RowKind::NotCompared;
    }
    return DifferenceKind(pair, fact);
}

static void WriteCell(FILE *out, const Cell &cell, bool marked, bool compared) {
    if (!cell.present) {
        fputs("<td></td><td class=\"x\"></td>", out);
        return;
    }
    if (cell.line == 0) {
        fputs("<td></td>", out);
    } else {
        fprintf(out, "<td>%" PRIu64 "</td>", cell.line);
    }
    std::string value = HtmlText(cell.value);
    if (marked) {
        value = "<mark>" + value + "</mark>";
    }
    fprintf(out, "<td%s>%s: %s", compared ? "" : " class=\"i\"", HtmlText(cell.label).c_str(),
            value.c_str());
    if (!cell.raw.empty()) {
        fprintf(out, " <span class=\"raw\">(%s)</span>", cell.raw.c_str());
    }
    fputs("</td>", out);
}

static void WriteRow(FILE *out, const Cell &a, const Cell &b, RowKind kind, bool compared) {
    bool differs = kind == RowKind::Differs || kind == RowKind::Known;
    fprintf(out, "<tr%s>", RowClass(kind));
    WriteCell(out, a, differs, compared);
    fputs(kind == RowKind::Known ? "<td>known</td>" : differs ? "<td>&ne;</td>" : "<td></td>", out);
    WriteCell(out, b, differs, compared);
    fputs("</tr>\n", out);
}

static const char TableStart[] = "<table class=\"lines\"><colgroup><col class=\"n\"><col><col "
                                 "class=\"m\"><col class=\"n\"><col></colgroup><tbody>\n";

// The entry's first lines as the page shows them, one value a line, then
// which of window, button and edit share a context.
static Cell HeaderCell(const Page &page, const ReadEntry &entry, const HandleNames &names, int h) {
    if (h == HEADER_FIELD_COUNT) {
        return {true, 0, "shared contexts", SharingText(SharingOf(entry)), ""};
    }
    const HeaderField &field = HeaderFields[h];
    return ValueCell(page, field.label, field.kind, entry.header[h], nullptr, names,
                     entry.line + 1 + static_cast<uint64_t>(field.line));
}

static void WriteHeaderLines(FILE *out, const Page &page, const PagePair &pair) {
    const DiffResult &result = page.result;
    fprintf(out, "%s<tr><th></th><th>A</th><th></th><th></th><th>B</th></tr>\n", TableStart);
    for (int h = 0; h <= HEADER_FIELD_COUNT; h++) {
        Cell a = pair.hasA ? HeaderCell(page, pair.a, result.namesA, h) : Cell{};
        Cell b = pair.hasB ? HeaderCell(page, pair.b, result.namesB, h) : Cell{};
        Fact fact = h == HEADER_FIELD_COUNT ? Fact{FactKind::Sharing, 0, 0}
                                            : Fact{FactKind::Header, 0, static_cast<uint8_t>(h)};
        WriteRow(out, a, b, RowKindOf(page, pair, a, b, fact),
                 result.options.strict || !ComparedOnlyWhenStrict(fact));
    }
    fputs("</table>\n", out);
}

// Line m of block n on one side, where the block shows `lines` lines.
static Cell BlockCell(const Page &page, const ReadEntry &entry, bool has, const HandleNames &names,
                      int n, int m, int lines) {
    if (!has || m >= lines) {
        return {};
    }
    const ReadBlock &block = entry.blocks[n];
    if (!block.present) {
        return {true, block.line, BlockLabels[n], REPORT_NULL_BLOCK, ""};
    }
    return ValueCell(page, std::string(BlockLabels[n]) + "->" + BlockMembers[m].path,
                     BlockMembers[m].kind, block.values[m], block.faceName, names,
                     block.line + static_cast<uint64_t>(m), m);
}

// A block's lines; in a block that differs, long runs of lines that are the
// same are folded, keeping a few lines around each difference. When the pair
// is not shown whole, a block or a run that is the same is only named.
static void WriteBlock(FILE *out, const Page &page, const PagePair &pair, int n) {
    const DiffResult &result = page.result;
    std::string label = BlockLabels[n];
    int count = 0;
    for (const Fact &fact : pair.facts) {
        count +=
            (fact.kind == FactKind::Record || fact.kind == FactKind::Member) && fact.block == n;
    }
    // A record against "(null)" is one difference, shown on a line of its
    // own above the record's lines.
    const Fact record = {FactKind::Record, static_cast<uint8_t>(n), 0};
    bool recordAgainstNull = DifferenceKind(pair, record) != RowKind::Same;
    const ReadEntry *entries[2] = {pair.hasA ? &pair.a : nullptr, pair.hasB ? &pair.b : nullptr};
    int lines[2];
    for (int s = 0; s < 2; s++) {
        lines[s] = entries[s] == nullptr           ? 0
                   : entries[s]->blocks[n].present ? BLOCK_MEMBER_COUNT
                   : recordAgainstNull             ? 0
                                                   : 1;
    }
    std::string hint;
    if (recordAgainstNull) {
        hint =
            pair.a.blocks[n].present ? "a record in A, (null) in B" : "(null) in A, a record in B";
    } else if (count > 0) {
        hint = Counted(static_cast<uint64_t>(count), "difference", "differences");
    } else if (lines[0] == 1 && lines[1] == 1) {
        hint = "(null) on both sides";
    } else {
        hint = lines[0] > 0 && lines[1] > 0 ? "the same" : "on one side only";
    }
    if (!pair.whole && count == 0) {
        fprintf(out, "<div class=\"block\">%s <span class=\"hint\">%s</span></div>\n",
                label.c_str(), HtmlText(hint).c_str());
        return;
    }
    fprintf(out,
            "<details class=\"block\"%s><summary>%s <span class=\"hint\">%s</span></summary>\n%s",
            count > 0 ? " open" : "", label.c_str(), HtmlText(hint).c_str(), TableStart);
    if (recordAgainstNull) {
        Cell sides[2];
        for (int s = 0; s < 2; s++) {
            const ReadBlock &block = entries[s]->blocks[n];
            sides[s] = {true, block.present ? 0 : block.line, label,
                        block.present ? "record" : REPORT_NULL_BLOCK, ""};
        }
        WriteRow(out, sides[0], sides[1], DifferenceKind(pair, record), true);
    }
    int rows = std::max(lines[0], lines[1]);
    Cell cells[2][BLOCK_MEMBER_COUNT];
    RowKind kinds[BLOCK_MEMBER_COUNT];
    for (int m = 0; m < rows; m++) {
        Cell &a = cells[0][m] = BlockCell(page, pair.a, pair.hasA, result.namesA, n, m, lines[0]);
        Cell &b = cells[1][m] = BlockCell(page, pair.b, pair.hasB, result.namesB, n, m, lines[1]);
        kinds[m] = RowKindOf(page, pair, a, b,
                             {FactKind::Member, static_cast<uint8_t>(n), static_cast<uint8_t>(m)});
    }
    // Lines far from any difference can be folded; when not whole, lines on
    // one side only too (the record against "(null)" line says it all).
    auto foldable = [&](int m) {
        if (kinds[m] == RowKind::OneSide) {
            return !pair.whole;
        }
        for (int near = std::max(0, m - CONTEXT_LINES); near <= m + CONTEXT_LINES; near++) {
            if (near < rows && (kinds[near] == RowKind::Differs || kinds[near] == RowKind::Known)) {
                return false;
            }
        }
        return count > 0;
    };
    for (int m = 0; m < rows;) {
        int run = 0;
        while (m + run < rows && foldable(m + run) && kinds[m + run] == kinds[m]) {
            run++;
        }
        const char *what = kinds[m] == RowKind::OneSide ? "on one side only" : "the same";
        if (run >= FOLD_MIN && !pair.whole) {
            fprintf(out, "<tr class=\"f\"><td></td><td colspan=\"4\">%d lines %s</td></tr>\n", run,
                    what);
            m += run;
            continue;
        }
        if (run >= FOLD_MIN) {
            fprintf(out, "</table><details class=\"fold\"><summary>%d lines %s</summary>\n%s", run,
                    what, TableStart);
        }
        for (int end = m + std::max(run, 1); m < end; m++) {
            WriteRow(out, cells[0][m], cells[1][m], kinds[m], true);
        }
        if (run >= FOLD_MIN) {
            fprintf(out, "</table></details>\n%s", TableStart);
        }
    }
    fputs("</table></details>\n", out);
}

// What a pair holds, in short: "only in B", "2 differences: pic1->fOpen, ...".
static std::string PairWhat(const PagePair &pair, bool members) {
    if (!pair.hasA || !pair.hasB) {
        return pair.hasA ? "only in A" : "only in B";
    }
    if (pair.facts.empty()) {
        return "the same";
    }
    std::string what = Counted(pair.facts.size(), "difference", "differences");
    for (size_t i = 0; members && i < pair.facts.size() && i < MEMBERS_PER_LINK; i++) {
        what += (i == 0 ? ": " : ", ") + FactName(pair.facts[i]);
    }
    if (members && pair.facts.size() > MEMBERS_PER_LINK) {
        what += ", ...";
    }
    return what;
}

static void WritePair(FILE *out, const Page &page, const PagePair &pair) {
    bool differs = PairDiffers(pair);
    fprintf(out,
            "<details class=\"pair%s\" id=\"t%zue%" PRIu64 "\"%s><summary><h2>Thread %zu &middot; "
            "entry %" PRIu64 "</h2> <span class=\"badge\">%s</span> <span class=\"where\">",
            differs ? " differ" : "", pair.row, pair.entry, differs ? " open" : "", pair.row,
            pair.entry, PairWhat(pair, false).c_str());
    const ReadEntry *entries[2] = {pair.hasA ? &pair.a : nullptr, pair.hasB ? &pair.b : nullptr};
    for (int s = 0; s < 2; s++) {
        if (entries[s] != nullptr) {
            fprintf(out, "%s%c: ThreadID %s, line %" PRIu64,
                    s == 1 && pair.hasA ? " &middot; " : "", "AB"[s],
                    HexText(entries[s]->header[THREAD_ID_FIELD]).c_str(), entries[s]->line);
        }
    }
    fputs("</span></summary>\n", out);
    WriteHeaderLines(out, page, pair);
    for (int n = 0; n < 3; n++) {
        WriteBlock(out, page, pair, n);
    }
    fputs("</details>\n", out);
}

static void WriteFiles(FILE *out, const DiffResult &result) {
    const ReportFacts *reports[2] = {&result.a, &result.b};
    bool problems = !IsWellFormed(result.a) || !IsWellFormed(result.b);
    fprintf(out,
            "<table class=\"files\"><thead><tr><th></th><th>Report</th><th>Entries</th>"
            "<th>Threads</th>%s</tr></thead><tbody>\n",
            problems ? "<th>Problems</th>" : "");
    for (int s = 0; s < 2; s++) {
        const ReportFacts &facts = *reports[s];
        fprintf(out, "<tr><th>%c</th><td>%s</td><td>%" PRIu64 "</td><td>%zu</td>", "AB"[s],
                HtmlText(facts.path).c_str(), facts.entries, facts.threads.size());
        if (problems) {
            bool bad = !IsWellFormed(facts);
            fprintf(out, "<td>%s%s%s</td>", bad ? "<mark>" : "",
                    facts.readable ? std::to_string(facts.problemCount).c_str() : "unreadable",
                    bad ? "</mark>" : "");
        }
        fputs("</tr>\n", out);
    }
    fputs("</table>\n", out);
}

// The rows of threads, with the differences each pair of threads holds and a
// link to its first pair on the page (a run has two threads at most).
static void WriteThreads(FILE *out, const Page &page) {
    const DiffResult &result = page.result;
    fputs("<h2>Threads</h2>\n<table class=\"threads\"><thead><tr><th>Thread</th><th>A: "
          "ThreadID</th><th>entries</th><th></th><th>B: ThreadID</th><th>entries</th>"
          "<th>differences</th></tr></thead><tbody>\n",
          out);
    for (size_t t = 0; t < result.rows.size(); t++) {
        const ThreadPair &row = result.rows[t];
        bool differs = row.differences > 0;
        uint64_t counts[2] = {row.a == NO_THREAD ? 0 : result.a.threads[row.a].entries,
                              row.b == NO_THREAD ? 0 : result.b.threads[row.b].entries};
        bool entriesDiffer = counts[0] != counts[1];
        fprintf(out, "<tr%s><td>%zu</td>", differs ? " class=\"d\"" : "", t + 1);
        const ReportFacts *reports[2] = {&result.a, &result.b};
        const size_t sides[2] = {row.a, row.b};
        for (int s = 0; s < 2; s++) {
            if (sides[s] != NO_THREAD) {
                const ReportThread &thread = reports[s]->threads[sides[s]];
                fprintf(out, "<td>%s</td><td>%s%" PRIu64 "%s</td>", HexText(thread.id).c_str(),
                        entriesDiffer ? "<mark>" : "", thread.entries,
                        entriesDiffer ? "</mark>" : "");
            } else {
                fprintf(out, "<td>none</td><td>%s</td>", entriesDiffer ? "<mark>0</mark>" : "0");
            }
            if (s == 0) {
                fprintf(out, "<td class=\"m\">%s</td>", differs ? "&ne;" : "");
            }
        }
        std::string cell = row.compared == Compared::Not      ? "not compared"
                           : row.compared == Compared::Partly ? "compared in part: "
                                                              : "";
        if (row.compared != Compared::Not) {
            cell += std::to_string(row.differences);
        }
        for (const PagePair &pair : page.sample.pairs) {
            if (pair.row == t + 1 && PairDiffers(pair)) {
                cell = "<a href=\"#t" + std::to_string(pair.row) + "e" +
                       std::to_string(pair.entry) + "\">" + cell + "</a>";
                break;
            }
        }
        fprintf(out, "<td>%s</td></tr>\n", cell.c_str());
    }
    fputs("</table>\n", out);
}

static void WriteProblems(FILE *out, const ReportFacts &facts) {
    if (!facts.readable) {
        fprintf(out, "<li>%s: %s</li>\n", HtmlText(facts.path).c_str(),
                HtmlText(facts.failure).c_str());
    }
    for (const ReadProblem &problem : facts.problems) {
        fprintf(out, "<li>%s:%" PRIu64 ": %s</li>\n", HtmlText(facts.path).c_str(), problem.line,
                HtmlText(problem.reason).c_str());
    }
    if (facts.problemCount > facts.problems.size()) {
        fprintf(out, "<li>%s: %s</li>\n", HtmlText(facts.path).c_str(),
                Counted(facts.problemCount - facts.problems.size(), "more problem", "more problems")
                    .c_str());
    }
}

static const char *VerdictText(const DiffResult &result, std::string &count) {
    switch (result.verdict) {
    case DiffVerdict::Same:
        return "the same";
    case DiffVerdict::Different:
        count = result.options.known.state == nullptr
                    ? Counted(result.differenceCount, "difference", "differences")
                : result.differenceCount > result.knownCount
                    ? Counted(result.differenceCount - result.knownCount, "new difference",
                              "new differences")
                    : "known lines no longer differ";
        return count.c_str();
    case DiffVerdict::Partial:
        return "malformed";
    case DiffVerdict::Trouble:
        break;
    }
    return "not compared";
}

// With --known: how many differences are new and known, and the known
// lines that no longer differ.
static void WriteKnownCounts(FILE *out, const DiffResult &result) {
    if (result.options.known.state == nullptr) {
        return;
    }
    fprintf(out, "<p class=\"known\">%s; %s, as %s says; %s of it no longer %s.</p>\n",
            Counted(result.differenceCount - result.knownCount, "new difference", "new differences")
                .c_str(),
            Counted(result.knownCount, "known difference", "known differences").c_str(),
            HtmlText(result.options.knownFile).c_str(),
            Counted(result.noLongerDiffer.size(), "line", "lines").c_str(),
            result.noLongerDiffer.size() == 1 ? "differs" : "differ");
    if (result.noLongerDiffer.empty()) {
        return;
    }
    fputs("<ul class=\"problems\">\n", out);
    for (const KnownLineLeft &left : result.noLongerDiffer) {
        fprintf(out, "<li>%s: no longer differs: <code>%s</code></li>\n",
                HtmlText(Place(result.options.knownFile, left.line)).c_str(),
                HtmlText(left.text).c_str());
    }
    fputs("</ul>\n", out);
}

static void WriteProblemList(FILE *out, const DiffResult &result) {
    std::vector<std::string> notCompared = NotComparedTexts(result);
    if (result.verdict != DiffVerdict::Partial && result.verdict != DiffVerdict::Trouble &&
        notCompared.empty()) {
        return;
    }
    fputs("<h2>Problems</h2>\n", out);
    for (const std::string &text : notCompared) {
        fprintf(out, "<p class=\"note\">Not compared: %s.</p>\n", HtmlText(text).c_str());
    }
    fputs("<ul class=\"problems\">\n", out);
    if (!result.failure.empty()) {
        fprintf(out, "<li>%s</li>\n", HtmlText(result.failure).c_str());
    }
    WriteProblems(out, result.a);
    WriteProblems(out, result.b);
    fputs("</ul>\n", out);
}

static void WriteLinks(FILE *out, const PageSample &sample) {
    bool anyDiffers = false;
    for (const PagePair &pair : sample.pairs) {
        if (!PairDiffers(pair)) {
            continue;
        }
        if (!anyDiffers) {
            fputs("<h2>Entries that differ</h2>\n<ol class=\"links\">\n", out);
            anyDiffers = true;
        }
        fprintf(out,
                "<li><a href=\"#t%zue%" PRIu64 "\">Thread %zu, entry %" PRIu64 "</a> "
                "<span class=\"muted\">%s</span></li>\n",
                pair.row, pair.entry, pair.row, pair.entry, HtmlText(PairWhat(pair, true)).c_str());
    }
    if (anyDiffers) {
        fputs("</ol>\n", out);
    }
    if (sample.leftOut[0] > 0) {
        fprintf(
            out, "<p class=\"note\">%s not shown on this page.</p>\n",
            Counted(sample.leftOut[0], "more entry that differs is", "more entries that differ are")
                .c_str());
    }
}

void WritePage(FILE *out, const DiffResult &result, const PageSample &sample, int codePage) {
    Page page = {result, sample, codePage};
    std::string count;
    const char *verdict = VerdictText(result, count);
    fprintf(out,
            "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width\">\n"
            "<title>%s | %s: %s</title>\n<style>%s</style></head><body>\n"
            "<header><h1>Two reports compared <span class=\"verdict%s\">%s</span></h1></header>\n"
            "<main>\n",
            HtmlText(result.a.path).c_str(), HtmlText(result.b.path).c_str(),
            HtmlText(verdict).c_str(), Style, result.verdict == DiffVerdict::Same ? " same" : "",
            HtmlText(verdict).c_str());
    WriteFiles(out, result);
    WriteKnownCounts(out, result);
    WriteProblemList(out, result);
    WriteThreads(out, page);
    WriteLinks(out, sample);
    std::string pairing = result.pairing == Pairing::Asked
                              ? "Threads are paired as asked (the table above)"
                          : result.pairing == Pairing::Content
                              ? "Threads are paired by content, as fewer facts differ so in their "
                                "first entries (the table above)"
                              : "Threads are paired by the order of their first entry";
    if (result.a.runs.size() > 1 || result.b.runs.size() > 1) {
        pairing = "Run " + std::to_string(result.runA + 1) + " of " +
                  std::to_string(result.a.runs.size()) + " of A is compared with run " +
                  std::to_string(result.runB + 1) + " of " + std::to_string(result.b.runs.size()) +
                  " of B. " + pairing;
    }
    fprintf(out,
            "<p class=\"note\">%s, entries by their index within their thread. Handles are "
            "compared by name, given per report in order of first appearance (T1.window; T1.C1 "
            "for a context of thread 1, T1.H1 for another handle), with the real value beside. "
            "Lines marked &ne; differ; %s</p>\n<section id=\"entries\">\n",
            HtmlText(pairing).c_str(),
            result.options.strict ? "thread ids and memory samples are compared too."
                                  : "thread ids and memory samples (grey) are not compared.");
    for (const PagePair &pair : sample.pairs) {
        WritePair(out, page, pair);
    }
    fputs("</section>\n", out);
    uint64_t leftOut = sample.leftOut[0] + sample.leftOut[1];
    if (leftOut > 0) {
        fprintf(out,
                "<p class=\"left-out\">%s left out to keep the page small: %" PRIu64
                " that differ, %" PRIu64 " the same. The first pairs are shown whole, then the "
                "first pair that differs in each thread and other pairs that differ, with only "
                "the lines around their differences; <code>vantorel-report diff</code> lists "
                "every difference.</p>\n",
                Counted(leftOut, "more entry pair was", "more entry pairs were").c_str(),
                sample.leftOut[0], sample.leftOut[1]);
    }
    fputs("</main></body></html>\n", out);
}
