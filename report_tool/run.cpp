#include "report_tool/run.h"
#include "compare/diff.h"
#include "compare/summary.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/standard_output.h"
#include "index/entry_spill.h"
#include "known/known_check.h"
#include "known/known_writer.h"
#include "render/json.h"
#include "render/page.h"
#include "render/text.h"
#include "report_tool/command_line.h"

#include <cstdio>
#include <thread>
#include <tuple>

#ifndef VANTOREL_VERSION
#error "VANTOREL_VERSION comes from the project's version"
#endif

static const char Usage[] =
    "usage: vantorel-report [--json] check REPORT...\n"
    "       vantorel-report [--json] summary REPORT\n"
    "       vantorel-report [--json] [--strict] [--every-entry] [--html FILE]\n"
    "                       [--runs A[,B]] [--match-threads LIST]\n"
    "                       [--known FILE] [--write-known FILE] diff A B\n"
    "       vantorel-report --help | --version\n";

static const char Help[] =
    "\n"
    "Checks, summarises and compares the reports (Vantorel.txt) that the input\n"
    "context capture tool writes. A REPORT is a file, or - for standard input;\n"
    "pipes and <(...) work too.\n"
    "\n"
    "A report may hold several runs of the tool, as it appends to one file. A run\n"
    "has two threads, each with its window; an entry whose thread or window fits\n"
    "neither of the run's two starts the next run. Within a thread, entry 1 is\n"
    "its window's creation, then one entry per press of its button.\n"
    "\n"
    "  check REPORT...  Is every entry whole and well-formed? Prints the runs and\n"
    "                   threads with their entries, and each problem as\n"
    "                   file:line: reason. Exit 0 all well-formed, 1 problems\n"
    "                   found, 2 a report cannot be read.\n"
    "  summary REPORT   One table per thread: which of window, button and edit\n"
    "                   share a context, the values the key members take (flag\n"
    "                   words with their names) and in which entries, the range\n"
    "                   of the memory samples. Exit 0, or 2 when the report\n"
    "                   cannot be read or is malformed.\n"
    "  diff A B         The IMM facts that differ between one run of each, by\n"
    "                   default the last. A line is a fact that differs in the\n"
    "                   same way in one or more entries of a thread:\n"
    "                     thread T, entries 1-4 of 4, FACT: A's value | B's value\n"
    "                       (what changed, for flag words)  (first at A:line, B:line)\n"
    "                   Threads are paired by the order of their first entry or,\n"
    "                   with two on each side, the way fewer facts differ in their\n"
    "                   first entries (said when that is not the order); entries\n"
    "                   by their number within their thread. Handles are compared\n"
    "                   by symbolic name, given per report in order of first\n"
    "                   appearance, in the thread where they first appear:\n"
    "                   T1.window, T1.button, T1.edit; T1.C1... for contexts;\n"
    "                   T1.H1... for other handles; the real value follows in\n"
    "                   brackets. An entry with a bad value is not compared; an\n"
    "                   entry cut short stops the comparison of its thread. What\n"
    "                   was not compared is said at the end. Exit 0 the same,\n"
    "                   1 different, 2 trouble (a report that cannot be read or is\n"
    "                   malformed, a page not written).\n"
    "\n"
    "  --json           Write JSON instead of text; one whole document whatever\n"
    "                   the exit status.\n"
    "  --code-page N    summary, diff: the ANSI code page the reports were written\n"
    "                   in (932, 936, 949, 950, 1252...), so that face names show\n"
    "                   as text. Without it a byte above 0x7F shows as \\xNN.\n"
    "  --strict         diff: compare thread ids and memory samples too.\n"
    "  --every-entry    diff: one line per entry and fact that differs, as found\n"
    "                   (the grouped lines stop at 1,000).\n"
    "  --runs A[,B]     diff: compare run A of the first report with run B of the\n"
    "                   second (one number: that run of both).\n"
    "  --match-threads LIST\n"
    "                   diff: pair A's threads 1, 2... with these threads of B,\n"
    "                   e.g. 2,1; threads not named follow in order, so 2 alone\n"
    "                   means 2,1.\n"
    "  --html FILE      diff: also write the two reports side by side to FILE,\n"
    "                   one self-contained page. It replaces FILE only once whole,\n"
    "                   and refuses to name one of the reports. It shows the first\n"
    "                   10 pairs of entries whole, the first pair that differs in\n"
    "                   each thread and 200 more that differ, shared out among\n"
    "                   the threads.\n"
    "  --known FILE     diff: the differences FILE accepts are known, the others\n"
    "                   new. FILE has one difference a line, as diff prints a\n"
    "                   group without entries and lines:\n"
    "                     thread 2, hIMC3: T2.C1 | T2.C2\n"
    "                   * for any value on its side (thread * for any thread),\n"
    "                   \"entries 3-5, \" after the thread to accept only those,\n"
    "                   # for comments. New differences are listed, then the\n"
    "                   count of known ones, then each line of FILE that accepts\n"
    "                   none as FILE:line: no longer differs. Exit 0 when every\n"
    "                   difference is known and every line still accepts one,\n"
    "                   else 1; a line that means nothing is FILE:line: reason,\n"
    "                   exit 2.\n"
    "  --write-known FILE\n"
    "                   diff: write the new differences to FILE as known ones\n"
    "                   (with --known, after the lines and comments that still\n"
    "                   hold), replacing it only once whole; thread ids and\n"
    "                   memory samples as * | *. Not written unless the reports\n"
    "                   were compared whole. SOURCE_DATE_EPOCH sets its date.\n"
    "\n"
    "Reports may end their lines in CR LF or LF; a byte-order mark at the start\n"
    "and blank lines at the end, as editors leave them, are passed over with a\n"
    "note. Problems and notes go to stderr as file:line: reason, after the output.\n";

// The output first, whole; then what went wrong, so that the two stay in
// order when they go to one place. A failed write is trouble.
static int Finish(int status, const std::vector<const ReportFacts *> &troubled,
                  std::vector<std::string> messages) {
    std::string error;
    if (!FinishStandardOutput(error)) {
        messages.push_back(error);
        status = 2;
    }
    for (const ReportFacts *facts : troubled) {
        WriteTrouble(stderr, *facts);
    }
    for (const std::string &message : messages) {
        fprintf(stderr, "vantorel-report: %s\n", message.c_str());
    }
    return status;
}

static int UsageError(const CommandLine &line) {
    if (line.json) {
        WriteUsageErrorJson(stdout, line.error);
    }
    std::string error;
    bool written = FinishStandardOutput(error);
    fprintf(stderr, "vantorel-report: %s\n%s", line.error.c_str(), Usage);
    if (!written) {
        fprintf(stderr, "vantorel-report: %s\n", error.c_str());
    }
    return 2;
}

static int Check(const CommandLine &line) {
    std::vector<ReportFacts> reports;
    for (const std::string &path : line.reports) {
        reports.push_back(IndexReport(path, ReadFor::Facts).facts);
    }
    (line.json ? WriteCheckJson : WriteCheckText)(stdout, reports);
    int status = 0;
    std::vector<const ReportFacts *> troubled;
    for (const ReportFacts &facts : reports) {
        status = !facts.readable ? 2 : facts.problemCount > 0 && status == 0 ? 1 : status;
        troubled.push_back(&facts);
    }
    return Finish(status, troubled, {});
}

static int Summary(const CommandLine &line) {
    SummaryResult result = SummarizeReport(line.reports[0]);
    (line.json ? WriteSummaryJson : WriteSummaryText)(stdout, result, line.codePage);
    return Finish(IsWellFormed(result.report) ? 0 : 2, {&result.report}, {});
}

// The page, unless a report could not be read: an older page there is kept.
static FileOutcome WritePageFile(const std::string &path, const DiffResult &result,
                                 const PageSample &sample, int codePage) {
    FileOutcome outcome = {true, path, false, "not written, as a report cannot be read"};
    PendingOutput output;
    if (result.a.readable && result.b.readable &&
        BeginOutputFile(output.file, path, outcome.error)) {
        WritePage(OutputStream(output.file), result, sample, codePage);
        outcome.written = CommitOutputFile(output.file, outcome.error);
    }
    return outcome;
}

// Whether a file diff writes is one of the reports, by identity.
static bool IsAReport(const std::string &path, const IndexedReport (&reports)[2]) {
    for (const IndexedReport &report : reports) {
        if (report.file != nullptr && IsSameFile(path, report.file.get())) {
            return true;
        }
    }
    return false;
}

// The known differences, unless the reports could not be compared whole:
// lines of what was not compared would be lost.
static FileOutcome WriteKnown(const CommandLine &line, const DiffResult &result,
                              const KnownWriter &writer, const KnownFile *old) {
    FileOutcome outcome = {true, line.writeKnown, false,
                           "not written, as the reports were not compared whole"};
    if (result.verdict == DiffVerdict::Same || result.verdict == DiffVerdict::Different) {
        outcome.written = WriteKnownFile(line.writeKnown, result, writer, old, outcome.error);
    }
    return outcome;
}

// A known-differences file that cannot be read, as trouble.
static int KnownTrouble(const CommandLine &line, const std::string &error) {
    if (line.json) {
        WriteUsageErrorJson(stdout, error);
    }
    fprintf(stderr, "%s\n", error.c_str());
    return Finish(2, {}, {});
}

static int Diff(const CommandLine &line) {
    if (IsOnePipe(line.reports[0], line.reports[1])) {
        fprintf(stderr, "vantorel-report: %s is named twice, and a pipe can be read only once\n",
                line.reports[0].c_str());
        return 2;
    }
    KnownMatching matching = {{}, line.codePage, {}};
    std::string error;
    if (!line.known.empty() && !ReadKnownFile(line.known, matching.file, error)) {
        return KnownTrouble(line, error);
    }
    // The two reports are indexed at once, each on a core of its own, their
    // whole entries kept to be compared without reading the text again.
    IndexedReport reports[2];
    auto index = [&](int side) {
        EntrySpill spill;
        EntryWatcher watcher = SpillWatcher(spill);
        reports[side] = IndexReport(line.reports[side], ReadFor::Diff, &watcher);
        FinishSpill(spill);
        reports[side].spill = std::move(spill);
    };
    std::thread indexingB(index, 1);
    index(0);
    indexingB.join();
    for (const auto &[asked, option, path] :
         {std::tuple{line.pageAsked, "--html", line.page},
          std::tuple{!line.writeKnown.empty(), "--write-known", line.writeKnown}}) {
        if (asked && IsAReport(path, reports)) {
            fprintf(stderr,
                    "vantorel-report: %s %s is one of the reports, which it would replace\n",
                    option, path.c_str());
            return 2;
        }
    }
    DiffOptions options = {line.strict, line.threadsOfB, {line.runs[0], line.runs[1]}};
    if (!line.known.empty()) {
        options.known = KnownMatchingCheck(matching);
        options.knownFile = line.known;
    }
    KnownWriter writer = {line.codePage, {}};
    TextDiff text = {stdout, line.everyEntry, line.codePage, 0};
    JsonDiff json = {StartJson(stdout), line.codePage};
    PageSample sample = {};
    std::vector<DiffSink> sinks = {line.json ? JsonDiffSink(json) : TextDiffSink(text)};
    if (line.pageAsked) {
        sinks.push_back(PageSampleSink(sample));
    }
    if (!line.writeKnown.empty()) {
        sinks.push_back(KnownWriterSink(writer));
    }
    DiffResult result = DiffReports(reports[0], reports[1], options, sinks);
    FileOutcome page = {};
    if (line.pageAsked) {
        page = WritePageFile(line.page, result, sample, line.codePage);
    }
    FileOutcome known = {};
    if (!line.writeKnown.empty()) {
        known = WriteKnown(line, result, writer, line.known.empty() ? nullptr : &matching.file);
    }
    if (line.json) {
        EndJsonDiff(json, result, page, known);
    } else {
        EndTextDiff(text, result);
    }
    std::vector<std::string> messages;
    if (!result.failure.empty()) {
        messages.push_back(result.failure);
    }
    bool written = true;
    for (const FileOutcome *outcome : {&page, &known}) {
        if (outcome->asked && !outcome->written) {
            messages.push_back(outcome->path + ": " + outcome->error);
            written = false;
        }
    }
    int status = result.verdict == DiffVerdict::Same        ? 0
                 : result.verdict == DiffVerdict::Different ? 1
                                                            : 2;
    return Finish(written ? status : 2, {&result.a, &result.b}, messages);
}

int RunReportTool(const std::vector<std::string> &arguments) {
    CommandLine line = ParseCommandLine(arguments);
    if (!line.error.empty()) {
        return UsageError(line);
    }
    if (line.help || line.version) {
        fputs(line.help ? (std::string(Usage) + Help).c_str()
                        : "vantorel-report " VANTOREL_VERSION "\n",
              stdout);
        return Finish(0, {}, {});
    }
    switch (line.command) {
    case Command::Check:
        return Check(line);
    case Command::Summary:
        return Summary(line);
    default:
        return Diff(line);
    }
}
