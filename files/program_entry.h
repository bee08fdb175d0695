// (placeholder until the files branch lands)
#pragma once
#include <string>
#include <vector>
int RunReportTool(const std::vector<std::string> &arguments);
