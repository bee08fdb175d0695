// vantorel-report's command line: argument lists and the options or usage
// error each gives.
#include "report_tool/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, Options) {
    const struct {
        std::vector<std::string> arguments;
        Command command;
        std::vector<std::string> reports;
        size_t runs[2];
        std::vector<size_t> threadsOfB;
        std::string page;
        int codePage;
    } cases[] = {
        {{"check", "a", "b"}, Command::Check, {"a", "b"}, {0, 0}, {}, "", 0},
        {{"summary", "-"}, Command::Summary, {"-"}, {0, 0}, {}, "", 0},
        {{"--runs", "2", "diff", "a", "b"}, Command::Diff, {"a", "b"}, {2, 2}, {}, "", 0},
        {{"--runs=1,3", "diff", "a", "b"}, Command::Diff, {"a", "b"}, {1, 3}, {}, "", 0},
        {{"diff", "--match-threads", "2", "a", "b"}, Command::Diff, {"a", "b"}, {0, 0}, {1}, "", 0},
        {{"--match-threads=2,1", "diff", "a", "b"},
         Command::Diff,
         {"a", "b"},
         {0, 0},
         {1, 0},
         "",
         0},
        {{"diff", "--html", "p.html", "a", "b"},
         Command::Diff,
         {"a", "b"},
         {0, 0},
         {},
         "p.html",
         0},
        {{"--html=diff", "diff", "a", "b"}, Command::Diff, {"a", "b"}, {0, 0}, {}, "diff", 0},
        {{"diff", "--", "--a", "-"}, Command::Diff, {"--a", "-"}, {0, 0}, {}, "", 0},
        {{"--code-page", "1252", "summary", "a"}, Command::Summary, {"a"}, {0, 0}, {}, "", 1252},
    };
    for (const auto &c : cases) {
        CommandLine line = ParseCommandLine(c.arguments);
        std::string what = c.arguments[0] + " " + c.arguments[1];
        EXPECT_EQ(line.error, "") << what;
        EXPECT_EQ(line.command, c.command) << what;
        EXPECT_EQ(line.reports, c.reports) << what;
        EXPECT_EQ(line.runs[0], c.runs[0]) << what;
        EXPECT_EQ(line.runs[1], c.runs[1]) << what;
        EXPECT_EQ(line.threadsOfB, c.threadsOfB) << what;
        EXPECT_EQ(line.page, c.page) << what;
        EXPECT_EQ(line.pageAsked, !c.page.empty()) << what;
        EXPECT_EQ(line.codePage, c.codePage) << what;
    }
    CommandLine flags = ParseCommandLine({"--json", "--strict", "--every-entry", "diff", "a", "b"});
    EXPECT_TRUE(flags.json && flags.strict && flags.everyEntry);
    EXPECT_TRUE(ParseCommandLine({"--help", "--bogus-later"}).help);
    EXPECT_TRUE(ParseCommandLine({"check", "--version"}).version);
}

TEST(CommandLine, UsageErrors) {
    const struct {
        std::vector<std::string> arguments;
        const char *error;
    } cases[] = {
        {{}, "no command"},
        {{"compare", "a"}, "unknown command compare"},
        {{"--color", "check", "a"}, "unknown option --color"},
        {{"check"}, "check takes one report or more, got 0"},
        {{"summary", "a", "b"}, "summary takes 1 report, got 2"},
        {{"diff", "a"}, "diff takes 2 reports, got 1"},
        {{"diff", "-", "-"}, "standard input (-) can be read only once"},
        {{"--strict", "check", "a"},
         "--strict, --html, --match-threads, --runs and --every-entry go with diff"},
        {{"--runs", "1", "summary", "a"},
         "--strict, --html, --match-threads, --runs and --every-entry go with diff"},
        {{"diff", "a", "b", "--runs"}, "--runs needs A[,B], e.g. 2 or 1,3"},
        {{"--runs", "0", "diff", "a", "b"},
         "--runs takes a run of A and one of B, e.g. 1,3, or one for both"},
        {{"--runs", "1,", "diff", "a", "b"},
         "--runs takes a run of A and one of B, e.g. 1,3, or one for both"},
        {{"--runs", "1234567", "diff", "a", "b"},
         "--runs takes a run of A and one of B, e.g. 1,3, or one for both"},
        {{"--match-threads", "1,1", "diff", "a", "b"}, "--match-threads: thread 1 is named twice"},
        {{"--match-threads", "x", "diff", "a", "b"},
         "--match-threads takes thread numbers of B, e.g. 2,1"},
        {{"--match-threads", "2,", "diff", "a", "b"},
         "--match-threads takes thread numbers of B, e.g. 2,1"},
        {{"--html", "diff", "a", "b"}, "--html needs FILE"},
        {{"--html=", "diff", "a", "b"}, "--html needs FILE"},
        {{"--html", "-", "diff", "a", "b"},
         "--html needs FILE: the page does not go to standard output"},
        {{"--code-page", "x", "summary", "a"},
         "--code-page takes the number of the report's ANSI code page, e.g. 932"},
        {{"summary", "a", "--code-page"}, "--code-page needs a number, e.g. 932"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ParseCommandLine(c.arguments).error, c.error)
            << (c.arguments.empty() ? "" : c.arguments[0]);
    }
    EXPECT_NE(
        ParseCommandLine({"--code-page", "99999", "summary", "a"}).error.find("--code-page: "),
        std::string::npos);
}

} // namespace
