// vantorel-report run as a person or a script runs it, on the fixture
// reports (tests/data/reports/README.md lists what each holds) and on bad
// input made here. Every command's exit status, stdout and stderr go into the
// transcript of its case, compared with tests/data/reports/transcripts/
// CASE.txt, which also lists the commands (shell lines: pipes and
// redirections as a person types them); after a deliberate change,
// VANTOREL_UPDATE_GOLDEN=1 rewrites those files and the diff shows what
// changed. Every command is run with --json too, and its output must be one
// whole JSON document whatever the exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path &path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Where line number `line` starts.
size_t LineStart(const std::string &text, int line) {
    size_t start = 0;
    while (--line > 0) {
        start = text.find('\n', start) + 1;
    }
    return start;
}

// A copy of `text` with line `line` replaced.
std::string WithLine(const std::string &text, int line, const std::string &replacement) {
    size_t start = LineStart(text, line);
    return text.substr(0, start) + replacement + text.substr(text.find('\n', start) - 1);
}

// Inputs no tool writes: each a defect of its own, or a size the reader
// must pass through in constant memory.
void MakeBadInputs() {
    std::string base = ReadFile("base-crlf.txt");
    std::string garbage;
    for (unsigned seed = 1; garbage.size() < 4096; seed = seed * 1103515245 + 12345) {
        garbage += static_cast<char>(seed >> 16);
    }
    size_t entry2 = LineStart(base, 359);
    // Values at the edges of what each kind takes, one entry each: a line of
    // the first entry replaced.
    const struct {
        int line;
        std::string label;
        std::vector<std::string> values;
    } edges[] = {
        {8,
         "pic1->ptStatusWndPos.x: ",
         {"-2147483648", "2147483647", "-2147483649", "2147483648", "-0", "07", "", "+1"}},
        {22, "pic1->lfFont.W.lfCharSet: ", {"255", "256", "-1"}},
        {12, "pic1->fdwConversion: ", {"0xFFFFFFFF", "0x0000000", "0x000000001", "0X00000000"}},
        {6, "pic1->hWnd: ", {"FFFFFFFF", "0000000G"}},
        {27, "pic1->lfFont.W.lfFaceName: ", {std::string(64, '\x82'), std::string(65, 'W')}},
        {3, "hwnd:0001005E, hIMC1:00010058, dwAP1:0x7FFF0000, dwAV1:0x7E8A0000 ", {""}},
    };
    std::string separators;
    for (int n = 0; n < 103; n++) {
        separators += std::string(69, '-') + "\r\n";
    }
    std::string first = base.substr(0, entry2);
    std::string values;
    for (const auto &edge : edges) {
        for (const std::string &value : edge.values) {
            values += WithLine(first, edge.line, edge.label + value);
        }
    }
    const std::pair<const char *, std::string> made[] = {
        {"empty.txt", ""},
        {"garbage.txt", garbage},
        {"nul.txt", base.substr(0, entry2) + std::string(65536, '\0')},
        {"junk.txt", base.substr(0, entry2) + "junk\r\n" + base.substr(entry2)},
        {"hyphens.txt", std::string(3 << 20, '-')},
        {"separators.txt", separators},
        {"long-line.txt", base.substr(0, LineStart(base, 370)) + std::string(1 << 20, '7') +
                              "\r\n" + base.substr(LineStart(base, 371))},
        {"cut-at-line-end.txt", base.substr(0, LineStart(base, 601))},
        {"lower-case.txt", base.substr(0, 97) + "0001005e" + base.substr(105)},
        {"values.txt", values},
        // A face name that every output must quote or escape.
        {"odd-face.txt", WithLine(base, 27, "pic1->lfFont.W.lfFaceName: A\"B\\C<&>\x82\xA0")},
        // "ＭＳ ゴシック" as code page 932 writes it.
        {"cp932.txt", WithLine(base, 27,
                               "pic1->lfFont.W.lfFaceName: \x82l\x82r \x83S\x83V\x83"
                               "b\x83N")},
    };
    for (const auto &[name, bytes] : made) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    fs::create_directories("folder.txt");
    fs::create_hard_link("base-lf.txt", "linked.txt");
    mkfifo("fifo.txt", 0600);
}

const std::string TOOL = "vantorel-report";

// Runs a shell line with the tool in it, stdout to `out` and stderr to
// "err"; returns the exit status. A sanitizer's report fails the test.
int RunLine(std::string command, const std::string &out) {
    for (size_t at = 0; (at = command.find(TOOL, at)) != std::string::npos;) {
        command.replace(at, TOOL.size(), REPORT_TOOL);
        at += sizeof REPORT_TOOL - 1;
    }
    int raw = system(("(" + command + ") >" + out + " 2>err").c_str());
    std::string err = ReadFile("err");
    EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << command << "\n" << err;
    EXPECT_EQ(err.find("runtime error"), std::string::npos) << command << "\n" << err;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// One case a command (check, summary, diff, its page, its known
// differences, the program's own options), each in a working folder of its
// own: the fixtures copied beside the inputs made here, as the tool names
// files as given.
class Transcript : public testing::TestWithParam<const char *> {};

TEST_P(Transcript, OfCommand) {
    fs::path folder = fs::current_path() / GetParam();
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::current_path(folder);
    fs::copy(REPORTS_DIR, ".", fs::copy_options::overwrite_existing | fs::copy_options::recursive);
    MakeBadInputs();
    // The commands are the golden transcript's own "$ " lines: a new case is
    // a new such line, then an update of the file.
    std::string golden = std::string(REPORTS_DIR) + "/transcripts/" + GetParam() + ".txt";
    std::vector<std::string> commands;
    std::istringstream lines(ReadFile(golden));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("$ ", 0) == 0) {
            commands.push_back(line.substr(2));
        }
    }
    ASSERT_FALSE(commands.empty());
    std::string transcript;
    std::string jsonFiles;
    for (size_t n = 0; n < commands.size(); n++) {
        const std::string &command = commands[n];
        std::string out = "out" + std::to_string(n);
        int status = RunLine(command, out);
        transcript += "$ " + command + "\n" + ReadFile(out) + ReadFile("err") + "exit " +
                      std::to_string(status) + "\n\n";
        // The same with --json, when the tool's output is all there is.
        if (command.rfind(TOOL, 0) == 0 && command.find_first_of("|;>&") == std::string::npos) {
            std::string json = command;
            for (size_t at = 0; (at = json.find(TOOL, at)) != std::string::npos; at += 7) {
                json.insert(at + TOOL.size(), " --json");
            }
            out = "json" + std::to_string(n);
            int jsonStatus = RunLine(json, out);
            EXPECT_EQ(jsonStatus, status) << json;
            if (ReadFile("err").find("usage:") == std::string::npos) {
                jsonFiles += " " + out;
            }
        }
    }
    fs::current_path(folder.parent_path());
    if (getenv("VANTOREL_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << transcript;
    }
    EXPECT_EQ(transcript, ReadFile(golden));
    std::string parse = "cd " + folder.string() +
                        " && python3 -c 'import json, sys\nfor path in sys.argv[1:]:\n "
                        "print(path)\n json.load(open(path))'";
    EXPECT_EQ(system((parse + jsonFiles).c_str()), 0);
}

INSTANTIATE_TEST_SUITE_P(ReportTool, Transcript,
                         testing::Values("check", "summary", "diff", "page", "known", "program"),
                         [](const testing::TestParamInfo<const char *> &info) {
                             return std::string(info.param);
                         });

} // namespace
