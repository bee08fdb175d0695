// vantorel-report run as a person or a script runs it, on the fixture
// reports (tests/data/reports/README.md lists what each holds) and on bad
// input made here. Every command's exit status, stdout and stderr go into one
// transcript, compared with tests/data/reports/transcript.txt; after a
// deliberate change, VANTOREL_UPDATE_GOLDEN=1 rewrites that file and the diff
// shows what changed. Every --json output must parse.
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

// Inputs no tool writes: each a defect of its own, or a size the reader
// must pass through in constant memory.
void MakeBadInputs() {
    std::string base = ReadFile("base-crlf.txt");
    std::string garbage;
    for (unsigned seed = 1; garbage.size() < 4096; seed = seed * 1103515245 + 12345) {
        garbage += static_cast<char>(seed >> 16);
    }
    std::string separators;
    for (int n = 0; n < 103; n++) {
        separators += std::string(69, '-') + "\r\n";
    }
    // Entries across the reader's window, threads first seen beyond it.
    std::string longA;
    std::string longB;
    for (int n = 0; n < 11; n++) {
        longA += base;
        longB += ReadFile("base-lf.txt");
    }
    std::string late = ReadFile("other-handles.txt");
    longA += late;
    longB += late.replace(late.rfind("pic3->fOpen: 0"), 14, "pic3->fOpen: 1");
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
        {"long-a.txt", longA},
        {"long-b.txt", longB},
    };
    for (const auto &[name, bytes] : made) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    fs::create_directories("folder.txt");
}

TEST(ReportTool, Transcript) {
    // The tool names files as given: the fixtures are copied beside the
    // inputs made here, into the test's working folder.
    fs::copy(REPORTS_DIR, ".", fs::copy_options::overwrite_existing);
    MakeBadInputs();
    std::vector<std::string> commands = {
        "check base-crlf.txt base-lf.txt",
        "summary null-block.txt",
        "diff base-crlf.txt base-lf.txt",
        "diff base-crlf.txt other-handles.txt",
        "--strict diff base-crlf.txt other-handles.txt",
        "diff other-handles.txt changed-value.txt",
        "diff null-block.txt base-crlf.txt",
        "diff base-crlf.txt unshared.txt",
        "diff base-crlf.txt extra-entry.txt",
        "--match-threads 2,1 diff extra-entry.txt base-crlf.txt",
        "diff long-a.txt long-b.txt",
        "--json diff other-handles.txt changed-value.txt",
        "--json diff base-crlf.txt unshared.txt",
        "--json diff base-crlf.txt cut-line.txt",
        "--json check wrong-label.txt missing.txt",
        "--json summary null-block.txt",
        "diff base-crlf.txt",
    };
    for (const char *input :
         {"empty.txt", "garbage.txt", "nul.txt", "junk.txt", "hyphens.txt", "separators.txt",
          "long-line.txt", "cut-at-line-end.txt", "missing.txt", "folder.txt", "cut-entry.txt",
          "cut-line.txt", "bad-value.txt", "wrong-label.txt", "preamble.txt"}) {
        for (const char *command : {"check ", "summary ", "diff base-crlf.txt "}) {
            commands.push_back(command + std::string(input));
        }
    }
    std::string transcript;
    std::string jsonFiles;
    for (size_t n = 0; n < commands.size(); n++) {
        std::string out = "out" + std::to_string(n);
        int raw = system((REPORT_TOOL " " + commands[n] + " >" + out + " 2>err").c_str());
        std::string err = ReadFile("err");
        // A sanitizer's report fails the test whatever the exit status.
        EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << commands[n] << "\n" << err;
        EXPECT_EQ(err.find("runtime error"), std::string::npos) << commands[n] << "\n" << err;
        transcript += "$ vantorel-report " + commands[n] + "\n" + ReadFile(out) + err + "exit " +
                      std::to_string(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) + "\n\n";
        if (commands[n].rfind("--json", 0) == 0) {
            jsonFiles += " " + out;
        }
    }
    std::string golden = std::string(REPORTS_DIR) + "/transcript.txt";
    if (getenv("VANTOREL_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << transcript;
    }
    EXPECT_EQ(transcript, ReadFile(golden));
    std::string parse =
        "python3 -c 'import json, sys\nfor path in sys.argv[1:]: json.load(open(path))'";
    EXPECT_EQ(system((parse + jsonFiles).c_str()), 0);
}

} // namespace
