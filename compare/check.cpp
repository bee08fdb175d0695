// check: is every entry of every report whole and well-formed?
#include "compare/commands.h"
#include "compare/problems.h"
#include "compare/text_escape.h"

#include <cinttypes>

static void WriteText(const ReportInput &input) {
    printf("%s: %s in %s", input.path.c_str(), Counted(input.entries, "entry", "entries").c_str(),
           Counted(input.threads.size(), "thread", "threads").c_str());
    if (input.problemCount > 0) {
        printf(", %s", Counted(input.problemCount, "problem", "problems").c_str());
    }
    printf("\n");
    for (size_t t = 0; t < input.threads.size(); t++) {
        const ReportThread &thread = input.threads[t];
        printf("  thread %zu, ThreadID %s: %s, the first at line %" PRIu64 "\n", t + 1,
               HexText(thread.id).c_str(), Counted(thread.entries, "entry", "entries").c_str(),
               thread.firstLine);
    }
}

static void WriteJson(const ReportInput &input) {
    printf("{\"file\": %s, \"readable\": true, \"entries\": %" PRIu64 ", \"threads\": [",
           JsonString(input.path).c_str(), input.entries);
    for (size_t t = 0; t < input.threads.size(); t++) {
        const ReportThread &thread = input.threads[t];
        printf("%s{\"thread\": %zu, \"threadId\": \"%s\", \"entries\": %" PRIu64
               ", \"line\": %" PRIu64 "}",
               t > 0 ? ", " : "", t + 1, HexText(thread.id).c_str(), thread.entries,
               thread.firstLine);
    }
    printf("], \"problemCount\": %" PRIu64 ", \"problems\": ", input.problemCount);
    WriteJsonProblems(stdout, input);
    printf("}");
}

int CheckReports(const std::vector<std::string> &paths, const CommandOptions &options) {
    int status = 0;
    if (options.json) {
        printf("{\"command\": \"check\", \"reports\": [");
    }
    for (size_t i = 0; i < paths.size(); i++) {
        if (options.json && i > 0) {
            printf(", ");
        }
        ReportInput input;
        if (!OpenInputOrSay(input, paths[i])) {
            status = 2;
            if (options.json) {
                printf("{\"file\": %s, \"readable\": false}", JsonString(paths[i]).c_str());
            }
            continue;
        }
        ReadWholeInput(input);
        CloseInput(input);
        if (input.problemCount > 0 && status == 0) {
            status = 1;
        }
        SayProblems(input);
        if (options.json) {
            WriteJson(input);
        } else {
            WriteText(input);
        }
    }
    if (options.json) {
        printf("], \"wellFormed\": %s}\n", status == 0 ? "true" : "false");
    }
    return status;
}
