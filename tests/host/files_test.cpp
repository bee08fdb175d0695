// The report tool's files: reports however they come, pages written whole or
// not at all, names between UTF-8 and UTF-16.
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/wide_text.h"
#include "reader/read_window.h"

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

// A report cut short while it is read in place: what the lost pages held
// reads as nothing sure, and the read fails instead of the process; a read
// after it is sound again.
TEST(Files, ReportCutWhileRead) {
    fs::path path = NewFolder("cut") / "report.txt";
    std::ofstream(path, std::ios::binary) << std::string(1 << 19, '\n');
    EXPECT_EQ(InChild([&] {
                  int cut = 0;
                  std::string_view line;
                  {
                      ReadWindow window;
                      OpenFileWindow(window, fopen(path.c_str(), "rb"), 4096);
                      if (!window.mapped || NextLine(window, line) != LineStatus::Line ||
                          truncate(path.c_str(), 4096) != 0) {
                          return 2;
                      }
                      while (NextLine(window, line) != LineStatus::End) {
                      }
                      cut = window.error;
                  }
                  // A stretch mapped in its place knows of no cut.
                  ReadWindow next;
                  OpenFileWindow(next, fopen(path.c_str(), "rb"), 4096);
                  while (NextLine(next, line) != LineStatus::End) {
                  }
                  return cut == EIO && next.error == 0 ? 0 : 1;
              }),
              0);
    fs::remove_all(path.parent_path());
}

// Pipes, FIFOs and standard input are read in the report tool's transcript;
// here what it cannot show: standard input whose reads fail once a line is
// read gives no shorter copy, and a name is known for the file it names.
TEST(Files, InputFiles) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    timeval timeout = {0, 10000};
    setsockopt(ends[0], SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    EXPECT_EQ(write(ends[1], "line 0\r\n", 8), 8);
    int savedInput = dup(STDIN_FILENO);
    dup2(ends[0], STDIN_FILENO);
    std::string error;
    EXPECT_EQ(OpenInputFile("-", true, error), nullptr);
    EXPECT_EQ(error, "Resource temporarily unavailable");
    dup2(savedInput, STDIN_FILENO);
    close(savedInput);
    close(ends[0]);
    close(ends[1]);

    fs::path folder = NewFolder("inputs");
    std::ofstream(folder / "report.txt") << "report";
    FILE *open = OpenInputFile((folder / "report.txt").string(), false, error);
    ASSERT_NE(open, nullptr) << error;
    fs::create_symlink(folder / "report.txt", folder / "symbolic.txt");
    fs::copy_file(folder / "report.txt", folder / "copy.txt");
    EXPECT_TRUE(IsSameFile((folder / "symbolic.txt").string(), open));
    EXPECT_FALSE(IsSameFile((folder / "copy.txt").string(), open));
    fclose(open);
    fs::remove_all(folder);
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

    // A commit that fails (the page became a folder) leaves nothing beside it.
    EXPECT_EQ(InChild([&] {
                  OutputFile output;
                  std::string error;
                  if (!BeginOutputFile(output, page.string(), error)) {
                      return 1;
                  }
                  fs::remove(page);
                  fs::create_directory(page);
                  return CommitOutputFile(output, error) ? 1 : 0;
              }),
              0);
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"page.html"});
    fs::remove_all(page);

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

TEST(Files, WideNames) {
    const struct {
        std::wstring wide;
        std::string text;
    } cases[] = {
        {L"Vantorel.txt", "Vantorel.txt"},
        {{0x5C71, 0x7530, L'/', 0x03A9}, "山田/Ω"},
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},         // a surrogate pair: one character
        {{0xDC00, 0xD800}, "\xED\xB0\x80\xED\xA0\x80"}, // unpaired units, kept as they are
        {{0x80, 0x800, 0xD800, 0xDC00},
         "\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80"}, // each length's least
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
