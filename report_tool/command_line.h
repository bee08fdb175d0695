// vantorel-report's command line, read by one pure function: the arguments
// in, the options or the usage error out.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class Command { None, Check, Summary, Diff };

struct CommandLine {
    bool help;
    bool version;
    bool json;
    Command command;
    std::vector<std::string> reports;
    int codePage; // of the face names, 0 when not given
    // diff's
    bool strict;
    bool everyEntry;
    bool pageAsked;
    std::string page;
    std::vector<size_t> threadsOfB; // 0-based
    size_t runs[2];                 // 1-based; 0 for the last
    std::string known;              // --known FILE; empty when not given
    std::string writeKnown;         // --write-known FILE
    std::string error;              // a usage error; then nothing else counts
};

CommandLine ParseCommandLine(const std::vector<std::string> &arguments);
