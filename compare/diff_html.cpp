// The diff page: one self-contained HTML file, the two reports side by side,
// entry by entry, each differing line marked by a "≠" cell and a highlight.
// It needs no script and nothing from the network.
#include "compare/diff.h"
#include "compare/problems.h"
#include "compare/text_escape.h"
#include "files/temporary_file.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>

// The first pairs are shown whole; after them only pairs that differ, until
// this many pairs are on the page.
static const uint64_t PAIRS_ALL_SHOWN = 200;
static const uint64_t PAIRS_MAX = 1000;
static const size_t THREADS_LISTED_MAX = 100;
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
mark:empty{display:inline-block;width:2em;height:1.1em;vertical-align:-2px}
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
.lines col.n{width:4.5em}
.lines col.m{width:2.2em}
.lines td{padding:1px 8px;white-space:pre-wrap;overflow-wrap:anywhere;border-top:1px solid #eef1f4}
.lines td:nth-child(3n+1){text-align:right;color:var(--muted)}
.lines td:nth-child(3){color:var(--bad);font-weight:700;font-size:16px;line-height:1;text-align:center}
.lines th{font-size:12px;font-weight:600;color:var(--muted);text-align:left;padding:3px 8px}
tr.d td{background:var(--hi)}
tr.i td{color:#8c959f}
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

static Cell HandleCell(const std::string &label, const HandleNames &names, uint32_t handle,
                       uint64_t line) {
    DifferenceSide side = HandleSide(names, handle, line);
    return {true, line, label, side.value, side.raw};
}

static Cell HexCell(const std::string &label, uint32_t value, uint64_t line) {
    return {true, line, label, HexText(value), ""};
}

static bool Differs(const std::vector<Difference> &differences, const std::string &member) {
    for (const Difference &difference : differences) {
        if (difference.member == member) {
            return true;
        }
    }
    return false;
}

static void WriteCell(FILE *out, const Cell &cell, bool marked) {
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
    fprintf(out, "<td>%s: %s", HtmlText(cell.label).c_str(), value.c_str());
    if (!cell.raw.empty()) {
        fprintf(out, " <span class=\"raw\">(%s)</span>", cell.raw.c_str());
    }
    fputs("</td>", out);
}

// A line of the table; kind is "d" (differs), "i" (not compared), "o" (on one
// side only) or "" (the same).
static void WriteRow(FILE *out, const Cell &a, const Cell &b, const char *kind) {
    bool differs = strcmp(kind, "d") == 0;
    fprintf(out, "<tr%s%s%s>", *kind != '\0' ? " class=\"" : "", kind, *kind != '\0' ? "\"" : "");
    WriteCell(out, a, differs);
    fputs(differs ? "<td>&ne;</td>" : "<td></td>", out);
    WriteCell(out, b, differs);
    fputs("</tr>\n", out);
}

static const char TableStart[] = "<table class=\"lines\"><colgroup><col class=\"n\"><col><col "
                                 "class=\"m\"><col class=\"n\"><col></colgroup><tbody>\n";

// The entry's first lines as the page shows them, one value a line: the
// thread id; for each of window, button and edit its handle, its context and
// its memory samples; then which of them share a context.
static const int HEADER_ROWS = 14;

static Cell HeaderCell(const ReadEntry &entry, const HandleNames &names, int row) {
    if (row == 0) {
        return HexCell(REPORT_THREAD_LABEL, entry.threadId, entry.line + 1);
    }
    if (row == HEADER_ROWS - 1) {
        return {true, 0, "shared contexts", SharedContexts(entry), ""};
    }
    int n = (row - 1) / 4;
    uint64_t line = entry.line + 2 + n;
    std::string number = std::to_string(n + 1);
    switch ((row - 1) % 4) {
    case 0:
        return HandleCell(WindowLabels[n], names, entry.windows[n], line);
    case 1:
        return HandleCell("hIMC" + number, names, entry.contexts[n], line);
    case 2:
        return HexCell("dwAP" + number, entry.availPhys[n], line);
    default:
        return HexCell("dwAV" + number, entry.availVirtual[n], line);
    }
}

static void WriteHeaderLines(FILE *out, const EntryPair &pair,
                             const std::vector<Difference> &differences, bool strict) {
    fprintf(out, "%s<tr><th></th><th>A</th><th></th><th></th><th>B</th></tr>\n", TableStart);
    for (int row = 0; row < HEADER_ROWS; row++) {
        Cell a = pair.a == nullptr ? Cell{} : HeaderCell(*pair.a, *pair.namesA, row);
        Cell b = pair.b == nullptr ? Cell{} : HeaderCell(*pair.b, *pair.namesB, row);
        // Thread ids and memory samples are compared only when strict.
        bool sample = row == 0 || (row < HEADER_ROWS - 1 && (row - 1) % 4 >= 2);
        bool compared = strict || !sample;
        const char *kind = !a.present || !b.present        ? "o"
                           : !compared                     ? "i"
                           : Differs(differences, a.label) ? "d"
                                                           : "";
        WriteRow(out, a, b, kind);
    }
    fputs("</table>\n", out);
}

// Line m of block n on one side, where the block shows `lines` lines.
static Cell BlockCell(const ReadEntry *entry, const HandleNames &names, int n, int m, int lines) {
    if (m >= lines) {
        return {};
    }
    const ReadBlock &block = entry->blocks[n];
    if (!block.present) {
        return {true, block.line, BlockLabels[n], REPORT_NULL_BLOCK, ""};
    }
    std::string label = std::string(BlockLabels[n]) + "->" + BlockMembers[m].path;
    if (BlockMembers[m].kind == ValueKind::Handle) {
        return HandleCell(label, names, block.values[m], block.line + m);
    }
    return {true, block.line + m, label, MemberText(block, m), ""};
}

// A block's lines; in a block that differs, long runs of lines that are the
// same are folded, keeping a few lines around each difference. When not
// `full`, a block or a run that is the same is only named, without its lines.
static void WriteBlock(FILE *out, const EntryPair &pair, const std::vector<Difference> &differences,
                       int n, bool full) {
    std::string label = BlockLabels[n];
    int count = 0;
    for (const Difference &difference : differences) {
        if (difference.member == label || difference.member.rfind(label + "->", 0) == 0) {
            count++;
        }
    }
    // A record against "(null)" is one difference, shown on a line of its
    // own above the record's lines.
    bool recordAgainstNull = Differs(differences, label);
    const ReadEntry *entries[2] = {pair.a, pair.b};
    const HandleNames *names[2] = {pair.namesA, pair.namesB};
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
            pair.a->blocks[n].present ? "a record in A, (null) in B" : "(null) in A, a record in B";
    } else if (count > 0) {
        hint = std::to_string(count) + (count == 1 ? " difference" : " differences");
    } else if (lines[0] == 1 && lines[1] == 1) {
        hint = "(null) on both sides";
    } else {
        hint = lines[0] > 0 && lines[1] > 0 ? "the same" : "on one side only";
    }
    if (!full && count == 0) {
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
        WriteRow(out, sides[0], sides[1], "d");
    }
    int rows = std::max(lines[0], lines[1]);
    Cell cells[2][BLOCK_MEMBER_COUNT];
    const char *kinds[BLOCK_MEMBER_COUNT];
    for (int m = 0; m < rows; m++) {
        Cell &a = cells[0][m] = BlockCell(pair.a, *names[0], n, m, lines[0]);
        Cell &b = cells[1][m] = BlockCell(pair.b, *names[1], n, m, lines[1]);
        kinds[m] = !a.present || !b.present ? "o" : Differs(differences, a.label) ? "d" : "";
    }
    // Lines far from any difference can be folded; when not full, lines on
    // one side only too (the record against "(null)" line says it all).
    auto foldable = [&](int m) {
        if (*kinds[m] == 'o') {
            return !full;
        }
        for (int near = std::max(0, m - CONTEXT_LINES); near <= m + CONTEXT_LINES; near++) {
            if (near < rows && *kinds[near] == 'd') {
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
        const char *what = *kinds[m] == 'o' ? "on one side only" : "the same";
        if (run >= FOLD_MIN && !full) {
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
            WriteRow(out, cells[0][m], cells[1][m], kinds[m]);
        }
        if (run >= FOLD_MIN) {
            fprintf(out, "</table></details>\n%s", TableStart);
        }
    }
    fputs("</table></details>\n", out);
}

void WriteHtmlEntryPair(HtmlPage &page, const EntryPair &pair,
                        const std::vector<Difference> &differences) {
    bool differs = !differences.empty() || pair.a == nullptr || pair.b == nullptr;
    if (page.pairsShown >= PAIRS_MAX || (page.pairsShown >= PAIRS_ALL_SHOWN && !differs)) {
        (differs ? page.differingLeftOut : page.sameLeftOut)++;
        return;
    }
    bool full = page.pairsShown < PAIRS_ALL_SHOWN;
    page.pairsShown++;
    std::string what = pair.a == nullptr   ? "only in B"
                       : pair.b == nullptr ? "only in A"
                       : differs ? Counted(differences.size(), "difference", "differences")
                                 : "the same";
    if (differs) {
        PageLink link = {pair.thread, pair.entry, what};
        for (size_t i = 0; i < differences.size() && i < MEMBERS_PER_LINK; i++) {
            link.what += (i == 0 ? ": " : ", ") + differences[i].member;
        }
        if (differences.size() > MEMBERS_PER_LINK) {
            link.what += ", ...";
        }
        page.links.push_back(link);
    }
    FILE *out = page.body;
    fprintf(out,
            "<details class=\"pair%s\" id=\"t%zue%" PRIu64 "\"%s><summary><h2>Thread %zu &middot; "
            "entry %" PRIu64 "</h2> <span class=\"badge\">%s</span> <span class=\"where\">",
            differs ? " differ" : "", pair.thread, pair.entry, differs ? " open" : "", pair.thread,
            pair.entry, what.c_str());
    const ReadEntry *entries[2] = {pair.a, pair.b};
    for (int s = 0; s < 2; s++) {
        if (entries[s] != nullptr) {
            fprintf(out, "%s%c: ThreadID %s, line %" PRIu64,
                    s == 1 && pair.a != nullptr ? " &middot; " : "", "AB"[s],
                    HexText(entries[s]->threadId).c_str(), entries[s]->line);
        }
    }
    fputs("</span></summary>\n", out);
    WriteHeaderLines(out, pair, differences, page.strict);
    for (int n = 0; n < 3; n++) {
        WriteBlock(out, pair, differences, n, full);
    }
    fputs("</details>\n", out);
}

bool BeginHtmlPage(HtmlPage &page, const std::string &path, bool strict) {
    page = HtmlPage{};
    page.path = path;
    page.strict = strict;
    std::string error;
    page.body = OpenTemporaryFile(error);
    if (page.body == nullptr) {
        fprintf(stderr, "vantorel-report: %s: cannot make a temporary file: %s\n", path.c_str(),
                error.c_str());
        return false;
    }
    if (!BeginOutputFile(page.output, path, error)) {
        fprintf(stderr, "vantorel-report: %s: %s\n", path.c_str(), error.c_str());
        fclose(page.body);
        return false;
    }
    return true;
}

static void WriteFiles(FILE *out, const ReportInput &a, const ReportInput &b) {
    bool problems = a.problemCount > 0 || b.problemCount > 0;
    fprintf(out,
            "<table class=\"files\"><thead><tr><th></th><th>Report</th><th>Entries</th>"
            "<th>Threads</th>%s</tr></thead><tbody>\n",
            problems ? "<th>Problems</th>" : "");
    const ReportInput *inputs[2] = {&a, &b};
    for (int s = 0; s < 2; s++) {
        const ReportInput &input = *inputs[s];
        fprintf(out, "<tr><th>%c</th><td>%s</td><td>%" PRIu64 "</td><td>%zu</td>", "AB"[s],
                HtmlText(input.path).c_str(), input.entries, input.threads.size());
        if (problems) {
            fprintf(out, "<td>%s%" PRIu64 "%s</td>", input.problemCount > 0 ? "<mark>" : "",
                    input.problemCount, input.problemCount > 0 ? "</mark>" : "");
        }
        fputs("</tr>\n", out);
    }
    fputs("</table>\n", out);
}

// Threads side by side, matched by order; the thread-level differences marked.
static void WriteThreads(FILE *out, const ReportInput &a, const ReportInput &b,
                         const std::vector<Difference> &threadDifferences) {
    size_t count = std::max(a.threads.size(), b.threads.size());
    fputs("<h2>Threads</h2>\n<table class=\"threads\"><thead><tr><th>Thread</th><th>A: "
          "ThreadID</th><th>entries</th><th></th><th>B: ThreadID</th><th>entries</th></tr>"
          "</thead><tbody>\n",
          out);
    for (size_t t = 0; t < count && t < THREADS_LISTED_MAX; t++) {
        bool differs = false;
        for (const Difference &difference : threadDifferences) {
            differs = differs || difference.thread == t + 1;
        }
        fprintf(out, "<tr%s><td>%zu</td>", differs ? " class=\"d\"" : "", t + 1);
        const ReportInput *inputs[2] = {&a, &b};
        for (int s = 0; s < 2; s++) {
            if (t < inputs[s]->threads.size()) {
                const ReportThread &thread = inputs[s]->threads[t];
                fprintf(out, "<td>%s</td><td>%s%" PRIu64 "%s</td>", HexText(thread.id).c_str(),
                        differs ? "<mark>" : "", thread.entries, differs ? "</mark>" : "");
            } else {
                fprintf(out, "<td>none</td><td>%s0%s</td>", differs ? "<mark>" : "",
                        differs ? "</mark>" : "");
            }
            if (s == 0) {
                fprintf(out, "<td class=\"m\">%s</td>", differs ? "&ne;" : "");
            }
        }
        fputs("</tr>\n", out);
    }
    fputs("</table>\n", out);
    if (count > THREADS_LISTED_MAX) {
        fprintf(out, "<p class=\"note\">%zu more threads are not listed.</p>\n",
                count - THREADS_LISTED_MAX);
    }
}

static void WriteProblems(FILE *out, const ReportInput &input) {
    for (const ReadProblem &problem : input.problems) {
        fprintf(out, "<li>%s:%" PRIu64 ": %s</li>\n", HtmlText(input.path).c_str(), problem.line,
                HtmlText(problem.reason).c_str());
    }
    if (input.problemCount > input.problems.size()) {
        fprintf(out, "<li>%s: %" PRIu64 " more problems</li>\n", HtmlText(input.path).c_str(),
                input.problemCount - input.problems.size());
    }
}

static void WriteSummary(FILE *out, const HtmlPage &page, const ReportInput &a,
                         const ReportInput &b, const std::vector<Difference> &threadDifferences,
                         uint64_t differenceCount) {
    bool wellFormed = a.problemCount == 0 && b.problemCount == 0;
    std::string verdict = !wellFormed ? "malformed"
                          : differenceCount == 0
                              ? "the same"
                              : Counted(differenceCount, "difference", "differences");
    fprintf(out,
            "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width\">\n"
            "<title>%s | %s: %s</title>\n<style>%s</style></head><body>\n"
            "<header><h1>Two reports compared <span class=\"verdict%s\">%s</span></h1></header>\n"
            "<main>\n",
            HtmlText(a.path).c_str(), HtmlText(b.path).c_str(), verdict.c_str(), Style,
            wellFormed && differenceCount == 0 ? " same" : "", verdict.c_str());
    WriteFiles(out, a, b);
    if (!wellFormed) {
        fputs("<h2>Problems</h2>\n<p class=\"note\">The first thread was compared; the others "
              "are compared only when both reports are well-formed.</p>\n<ul class=\"problems\">\n",
              out);
        WriteProblems(out, a);
        WriteProblems(out, b);
        fputs("</ul>\n", out);
    }
    WriteThreads(out, a, b, threadDifferences);
    if (!page.links.empty()) {
        fputs("<h2>Entries that differ</h2>\n<ol class=\"links\">\n", out);
        for (const PageLink &link : page.links) {
            fprintf(out,
                    "<li><a href=\"#t%zue%" PRIu64 "\">Thread %zu, entry %" PRIu64 "</a> "
                    "<span class=\"muted\">%s</span></li>\n",
                    link.thread, link.entry, link.thread, link.entry, HtmlText(link.what).c_str());
        }
        fputs("</ol>\n", out);
    }
    if (page.differingLeftOut > 0) {
        fprintf(out, "<p class=\"note\">%s not shown on this page.</p>\n",
                Counted(page.differingLeftOut, "more entry that differs is",
                        "more entries that differ are")
                    .c_str());
    }
    fprintf(out,
            "<p class=\"note\">Threads are matched by the order of their first entry, entries by "
            "their index within their thread. Handles are compared by name, given per report in "
            "order of first appearance (T1.window; T1.C1 for a context of thread 1, T1.H1 for "
            "another handle), "
            "with the real value beside. Lines marked &ne; differ; %s</p>\n<section "
            "id=\"entries\">\n",
            page.strict ? "thread ids and memory samples are compared too."
                        : "thread ids and memory samples (grey) are not compared.");
}

static bool CopyBody(FILE *out, FILE *body) {
    if (fflush(body) != 0 || fseek(body, 0, SEEK_SET) != 0) {
        return false;
    }
    char buffer[1 << 16];
    size_t size;
    while ((size = fread(buffer, 1, sizeof buffer, body)) > 0) {
        if (fwrite(buffer, 1, size, out) != size) {
            return false;
        }
    }
    return !ferror(body);
}

bool EndHtmlPage(HtmlPage &page, const ReportInput &a, const ReportInput &b,
                 const std::vector<Difference> &threadDifferences, uint64_t differenceCount) {
    FILE *out = OutputStream(page.output);
    WriteSummary(out, page, a, b, threadDifferences, differenceCount);
    bool written = CopyBody(out, page.body);
    fputs("</section>\n", out);
    uint64_t leftOut = page.differingLeftOut + page.sameLeftOut;
    if (leftOut > 0) {
        fprintf(out,
                "<p class=\"left-out\">%s left out to keep the page small: %" PRIu64
                " that differ, %" PRIu64 " the same. After the first %" PRIu64
                " pairs, only those that differ are shown, with only the lines around their "
                "differences, %" PRIu64 " pairs at most; <code>vantorel-report diff</code> "
                "lists every difference.</p>\n",
                Counted(leftOut, "more entry pair was", "more entry pairs were").c_str(),
                page.differingLeftOut, page.sameLeftOut, PAIRS_ALL_SHOWN, PAIRS_MAX);
    }
    fputs("</main></body></html>\n", out);
    fclose(page.body);
    std::string error;
    if (!written) {
        AbandonOutputFile(page.output);
        fprintf(stderr, "vantorel-report: %s: cannot write the page\n", page.path.c_str());
    } else if (!CommitOutputFile(page.output, error)) {
        written = false;
        fprintf(stderr, "vantorel-report: %s: cannot write the page: %s\n", page.path.c_str(),
                error.c_str());
    }
    return written;
}
