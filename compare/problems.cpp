#include "compare/problems.h"
#include "compare/text_escape.h"

#include <cinttypes>

bool OpenInputOrSay(ReportInput &input, const std::string &path) {
    std::string error;
    if (OpenInput(input, path, error)) {
        return true;
    }
    fprintf(stderr, "vantorel-report: %s: %s\n", path.c_str(), error.c_str());
    return false;
}

void SayProblems(const ReportInput &input) {
    for (const ReadProblem &problem : input.problems) {
        fprintf(stderr, "%s:%" PRIu64 ": %s\n", input.path.c_str(), problem.line,
                problem.reason.c_str());
    }
    if (input.problemCount > input.problems.size()) {
        fprintf(stderr, "%s: %" PRIu64 " more problems\n", input.path.c_str(),
                input.problemCount - input.problems.size());
    }
}

void WriteJsonProblems(FILE *out, const ReportInput &input) {
    fputs("[", out);
    for (size_t i = 0; i < input.problems.size(); i++) {
        fprintf(out, "%s{\"line\": %" PRIu64 ", \"reason\": %s}", i > 0 ? ", " : "",
                input.problems[i].line, JsonString(input.problems[i].reason).c_str());
    }
    fputs("]", out);
}

std::string Counted(uint64_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string HexText(uint32_t value) {
    char text[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Hex, value, text);
    return text;
}
