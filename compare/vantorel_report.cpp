// vantorel-report: checks, summarises and compares the tool's reports.
#include "compare/commands.h"
#include "files/program_entry.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#define VANTOREL_REPORT_VERSION "1.0.0"

static const char Usage[] =
    "usage: vantorel-report [--json] check REPORT...\n"
    "       vantorel-report [--json] summary REPORT\n"
    "       vantorel-report [--json] [--strict] [--html FILE] [--match-threads LIST]\n"
    "                       diff A B\n"
    "       vantorel-report --help | --version\n";

static const char Help[] =
    "\n"
    "Checks, summarises and compares the reports (Vantorel.txt) that the input\n"
    "context capture tool writes.\n"
    "\n"
    "  check REPORT...  Is every entry whole and well-formed? Prints the entries\n"
    "                   per thread, and each problem as file:line: reason.\n"
    "  summary REPORT   One table per thread: which of window, button and edit\n"
    "                   share a context, the values the key members take, the\n"
    "                   range of the memory samples.\n"
    "  diff A B         The IMM facts that differ. Threads are matched by the\n"
    "                   order of their first entry, entries by their index within\n"
    "                   their thread; handles are compared by symbolic name,\n"
    "                   given per report in order of first appearance, thread by\n"
    "                   thread, in the thread where they first appear: T1.window,\n"
    "                   T1.button, T1.edit; T1.C1... for contexts; T1.H1... for\n"
    "                   other handles.\n"
    "\n"
    "  --json           Write JSON instead of text.\n"
    "  --strict         diff: compare thread ids and memory samples too.\n"
    "  --html FILE      diff: also write the two reports side by side to FILE.\n"
    "  --match-threads LIST\n"
    "                   diff: match A's threads 1, 2... with these threads of B,\n"
    "                   e.g. 2,1 when the threads' first entries came in the\n"
    "                   other order in B.\n"
    "\n"
    "Reports may end their lines in CR LF or LF. Exit status: 0 well-formed (check)\n"
    "or the same (diff), 1 problems (check) or differences (diff), 2 trouble: a\n"
    "report that cannot be read, or a malformed one for summary and diff.\n";

// "2,1": B's threads to match with A's threads 1, 2...
static bool ParseThreadList(const std::string &text, std::vector<size_t> &threads) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        std::string number = text.substr(start, end == std::string::npos ? end : end - start);
        if (number.empty() || number.size() > 6 ||
            number.find_first_not_of("0123456789") != std::string::npos ||
            std::stoul(number) == 0) {
            return false;
        }
        threads.push_back(std::stoul(number) - 1);
        start = end == std::string::npos ? text.size() + 1 : end + 1;
    }
    return true;
}

static int UsageError(const std::string &message) {
    fprintf(stderr, "vantorel-report: %s\n%s", message.c_str(), Usage);
    return 2;
}

int RunReportTool(const std::vector<std::string> &arguments) {
    CommandOptions options = {};
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); i++) {
        std::string word = arguments[i];
        if (optionsEnded || word.empty() || word[0] != '-' || word == "-") {
            words.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            printf("%s%s", Usage, Help);
            return 0;
        } else if (word == "--version") {
            printf("vantorel-report " VANTOREL_REPORT_VERSION "\n");
            return 0;
        } else if (word == "--json") {
            options.json = true;
        } else if (word == "--strict") {
            options.strict = true;
        } else if (word == "--html" && i + 1 < arguments.size()) {
            options.html = arguments[++i];
        } else if (word.rfind("--html=", 0) == 0) {
            options.html = word.substr(7);
        } else if (word == "--match-threads" || word.rfind("--match-threads=", 0) == 0) {
            std::string list = word.size() > 15           ? word.substr(16)
                               : i + 1 < arguments.size() ? arguments[++i]
                                                          : "";
            if (!ParseThreadList(list, options.threadsOfB)) {
                return UsageError("--match-threads takes thread numbers of B, e.g. 2,1");
            }
        } else {
            return UsageError("unknown option " + word);
        }
    }
    if (words.empty()) {
        return UsageError("no command");
    }
    std::string command = words[0];
    std::vector<std::string> reports(words.begin() + 1, words.end());
    if ((options.strict || !options.html.empty() || !options.threadsOfB.empty()) &&
        command != "diff") {
        return UsageError("--strict, --html and --match-threads go with diff");
    }
    if (command == "check" && !reports.empty()) {
        return CheckReports(reports, options);
    }
    if (command == "summary" && reports.size() == 1) {
        return SummarizeReport(reports[0], options);
    }
    if (command == "diff" && reports.size() == 2) {
        return DiffReports(reports[0], reports[1], options);
    }
    if (command != "check" && command != "summary" && command != "diff") {
        return UsageError("unknown command " + command);
    }
    return UsageError("wrong number of reports for " + command);
}
