// vantorel-report's run: the command line read, the command dispatched, the
// output and the page written, the verdict turned into the exit status.
#pragma once

#include <string>
#include <vector>

// Runs the report tool on its arguments (UTF-8, without the program's name)
// and returns its exit status: 0 all well (the same), 1 problems or
// differences, 2 trouble, as diff gives it.
int RunReportTool(const std::vector<std::string> &arguments);
