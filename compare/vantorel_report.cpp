// vantorel-report: checks, summarises and compares the tool's reports. Each
// command computes its whole result first, then one renderer writes it; the
// exit status and the output's shape are known before the first byte.
#include "compare/commands.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/program_entry.h"
#include "files/standard_output.h"
#include "render/renderer.h"
#include "text/face_name_text.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#define VANTOREL_REPORT_VERSION "1.1.0"

static const char Usage[] =
    "usage: vantorel-report [--json] check REPORT...\n"
    "       vantorel-report [--json] summary REPORT\n"
    "       vantorel-report [--json] [--strict] [--every-entry] [--html FILE]\n"
    "                       [--runs A[,B]] [--match-threads LIST] diff A B\n"
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
    "                   brackets. Comparing stops at the first problem of either\n"
    "                   report, and says what was not compared. Exit 0 the same,\n"
    "                   1 different, 2 trouble (a report that cannot be read or is\n"
    "                   malformed, a page not written).\n"
    "\n"
    "  --json           Write JSON instead of text; one whole document whatever\n"
    "                   the exit status.\n"
    "  --code-page N    summary, diff: the ANSI code page the reports were written\n"
    "                   in (932, 936, 949, 950, 1252...), so that face names show\n"
    "                   as text. Without it a byte above 0x7F shows as \\xNN.\n"
    "  --strict         diff: compare thread ids and memory samples too.\n"
    "  --every-entry    diff: one line per entry and fact that differs.\n"
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
    "                   each thread and 200 more that differ.\n"
    "\n"
    "Reports may end their lines in CR LF or LF; a byte-order mark at the start\n"
    "and blank lines at the end, as editors leave them, are passed over with a\n"
    "note. Problems and notes go to stderr as file:line: reason, after the output.\n";

static int UsageError(const std::string &message) {
    fprintf(stderr, "vantorel-report: %s\n%s", message.c_str(), Usage);
    return 2;
}

// "2,1": B's threads to pair with A's threads 1, 2...; empty on a bad list.
static std::string ParseThreadList(const std::string &text, std::vector<size_t> &threads) {
    threads.clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find(',', start), text.size());
        std::string number = text.substr(start, end - start);
        if (number.empty() || number.size() > 6 ||
            number.find_first_not_of("0123456789") != std::string::npos ||
            std::stoul(number) == 0) {
            return "--match-threads takes thread numbers of B, e.g. 2,1";
        }
        size_t thread = std::stoul(number) - 1;
        if (std::find(threads.begin(), threads.end(), thread) != threads.end()) {
            return "--match-threads: thread " + number + " is named twice";
        }
        threads.push_back(thread);
        start = end + 1;
    }
    return "";
}

// "2" or "1,3": the runs to compare, of A and of B.
static bool ParseRuns(const std::string &text, size_t (&runs)[2]) {
    size_t comma = text.find(',');
    std::string numbers[2] = {text.substr(0, comma), comma == std::string::npos
                                                         ? text.substr(0, comma)
                                                         : text.substr(comma + 1)};
    for (int s = 0; s < 2; s++) {
        if (numbers[s].empty() || numbers[s].size() > 6 ||
            numbers[s].find_first_not_of("0123456789") != std::string::npos ||
            std::stoul(numbers[s]) == 0) {
            return false;
        }
        runs[s] = std::stoul(numbers[s]);
    }
    return true;
}

struct Options {
    bool json;
    bool strict;
    bool pageAsked;
    std::string page;
    std::vector<size_t> threadsOfB;
    size_t runs[2]; // 1-based; 0 for the last
    bool everyEntry;
    int codePage;                   // of the face names, 0 when not given
    std::vector<std::string> words; // the command and its reports
};

static bool IsCommand(const std::string &word) {
    return word == "check" || word == "summary" || word == "diff";
}

// Whether an argument is an option taking a value, as "--name VALUE" or
// "--name=VALUE"; Missing when nothing follows "--name".
enum class OptionWord { Not, Missing, Given };

static OptionWord ValueOf(const std::vector<std::string> &arguments, size_t &i, const char *name,
                          std::string &value, bool &inWord) {
    const std::string &word = arguments[i];
    std::string joined = std::string(name) + "=";
    inWord = word.rfind(joined, 0) == 0;
    if (inWord) {
        value = word.substr(joined.size());
        return OptionWord::Given;
    }
    if (word != name) {
        return OptionWord::Not;
    }
    if (i + 1 >= arguments.size()) {
        return OptionWord::Missing;
    }
    value = arguments[++i];
    return OptionWord::Given;
}

// Reads the arguments; on a usage error returns its message.
static std::string ParseOptions(const std::vector<std::string> &arguments, Options &options,
                                bool &help, bool &version) {
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); i++) {
        const std::string &word = arguments[i];
        std::string value;
        bool inWord;
        OptionWord option;
        if (optionsEnded || word.empty() || word[0] != '-' || word == "-") {
            options.words.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            help = true;
        } else if (word == "--version") {
            version = true;
        } else if (word == "--json") {
            options.json = true;
        } else if (word == "--strict") {
            options.strict = true;
        } else if (word == "--every-entry") {
            options.everyEntry = true;
        } else if ((option = ValueOf(arguments, i, "--code-page", value, inWord)) !=
                   OptionWord::Not) {
            if (option == OptionWord::Missing) {
                return "--code-page needs a number, e.g. 932";
            }
            std::string error;
            if (value.empty() || value.size() > 5 ||
                value.find_first_not_of("0123456789") != std::string::npos) {
                return "--code-page takes the number of the report's ANSI code page, e.g. 932";
            }
            options.codePage = std::stoi(value);
            if (!CanDecode(options.codePage, error)) {
                return "--code-page: " + error;
            }
        } else if ((option = ValueOf(arguments, i, "--runs", value, inWord)) != OptionWord::Not) {
            if (option == OptionWord::Missing) {
                return "--runs needs A[,B], e.g. 2 or 1,3";
            }
            if (!ParseRuns(value, options.runs)) {
                return "--runs takes a run of A and one of B, e.g. 1,3, or one for both";
            }
        } else if ((option = ValueOf(arguments, i, "--html", value, inWord)) != OptionWord::Not) {
            options.page = value;
            options.pageAsked = true;
            if (option == OptionWord::Missing || value.empty() || (!inWord && IsCommand(value))) {
                return "--html needs FILE";
            }
            if (value == "-") {
                return "--html needs FILE: the page does not go to standard output";
            }
        } else if ((option = ValueOf(arguments, i, "--match-threads", value, inWord)) !=
                   OptionWord::Not) {
            if (option == OptionWord::Missing) {
                return "--match-threads needs LIST, e.g. 2,1";
            }
            std::string error = ParseThreadList(value, options.threadsOfB);
            if (!error.empty()) {
                return error;
            }
        } else {
            return "unknown option " + word;
        }
    }
    return "";
}

// Whether the page would overwrite one of the reports, by identity, not by name.
static bool PageIsAReport(const std::string &page, const std::vector<std::string> &reports) {
    for (const std::string &path : reports) {
        std::string error;
        FILE *file = path == "-" ? nullptr : OpenInputFile(path, false, error);
        bool same = file != nullptr && IsSameFile(page, file);
        if (file != nullptr) {
            fclose(file);
        }
        if (same) {
            return true;
        }
    }
    return false;
}

// The page, unless a report could not be read: an older page there is kept.
static void WritePageFile(DiffResult &result, const std::string &path) {
    result.pagePath = path;
    OutputFile output;
    std::string error = "not written, as a report cannot be read";
    if (result.a.readable && result.b.readable && BeginOutputFile(output, path, error)) {
        WritePage(OutputStream(output), result);
        result.pageWritten = CommitOutputFile(output, error);
    }
    if (!result.pageWritten) {
        result.pageError = error;
    }
}

static int RunCommand(const Options &options, const std::string &command,
                      const std::vector<std::string> &reports) {
    const Renderer &renderer = options.json ? JsonRenderer : TextRenderer;
    std::vector<const ReportFacts *> troubled;
    std::vector<std::string> messages;
    int status;
    CheckResult check;
    SummaryResult summary;
    DiffResult diff;
    if (command == "check") {
        check = CheckReports(reports);
        renderer.check(stdout, check);
        status = CheckStatus(check);
        for (const ReportFacts &facts : check.reports) {
            troubled.push_back(&facts);
        }
    } else if (command == "summary") {
        summary = SummarizeReport(reports[0], options.codePage);
        renderer.summary(stdout, summary);
        status = SummaryStatus(summary);
        troubled.push_back(&summary.report);
    } else {
        diff = DiffReports(reports[0], reports[1],
                           {options.strict,
                            options.pageAsked,
                            options.threadsOfB,
                            {options.runs[0], options.runs[1]},
                            options.codePage});
        diff.everyEntry = options.everyEntry;
        if (options.pageAsked) {
            WritePageFile(diff, options.page);
        }
        renderer.diff(stdout, diff);
        status = DiffStatus(diff);
        troubled = {&diff.a, &diff.b};
        if (!diff.failure.empty()) {
            messages.push_back(diff.failure);
        }
        if (options.pageAsked && !diff.pageWritten) {
            messages.push_back(options.page + ": " + diff.pageError);
        }
    }
    // The output first, whole; then what went wrong, so that the two stay in
    // order when they go to one place.
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

int RunReportTool(const std::vector<std::string> &arguments) {
    Options options = {};
    bool help = false;
    bool version = false;
    std::string error = ParseOptions(arguments, options, help, version);
    if (!error.empty()) {
        return UsageError(error);
    }
    if (help || version) {
        printf("%s", help ? (std::string(Usage) + Help).c_str()
                          : "vantorel-report " VANTOREL_REPORT_VERSION "\n");
        return FinishStandardOutput(error) ? 0 : 2;
    }
    if (options.words.empty()) {
        return UsageError("no command");
    }
    std::string command = options.words[0];
    std::vector<std::string> reports(options.words.begin() + 1, options.words.end());
    if (!IsCommand(command)) {
        return UsageError("unknown command " + command);
    }
    if ((options.strict || options.pageAsked || !options.threadsOfB.empty() || options.runs[0] ||
         options.everyEntry) &&
        command != "diff") {
        return UsageError(
            "--strict, --html, --match-threads, --runs and --every-entry go with diff");
    }
    size_t wanted = command == "diff" ? 2 : 1;
    if (command == "check" ? reports.empty() : reports.size() != wanted) {
        return UsageError(command + " takes " +
                          (command == "check"
                               ? std::string("one report or more")
                               : std::to_string(wanted) + " report" + (wanted > 1 ? "s" : "")) +
                          ", got " + std::to_string(reports.size()));
    }
    if (std::count(reports.begin(), reports.end(), "-") > 1) {
        return UsageError("standard input (-) can be read only once");
    }
    if (options.pageAsked && PageIsAReport(options.page, reports)) {
        fprintf(stderr,
                "vantorel-report: --html %s is one of the reports, which it would replace\n",
                options.page.c_str());
        return 2;
    }
    return RunCommand(options, command, reports);
}
