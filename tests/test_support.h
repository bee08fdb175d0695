// Helpers of the host tests.
#pragma once

#include "reader/report_reader.h"
#include "report/report.h"

#include <string>
#include <vector>

// An entry with a value in every field and the values the format treats
// apart: minus signs, all bits set, bytes above 127, face names of none and
// of all 32 units, each two bytes in the fake's code page: the longest line.
ReportEntry SampleEntry();

// Makes a new empty directory the current one: no report file yet.
void EnterFreshDirectory();

std::string FileBytes(const std::string &path);

// Compares text with the file of that name in tests/data; with
// VANTOREL_UPDATE_GOLDEN=1 in the environment, first writes it there.
void ExpectGolden(const std::string &name, const std::string &text);

// The entries of a report's text, read by the product's reader; any problem
// fails the test.
std::vector<ReadEntry> ReadEntries(const std::string &text);
