// A reader of report files for the tests: splits a report into entries,
// checks the form of every line and extracts the values, so that tests check
// reports through it rather than by slicing strings.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ReadBlock {
    bool present;                                             // false for a "(null)" block
    std::vector<std::pair<std::string, std::string>> members; // path, value text
};

struct ReadEntry {
    std::vector<std::string> lines; // without their line ends
    uint32_t threadId;
    uint32_t window, button, edit;
    uint32_t hIMC[3];
    uint32_t dwAP[3];
    uint32_t dwAV[3];
    ReadBlock blocks[3];
};

struct ReadReportResult {
    std::vector<ReadEntry> entries;
    std::vector<std::string> errors; // empty when every line has its form
};

// Reads a report whose lines all end in lineEnd ("\n" or "\r\n").
ReadReportResult ReadReport(const std::string &bytes, const std::string &lineEnd);

// The value text of one member of block 0, 1 or 2 ("" when absent).
std::string BlockValue(const ReadEntry &entry, int block, const std::string &member);

// The whole file's bytes ("" when it does not exist).
std::string ReadFileBytes(const std::string &path);
