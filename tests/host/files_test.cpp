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
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path NewFolder(const std::string &name) {
    fs::path folder =
        fs::path(testing::TempDir()) / ("files_test-" + std::to_string(getpid())) / name;
    fs::remove_all(folder);
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
int InChild(int (*child)(const std::string &), const std::string &argument) {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(child(argument));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The read end of a pipe that a child process fills with `bytes`.
int PipeOf(const std::string &bytes) {
    int ends[2];
    if (pipe(ends) != 0) {
        return -1;
    }
    if (fork() == 0) {
        close(ends[0]);
        size_t done = 0;
        for (ssize_t n;
             done < bytes.size() && (n = write(ends[1], &bytes[done], bytes.size() - done)) > 0;) {
            done += static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(ends[1]);
    return ends[0];
}

TEST(Files, InputFiles) {
    fs::path folder = NewFolder("inputs");
    fs::path scratch = NewFolder("scratch");
    setenv("TMPDIR", scratch.c_str(), 1);
    // Larger than a pipe holds, so that the copy takes several reads.
    std::string report;
    for (int n = 0; report.size() < 300000; n++) {
        report += "line " + std::to_string(n) + "\r\n";
    }
    std::ofstream(folder / "report.txt", std::ios::binary) << report;
    int pipe = PipeOf(report);
    int savedInput = dup(STDIN_FILENO);
    int input = PipeOf(report);
    dup2(input, STDIN_FILENO);
    close(input);
    const struct {
        std::string path;
        const char *error;
    } cases[] = {
        {(folder / "report.txt").string(), nullptr},
        {"/dev/fd/" + std::to_string(pipe), nullptr},
        {"-", nullptr},
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
    close(pipe);
    while (wait(nullptr) > 0) {
    }
    EXPECT_TRUE(fs::is_empty(scratch)) << "a copy left behind";

    std::string error;
    FILE *open = OpenInputFile((folder / "report.txt").string(), false, error);
    ASSERT_NE(open, nullptr) << error;
    fs::create_hard_link(folder / "report.txt", folder / "hard.txt");
    fs::create_symlink(folder / "report.txt", folder / "symbolic.txt");
    fs::copy_file(folder / "report.txt", folder / "copy.txt");
    const struct {
        const char *name;
        bool same;
    } names[] = {{"report.txt", true},
                 {"hard.txt", true},
                 {"symbolic.txt", true},
                 {"copy.txt", false},
                 {"missing.txt", false}};
    for (const auto &name : names) {
        EXPECT_EQ(IsSameFile((folder / name.name).string(), open), name.same) << name.name;
    }
    fclose(open);
}

// Each begins a page over one holding "old", writes "new", then ends as its
// name says; its exit code says whether what it was told went as expected.
int Committed(const std::string &path) {
    OutputFile output;
    std::string error;
    if (!BeginOutputFile(output, path, error)) {
        return 1;
    }
    fputs("new", OutputStream(output));
    return CommitOutputFile(output, error) ? 0 : 1;
}

int Abandoned(const std::string &path) {
    OutputFile output;
    std::string error;
    if (!BeginOutputFile(output, path, error)) {
        return 1;
    }
    fputs("new", OutputStream(output));
    AbandonOutputFile(output);
    return 0;
}

int Interrupted(const std::string &path) {
    OutputFile output;
    std::string error;
    if (!BeginOutputFile(output, path, error)) {
        return 1;
    }
    fputs("new", OutputStream(output));
    fflush(OutputStream(output));
    raise(SIGINT);
    return 1;
}

int ExitedUncommitted(const std::string &path) {
    OutputFile output;
    std::string error;
    if (!BeginOutputFile(output, path, error)) {
        return 1;
    }
    fputs("new", OutputStream(output));
    exit(0);
}

// Not even root may write in the folder: it runs as nobody.
int InReadOnlyFolder(const std::string &path) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
        return 1;
    }
    OutputFile output;
    std::string error;
    return !BeginOutputFile(output, path, error) && error == "Permission denied" ? 0 : 1;
}

TEST(Files, OutputFile) {
    fs::path folder = NewFolder("outputs");
    fs::path page = folder / "page.html";
    const struct {
        int (*writer)(const std::string &);
        const char *name;
        int status;
        const char *text;
    } cases[] = {
        {Committed, "committed", 0, "new"},
        {Abandoned, "abandoned", 0, "old"},
        {Interrupted, "interrupted", 128 + SIGINT, "old"},
        {ExitedUncommitted, "exited uncommitted", 0, "old"},
        {InReadOnlyFolder, "read-only folder", 0, "old"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(page, std::ios::binary) << "old";
        fs::permissions(page, fs::perms(0666));
        fs::permissions(folder, c.writer == InReadOnlyFolder ? fs::perms(0555) : fs::perms(0755));
        EXPECT_EQ(InChild(c.writer, page.string()), c.status);
        fs::permissions(folder, fs::perms(0755));
        EXPECT_EQ(FileText(page), c.text);
        EXPECT_EQ(Listing(folder), std::vector<std::string>{"page.html"});
    }

    // A FIFO is written through, not replaced.
    fs::remove(page);
    ASSERT_EQ(mkfifo(page.c_str(), 0644), 0);
    int reader = open(page.c_str(), O_RDWR | O_NONBLOCK);
    EXPECT_EQ(Committed(page.string()), 0);
    char got[8] = {};
    EXPECT_EQ(read(reader, got, sizeof got), 3);
    EXPECT_STREQ(got, "new");
    close(reader);
    EXPECT_TRUE(fs::is_fifo(page));
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"page.html"});
}

int WriteToFullDevice(const std::string &) {
    int full = open("/dev/full", O_WRONLY);
    if (full < 0 || dup2(full, STDOUT_FILENO) < 0) {
        return 1;
    }
    printf("entries\n");
    std::string error;
    return !FinishStandardOutput(error) && error == "write error: No space left on device" ? 0 : 1;
}

TEST(Files, StandardOutputFailureSaid) {
    EXPECT_EQ(InChild(WriteToFullDevice, ""), 0);
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
    EXPECT_EQ(WideFromUtf8("\xC0\xAF"
                           "\xFF"),
              std::wstring(3, 0xFFFD));
}

} // namespace
