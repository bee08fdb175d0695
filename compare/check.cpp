// check: is every entry of every report whole and well-formed?
#include "compare/commands.h"

CheckResult CheckReports(const std::vector<std::string> &paths) {
    CheckResult result;
    for (const std::string &path : paths) {
        ReportInput input;
        if (OpenInput(input, path, false)) {
            ReadWholeInput(input);
        }
        CloseInput(input);
        result.reports.push_back(std::move(input.facts));
    }
    return result;
}
