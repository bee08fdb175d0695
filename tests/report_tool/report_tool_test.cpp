// vantorel-report run as a person or a script runs it, on the fixture
// reports (tests/data/reports/README.md lists what each holds) and on bad
// input: exit status, the differences and problems it names, its JSON.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The tests run in their working folder, beside a copy of the fixtures and
// the inputs they make, so that the tool names every file alike.
[[maybe_unused]] const bool FixturesCopied =
    (fs::copy(REPORTS_DIR, ".", fs::copy_options::overwrite_existing | fs::copy_options::recursive),
     true);

// A sanitizer's report fails the test whatever the exit status.
Outcome Tool(const std::string &arguments, const std::string &out = "out") {
    int raw = system((REPORT_TOOL " " + arguments + " >" + out + " 2>err").c_str());
    Outcome run = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile("err")};
    EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << arguments << "\n" << run.err;
    EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << arguments << "\n" << run.err;
    return run;
}

// Every needle is in the text; no needles means the text is empty.
void ExpectHolds(const std::string &text, const std::vector<std::string> &needles,
                 const std::string &what) {
    if (needles.empty()) {
        EXPECT_EQ(text, "") << what;
    }
    for (const std::string &needle : needles) {
        EXPECT_NE(text.find(needle), std::string::npos) << what << " lacks: " << needle << "\n"
                                                        << text;
    }
}

// Where line number `line` starts.
size_t LineStart(const std::string &text, int line) {
    size_t start = 0;
    while (--line > 0) {
        start = text.find('\n', start) + 1;
    }
    return start;
}

struct CommandCase {
    const char *arguments;
    int status;
    std::vector<std::string> out;
    std::vector<std::string> err;
};

TEST(ReportTool, CommandsOnFixtureReports) {
    const CommandCase cases[] = {
        {"check base-crlf.txt base-lf.txt",
         0,
         {"base-crlf.txt: 4 entries in 2 threads\n"
          "  thread 1, ThreadID 0x00000024: 2 entries, the first at line 1\n"
          "  thread 2, ThreadID 0x00000028: 2 entries, the first at line 180\n",
          "base-lf.txt: 4 entries in 2 threads\n"},
         {}},
        {"summary null-block.txt",
         0,
         {"null-block.txt: 4 entries in 2 threads",
          "shared contexts              window=button=edit in 2",
          "pic1->hWnd                   00000000 in 1; T1.window (0001005E) in 1",
          "pic1->fdwConversion          0x00000000 in 1; 0x00000019 in 1",
          "pic1->cfCandForm[0]          index 0xFFFFFFFF, style 0x00000000, at (0, 0), area (0, 0, "
          "0, 0) in 2",
          "pic3                         (null) in 1; record in 1",
          "pic3->hWnd                   T2.window (00010064) in 1\n",
          "dwAV                         0x7E860000 to 0x7E880000"},
         {}},
        {"diff base-crlf.txt base-lf.txt", 0, {}, {}},
        {"diff base-crlf.txt other-handles.txt", 0, {}, {}},
        {"--strict diff base-crlf.txt other-handles.txt",
         1,
         {"thread 1, entry 1, ThreadID: 0x00000024 | 0x0000013C  (base-crlf.txt:2, "
          "other-handles.txt:2)",
          "thread 2, entry 2, dwAV3: 0x7E860000 | 0x7E4D0000  (base-crlf.txt:542, "
          "other-handles.txt:542)",
          "\n28 differences\n"},
         {}},
        {"diff other-handles.txt changed-value.txt",
         1,
         {"thread 1, entry 2, pic1->fdwConversion: 0x00000019 | 0x00000009  "
          "(other-handles.txt:370, changed-value.txt:370)\n"
          "thread 2, entry 2, pic1->hWnd: T2.window (00020012) | 00000000  "
          "(other-handles.txt:543, changed-value.txt:543)\n2 differences\n"},
         {}},
        {"diff null-block.txt base-crlf.txt",
         1,
         {"thread 2, entry 1, pic3: (null) | record  (null-block.txt:301, base-crlf.txt:301)\n"
          "1 difference\n"},
         {}},
        {"diff base-crlf.txt unshared.txt",
         1,
         {"thread 2, entry 2, hIMC3: T2.C1 (0001006A) | T2.C2 (00010070)  (base-crlf.txt:542, "
          "unshared.txt:542)\n",
          "thread 2, entry 2, shared contexts: window=button=edit | window=button, edit  "
          "(base-crlf.txt:540, unshared.txt:540)\n",
          "\n2 differences\n"},
         {}},
        {"diff base-crlf.txt extra-entry.txt",
         1,
         {"thread 2, entries: 2 | 3  (base-crlf.txt:538, extra-entry.txt:717)\n1 difference\n"},
         {}},
        {"diff base-crlf.txt", 2, {}, {"wrong number of reports for diff", "usage:"}},
    };
    for (const CommandCase &c : cases) {
        Outcome run = Tool(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        ExpectHolds(run.out, c.out, std::string(c.arguments) + ": stdout");
        ExpectHolds(run.err, c.err, std::string(c.arguments) + ": stderr");
    }
}

struct JsonCase {
    const char *arguments;
    const char *expression; // Python, over the parsed output d
    const char *expected;
};

// The JSON is parsed by Python's json module: it must be valid and hold
// what the text says.
TEST(ReportTool, JsonOutput) {
    const JsonCase cases[] = {
        {"diff other-handles.txt changed-value.txt",
         R"(d["same"], [(x["thread"], x["entry"], x["member"], x["a"], x["b"]))"
         R"( for x in d["differences"]])",
         "(False, [(1, 2, 'pic1->fdwConversion', {'value': '0x00000019', 'line': 370}, {'value': "
         "'0x00000009', 'line': 370}), (2, 2, 'pic1->hWnd', {'value': 'T2.window', 'raw': "
         "'00020012', 'line': 543}, {'value': '00000000', 'line': 543})])"},
        {"diff base-crlf.txt unshared.txt",
         R"([(x["member"], x["a"].get("raw"), x["b"].get("raw")) for x in d["differences"]])",
         "[('hIMC3', '0001006A', '00010070'), ('shared contexts', None, None)]"},
        {"diff base-crlf.txt cut-line.txt", R"(d["same"], d["wellFormed"], d["b"]["problems"])",
         "(None, False, [{'line': 600, 'reason': 'last entry (line 538) cut short in the middle "
         "of a line'}])"},
        {"check wrong-label.txt missing.txt",
         R"(d["wellFormed"], [(r["file"], r["readable"], r.get("problems")) for r in d["reports"]])",
         "(False, [('wrong-label.txt', True, [{'line': 191, 'reason': 'expected "
         "pic1->fdwConversion: ..., found \"pic1->fdwConvertion: 0x00000000\"'}]), "
         "('missing.txt', False, None)])"},
        {"summary null-block.txt",
         R"([(t["threadId"], t["entries"], t["blocks"][2]["records"]) for t in d["threads"]])",
         "[('0x00000024', 2, {'values': [{'value': 'record', 'entries': 2}], 'otherEntries': 0}), "
         "('0x00000028', 2, {'values': [{'value': '(null)', 'entries': 1}, {'value': 'record', "
         "'entries': 1}], 'otherEntries': 0})]"},
    };
    // One Python for all: its start is slow.
    std::string command = "python3 -c 'import json, sys\n"
                          "for path, expression in zip(sys.argv[1::2], sys.argv[2::2]):\n"
                          "    d = json.load(open(path)); print(eval(expression))'";
    std::string expected;
    for (size_t n = 0; n < std::size(cases); n++) {
        std::string out = "out" + std::to_string(n) + ".json";
        Tool(std::string("--json ") + cases[n].arguments, out);
        command += " " + out + " '" + cases[n].expression + "'";
        expected += std::string(cases[n].expected) + "\n";
    }
    EXPECT_EQ(system((command + " >parsed 2>&1").c_str()), 0) << ReadFile("parsed");
    EXPECT_EQ(ReadFile("parsed"), expected);
}

struct BadInput {
    const char *name;
    int checkStatus;
    const char *problem; // on stderr, from every command
};

// Every command on every input: its status, the problem where it is, no crash.
TEST(ReportTool, BadInput) {
    std::string base = ReadFile("base-crlf.txt");
    std::string garbage;
    std::string separators;
    for (unsigned seed = 1; garbage.size() < 4096; seed = seed * 1103515245 + 12345) {
        garbage += static_cast<char>(seed >> 16);
    }
    for (int n = 0; n < 1000; n++) {
        separators += std::string(69, '-') + "\r\n";
    }
    const std::pair<const char *, std::string> made[] = {
        {"empty.txt", ""},
        {"garbage.txt", garbage},
        {"nul.txt", base.substr(0, LineStart(base, 359)) + std::string(65536, '\0')},
        {"junk.txt",
         base.substr(0, LineStart(base, 359)) + "junk\r\n" + base.substr(LineStart(base, 359))},
        {"hyphens.txt", std::string(3 << 20, '-')},
        {"separators.txt", separators},
        {"long-line.txt", base.substr(0, LineStart(base, 370)) + std::string(1 << 20, '7') +
                              "\r\n" + base.substr(LineStart(base, 371))},
        {"cut-at-line-end.txt", base.substr(0, LineStart(base, 601))},
    };
    for (const auto &[name, bytes] : made) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    fs::create_directories("folder.txt");
    fs::remove("missing.txt");
    const BadInput inputs[] = {
        {"empty.txt", 1, "empty.txt:1: no report entries"},
        {"garbage.txt", 1, "garbage.txt:1: expected the separator line that starts an entry"},
        {"nul.txt", 1, "nul.txt:359: the report ends in the middle of a line"},
        {"junk.txt", 1, "junk.txt:359: expected the separator line that starts an entry"},
        {"hyphens.txt", 1, "hyphens.txt:1: line too long, outside any entry"},
        {"separators.txt", 1, "separators.txt: 900 more problems"},
        {"long-line.txt", 1, "long-line.txt:370: line too long"},
        {"cut-at-line-end.txt", 1, "cut-at-line-end.txt:538: last entry cut short after 63 lines"},
        {"missing.txt", 2, "missing.txt: No such file or directory"},
        {"folder.txt", 2, "folder.txt: is a directory"},
        {"cut-entry.txt", 1,
         "cut-entry.txt:359: entry cut short after 100 lines: the next entry starts at line 459"},
        {"cut-line.txt", 1, "cut-line.txt:600: last entry (line 538) cut short in the middle"},
        {"bad-value.txt", 1, "bad-value.txt:80: bad value for pic2->lfFont.W.lfCharSet: \"256\""},
        {"wrong-label.txt", 1,
         "wrong-label.txt:191: expected pic1->fdwConversion: ..., found \"pic1->fdwConvertion: "},
        {"preamble.txt", 1, "preamble.txt:1: expected the separator line that starts an entry"},
    };
    for (const BadInput &input : inputs) {
        for (std::string command : {"check ", "summary ", "diff base-crlf.txt "}) {
            Outcome run = Tool(command + input.name);
            EXPECT_EQ(run.status, command == "check " ? input.checkStatus : 2)
                << command << input.name;
            ExpectHolds(run.err, {input.problem}, command + input.name);
        }
    }
}

// Entries that straddle the reader's window, threads that first appear
// beyond it, either line end: one difference, where it is.
TEST(ReportTool, ReportsLongerThanTheReadWindow) {
    std::string a;
    std::string b;
    for (int n = 0; n < 11; n++) {
        a += ReadFile("base-crlf.txt");
        b += ReadFile("base-lf.txt");
    }
    std::string late = ReadFile("other-handles.txt");
    a += late;
    b += late.replace(late.rfind("pic3->fOpen: 0"), 14, "pic3->fOpen: 1");
    std::ofstream("long-a.txt", std::ios::binary) << a;
    std::ofstream("long-b.txt", std::ios::binary) << b;
    Outcome check = Tool("check long-b.txt");
    EXPECT_EQ(check.status, 0);
    ExpectHolds(check.out, {"48 entries in 4 threads", "ThreadID 0x00000140: 2 entries"}, "check");
    Outcome diff = Tool("diff long-a.txt long-b.txt");
    EXPECT_EQ(diff.status, 1);
    ExpectHolds(diff.out,
                {"thread 4, entry 2, pic3->fOpen: 0 | 1  (long-a.txt:8536, long-b.txt:8536)\n"
                 "1 difference\n"},
                "diff");
}

} // namespace
