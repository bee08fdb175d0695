// How the commands tell of reports that cannot be read or are malformed.
#pragma once

#include "compare/report_input.h"

#include <cstdio>
#include <string>

// Opens a report, or says on stderr why it cannot.
bool OpenInputOrSay(ReportInput &input, const std::string &path);

// Lists the problems of a report on stderr as "file:line: reason".
void SayProblems(const ReportInput &input);

// The problems as a JSON array.
void WriteJsonProblems(FILE *out, const ReportInput &input);

// A count and its noun: "1 entry", "2 entries".
std::string Counted(uint64_t count, const char *one, const char *many);

// A thread id or memory sample as the report writes it: "0x0000001A".
std::string HexText(uint32_t value);
