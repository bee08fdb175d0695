// vantorel-report's command line: argument lists and the options or usage
// error each gives.
#include "report_tool/command_line.h"

#include <gtest/gtest.h>

namespace {

// What a command line asks for, in one line.
std::string Asked(const CommandLine &line) {
    if (!line.error.empty()) {
        return "error: " + line.error;
    }
    static const char *const Commands[] = {"none", "check", "summary", "diff"};
    std::string text = Commands[static_cast<int>(line.command)];
    for (const std::string &report : line.reports) {
        text += " " + report;
    }
    text += "; runs " + std::to_string(line.runs[0]) + "," + std::to_string(line.runs[1]);
    for (size_t t : line.threadsOfB) {
        text += " b" + std::to_string(t + 1);
    }
    text += line.pageAsked ? "; page " + line.page : "";
    text += line.known.empty() ? "" : "; known " + line.known;
    text += line.writeKnown.empty() ? "" : "; write " + line.writeKnown;
    text += line.codePage != 0 ? "; cp " + std::to_string(line.codePage) : "";
    text += std::string(line.json ? "; json" : "") + (line.strict ? "; strict" : "") +
            (line.everyEntry ? "; every" : "") + (line.help ? "; help" : "") +
            (line.version ? "; version" : "");
    return text;
}

TEST(CommandLine, OptionsAndErrors) {
    const std::string withDiff =
        "error: --strict, --html, --match-threads, --runs, --every-entry, --known and "
        "--write-known go with diff";
    const std::string runsError =
        "error: --runs takes a run of A and one of B, e.g. 1,3, or one for both";
    const std::string threadsError = "error: --match-threads takes thread numbers of B, e.g. 2,1";
    const struct {
        std::vector<std::string> arguments;
        std::string asked;
    } cases[] = {
        {{"check", "a", "b"}, "check a b; runs 0,0"},
        {{"--json", "summary", "-"}, "summary -; runs 0,0; json"},
        {{"--runs", "2", "--strict", "diff", "a", "b"}, "diff a b; runs 2,2; strict"},
        {{"--runs=1,3", "diff", "a", "b", "--every-entry"}, "diff a b; runs 1,3; every"},
        {{"--runs", "123456", "diff", "a", "b"}, "diff a b; runs 123456,123456"},
        {{"diff", "--match-threads", "2", "a", "b"}, "diff a b; runs 0,0 b2"},
        {{"--match-threads=2,1", "diff", "a", "b"}, "diff a b; runs 0,0 b2 b1"},
        {{"diff", "--html", "p.html", "a", "b"}, "diff a b; runs 0,0; page p.html"},
        {{"--html=diff", "diff", "a", "b"}, "diff a b; runs 0,0; page diff"},
        {{"diff", "--", "--a", "-"}, "diff --a -; runs 0,0"},
        {{"--known", "k", "diff", "a", "b", "--write-known=k"},
         "diff a b; runs 0,0; known k; write k"},
        {{"--known", "-", "diff", "-", "b"}, "error: standard input (-) can be read only once"},
        {{"--write-known", "-", "diff", "a", "b"},
         "error: --write-known needs FILE: it is replaced once whole"},
        {{"--known", "diff", "a", "b"}, "error: --known needs FILE"},
        {{"--known", "k", "summary", "a"}, withDiff},
        {{"--code-page", "1252", "summary", "a"}, "summary a; runs 0,0; cp 1252"},
        {{"--help", "diff", "a"}, "none; runs 0,0; help"},
        {{"check", "--version"}, "none; runs 0,0; version"},
        {{}, "error: no command"},
        {{"compare", "a"}, "error: unknown command compare"},
        {{"--color", "check", "a"}, "error: unknown option --color"},
        {{"check"}, "error: check takes one report or more, got 0"},
        {{"summary", "a", "b"}, "error: summary takes 1 report, got 2"},
        {{"diff", "a"}, "error: diff takes 2 reports, got 1"},
        {{"--strict", "check", "a"}, withDiff},
        {{"--runs", "1", "summary", "a"}, withDiff},
        {{"diff", "a", "b", "--runs"}, "error: --runs needs A[,B], e.g. 2 or 1,3"},
        {{"--runs", "0", "diff", "a", "b"}, runsError},
        {{"--runs", "1,", "diff", "a", "b"}, runsError},
        {{"--runs", "1234567", "diff", "a", "b"}, runsError},
        {{"--match-threads", "1,1", "diff", "a", "b"},
         "error: --match-threads: thread 1 is named twice"},
        {{"--match-threads", "x", "diff", "a", "b"}, threadsError},
        {{"--match-threads", "2,", "diff", "a", "b"}, threadsError},
        {{"--html", "diff", "a", "b"}, "error: --html needs FILE"},
        {{"--html=", "diff", "a", "b"}, "error: --html needs FILE"},
        {{"--html", "-", "diff", "a", "b"},
         "error: --html needs FILE: the page does not go to standard output"},
        {{"--code-page", "x", "summary", "a"},
         "error: --code-page takes the number of the report's ANSI code page, e.g. 932"},
        {{"summary", "a", "--code-page"}, "error: --code-page needs a number, e.g. 932"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Asked(ParseCommandLine(c.arguments)), c.asked);
    }
    EXPECT_EQ(
        ParseCommandLine({"--code-page", "99999", "summary", "a"}).error.rfind("--code-page: ", 0),
        0u);
}

} // namespace
