// vantorel-report run as a person or a script runs it, on the fixture
// reports (tests/data/reports/README.md lists what each holds) and on bad
// input made here. Every command's exit status, stdout and stderr go into one
// transcript, compared with tests/data/reports/transcript.txt, which also
// lists the commands; after a deliberate change, VANTOREL_UPDATE_GOLDEN=1
// rewrites that file and the diff shows what changed. Every --json output
// must parse.
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

std::string Repeated(const std::string &text, int times) {
    std::string repeated;
    while (times-- > 0) {
        repeated += text;
    }
    return repeated;
}

// Inputs no tool writes: each a defect of its own, or a size the reader
// must pass through in constant memory.
void MakeBadInputs() {
    std::string base = ReadFile("base-crlf.txt");
    std::string garbage;
    for (unsigned seed = 1; garbage.size() < 4096; seed = seed * 1103515245 + 12345) {
        garbage += static_cast<char>(seed >> 16);
    }
    // Entries across the reader's window, threads first seen beyond it.
    std::string late = ReadFile("other-handles.txt");
    std::string longA = Repeated(base, 11) + late;
    std::string longB = Repeated(ReadFile("base-lf.txt"), 11) +
                        late.replace(late.rfind("pic3->fOpen: 0"), 14, "pic3->fOpen: 1");
    size_t entry2 = LineStart(base, 359);
    const std::pair<const char *, std::string> made[] = {
        {"empty.txt", ""},
        {"garbage.txt", garbage},
        {"nul.txt", base.substr(0, entry2) + std::string(65536, '\0')},
        {"junk.txt", base.substr(0, entry2) + "junk\r\n" + base.substr(entry2)},
        {"hyphens.txt", std::string(3 << 20, '-')},
        {"separators.txt", Repeated(std::string(69, '-') + "\r\n", 103)},
        {"long-line.txt", base.substr(0, LineStart(base, 370)) + std::string(1 << 20, '7') +
                              "\r\n" + base.substr(LineStart(base, 371))},
        {"cut-at-line-end.txt", base.substr(0, LineStart(base, 601))},
        {"lower-case.txt", base.substr(0, 97) + "0001005e" + base.substr(105)},
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
    fs::copy(REPORTS_DIR, ".", fs::copy_options::overwrite_existing | fs::copy_options::recursive);
    MakeBadInputs();
    // The commands are the golden transcript's own "$ vantorel-report" lines:
    // a new case is a new such line, then an update of the file.
    std::string golden = std::string(REPORTS_DIR) + "/transcript.txt";
    std::vector<std::string> commands;
    std::istringstream lines(ReadFile(golden));
    const std::string prompt = "$ vantorel-report ";
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prompt, 0) == 0) {
            commands.push_back(line.substr(prompt.size()));
        }
    }
    ASSERT_FALSE(commands.empty());
    std::string transcript;
    std::string jsonFiles;
    for (size_t n = 0; n < commands.size(); n++) {
        std::string out = "out" + std::to_string(n);
        int raw = system((REPORT_TOOL " " + commands[n] + " >" + out + " 2>err").c_str());
        std::string err = ReadFile("err");
        // A sanitizer's report fails the test whatever the exit status.
        EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << commands[n] << "\n" << err;
        EXPECT_EQ(err.find("runtime error"), std::string::npos) << commands[n] << "\n" << err;
        transcript += prompt + commands[n] + "\n" + ReadFile(out) + err + "exit " +
                      std::to_string(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) + "\n\n";
        if (commands[n].rfind("--json", 0) == 0) {
            jsonFiles += " " + out;
        }
    }
    if (getenv("VANTOREL_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << transcript;
    }
    EXPECT_EQ(transcript, ReadFile(golden));
    std::string parse =
        "python3 -c 'import json, sys\nfor path in sys.argv[1:]: json.load(open(path))'";
    EXPECT_EQ(system((parse + jsonFiles).c_str()), 0);
}

} // namespace
