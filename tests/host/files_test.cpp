// The report tool's files: reports however they come, pages written whole or
// not at all, standard output's failures, names between UTF-8 and UTF-16.
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/standard_output.h"
#include "files/wide_text.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path NewFolder(const std::string &name) {
    fs::path folder =
        fs::path(testing::TempDir()) / ("files_test-" + std::to_string(getpid()) + "-" + name);
    fs::create_directories(folder);
    return folder;
}

std::string FileText(const fs::path &path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::string ReadAll(FILE *file) {
    std::string text;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, got);
    }
    return text;
}

std::vector<std::string> Listing(const fs::path &folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Runs `child` in a process of its own; its exit code, or 128 + the signal
// that ended it.
template <typename Child> int InChild(Child child) {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(child());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(Files, InputFiles) {
    fs::path folder = NewFolder("inputs");
    fs::path scratch = NewFolder("scratch");
    const char *temporaryFolder = getenv("TMPDIR");
    bool hadTemporaryFolder = temporaryFolder != nullptr;
    std::string savedTemporaryFolder = hadTemporaryFolder ? temporaryFolder : "";
    setenv("TMPDIR", scratch.c_str(), 1);
    // Larger than a pipe holds, so that the copy takes several reads.
    std::string report;
    for (int n = 0; report.size() < 300000; n++) {
        report += "line " + std::to_string(n) + "\r\n";
    }
    std::string path = (folder / "report.txt").string();
    std::ofstream(path, std::ios::binary) << report;
    FILE *pipe = popen(("cat " + path).c_str(), "r");
    // Standard input whose reads fail once a line is read: no shorter copy.
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    timeval timeout = {0, 10000};
    setsockopt(ends[0], SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    EXPECT_EQ(write(ends[1], "line 0\r\n", 8), 8);
    int savedInput = dup(STDIN_FILENO);
    dup2(ends[0], STDIN_FILENO);
    const struct {
        std::string path;
        const char *error;
    } cases[] = {
        {path, nullptr},
        {"/dev/fd/" + std::to_string(fileno(pipe)), nullptr},
        {"-", "Resource temporarily unavailable"},
        {folder.string(), "Is a directory"},
        {(folder / "missing.txt").string(), "No such file or directory"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        FILE *file = OpenInputFile(c.path, true, error);
        if (c.error != nullptr) {
            EXPECT_EQ(file, nullptr);
            EXPECT_EQ(error, c.error);
            continue;
        }
        ASSERT_NE(file, nullptr) << error;
        EXPECT_EQ(ReadAll(file), report);
        EXPECT_TRUE(SeekInputFile(file, 0));
        EXPECT_EQ(ReadAll(file), report);
        fclose(file);
    }
    dup2(savedInput, STDIN_FILENO);
    close(savedInput);
    pclose(pipe);
    close(ends[0]);
    close(ends[1]);
    EXPECT_TRUE(fs::is_empty(scratch)) << "a copy left behind";
    if (hadTemporaryFolder) {
        setenv("TMPDIR", savedTemporaryFolder.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }

    std::string error;
    FILE *open = OpenInputFile(path, false, error);
    ASSERT_NE(open, nullptr) << error;
    fs::create_hard_link(folder / "report.txt", folder / "hard.txt");
    fs::create_symlink(folder / "report.txt", folder / "symbolic.txt");
    fs::copy_file(folder / "report.txt", folder / "copy.txt");
    for (const char *name : {"report.txt", "hard.txt", "symbolic.txt"}) {
        EXPECT_TRUE(IsSameFile((folder / name).string(), open)) << name;
    }
    for (const char *name : {"copy.txt", "missing.txt"}) {
        EXPECT_FALSE(IsSameFile((folder / name).string(), open)) << name;
    }
    fclose(open);
    fs::remove_all(folder);
    fs::remove_all(scratch);
}

enum class Ending { Commit, Abandon, Interrupt, Exit, ReadOnlyFolder };

// Begins a page over `path`, writes "new" and ends as told: 0 when all went
// as it should.
int WritePage(const std::string &path, Ending ending) {
    // Not even root may write in the folder: it runs as nobody.
    if (ending == Ending::ReadOnlyFolder && geteuid() == 0 &&
        (setgid(65534) != 0 || setuid(65534) != 0)) {
        return 1;
    }
    OutputFile output;
    std::string error;
    if (!BeginOutputFile(output, path, error)) {
        return ending == Ending::ReadOnlyFolder && error == "Permission denied" ? 0 : 1;
    }
    fputs("new", OutputStream(output));
    fflush(OutputStream(output));
    switch (ending) {
    case Ending::Commit:
        return CommitOutputFile(output, error) ? 0 : 1;
    case Ending::Abandon:
        AbandonOutputFile(output);
        return 0;
    case Ending::Interrupt:
        raise(SIGINT);
        return 1;
    case Ending::Exit:
        exit(0);
    case Ending::ReadOnlyFolder:
        break;
    }
    return 1;
}

TEST(Files, OutputFile) {
    fs::path folder = NewFolder("outputs");
    fs::path page = folder / "page.html";
    const struct {
        Ending ending;
        int status;
        const char *text;
    } cases[] = {
        {Ending::Commit, 0, "new"},
        {Ending::Abandon, 0, "old"},
        {Ending::Interrupt, 128 + SIGINT, "old"},
        {Ending::Exit, 0, "old"},
        {Ending::ReadOnlyFolder, 0, "old"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.ending));
        std::ofstream(page, std::ios::binary) << "old";
        fs::permissions(page, fs::perms(0666));
        bool readOnly = c.ending == Ending::ReadOnlyFolder;
        fs::permissions(folder, readOnly ? fs::perms(0555) : fs::perms(0755));
        EXPECT_EQ(InChild([&] { return WritePage(page.string(), c.ending); }), c.status);
        fs::permissions(folder, fs::perms(0755));
        EXPECT_EQ(FileText(page), c.text);
        EXPECT_EQ(Listing(folder), std::vector<std::string>{"page.html"});
    }

    // A FIFO is written through, not replaced.
    fs::remove(page);
    ASSERT_EQ(mkfifo(page.c_str(), 0644), 0);
    int reader = open(page.c_str(), O_RDWR | O_NONBLOCK);
    EXPECT_EQ(WritePage(page.string(), Ending::Commit), 0);
    char got[8] = {};
    EXPECT_EQ(read(reader, got, sizeof got), 3);
    EXPECT_STREQ(got, "new");
    close(reader);
    EXPECT_TRUE(fs::is_fifo(page));
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"page.html"});
    fs::remove_all(folder);
}

TEST(Files, StandardOutputFailureSaid) {
    EXPECT_EQ(InChild([] {
                  std::string error;
                  return dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO) >= 0 &&
                                 printf("entries\n") > 0 && !FinishStandardOutput(error) &&
                                 error == "write error: No space left on device"
                             ? 0
                             : 1;
              }),
              0);
}

TEST(Files, WideNames) {
    const struct {
        std::wstring wide;
        std::string text;
    } cases[] = {
        {L"Vantorel.txt", "Vantorel.txt"},
        {{0x5C71, 0x7530, L'/', 0x03A9}, "山田/Ω"},
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},         // a surrogate pair: one character
        {{0xDC00, 0xD800}, "\xED\xB0\x80\xED\xA0\x80"}, // unpaired units, kept as they are
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Utf8FromWide(c.wide), c.text);
        EXPECT_EQ(WideFromUtf8(c.text), c.wide) << c.text;
    }
    // An overlong sequence's lead, then its continuation byte alone, and a byte
    // that starts no sequence.
    EXPECT_EQ(WideFromUtf8("\xC0\xAF\xFF"), std::wstring(3, 0xFFFD));
}

} // namespace
