// Files the tool writes, each written whole or not at all.
#pragma once

#include <cstdio>
#include <string>

struct OutputFile {
    FILE *stream;
    std::string path;          // the file replaced
    std::string temporaryPath; // beside it; empty when path is written directly
};

// Opens a file that will replace `path` whole: it is written beside it under
// a temporary name in the same folder and renamed over path by
// CommitOutputFile, so that a failed or interrupted run (Ctrl-C, SIGTERM,
// SIGHUP, SIGPIPE, or an exit without commit) leaves an existing file as it
// was and nothing else behind. A symbolic link is kept: the file it points to
// is replaced. A path that exists and is not a regular file (a device such as
// /dev/stdout, a FIFO) is written directly. The new file gets the permissions
// any new file gets (the umask's). On failure (a read-only folder or file, a
// folder given as path...) says why in error and touches nothing. One output
// file may be open at a time.
bool BeginOutputFile(OutputFile &output, const std::string &path, std::string &error);

FILE *OutputStream(const OutputFile &output);

// Flushes, checks every write, closes and renames; on any failure removes the
// temporary file, leaves path as it was and says why.
bool CommitOutputFile(OutputFile &output, std::string &error);

// Removes the temporary file; path stays as it was.
void AbandonOutputFile(OutputFile &output);

// An output file its owner abandons on every path it does not commit.
struct PendingOutput {
    OutputFile file = {nullptr, "", ""};
    PendingOutput() = default;
    PendingOutput(const PendingOutput &) = delete;
    PendingOutput &operator=(const PendingOutput &) = delete;
    ~PendingOutput() {
        AbandonOutputFile(file);
    }
};
