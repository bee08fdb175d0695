// The report tool's entry, which every platform's start hands its arguments.
#pragma once

#include <string>
#include <vector>

// Runs the report tool on its arguments (UTF-8, without the program's name)
// and returns its exit status.
int RunReportTool(const std::vector<std::string> &arguments);
