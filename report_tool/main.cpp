// The report tool's start: its arguments as UTF-8.
#include "report_tool/run.h"

#include <cstdio>

#ifdef _WIN32
#include "files/wide_text.h"

#include <cstdlib>
#include <windows.h>

// The C runtime expands wildcards in the arguments before wmain, as a
// Windows user expects of a command-line tool.
extern "C" {
int _dowildcard = -1;
}

static UINT consoleOutputCodePage;

static void RestoreConsoleOutputCodePage() {
    SetConsoleOutputCP(consoleOutputCodePage);
}

extern "C" int wmain(int argc, wchar_t **argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; i++) {
        arguments.push_back(Utf8FromWide(argv[i]));
    }
    // The tool writes UTF-8; the console shows it as such, names included.
    consoleOutputCodePage = GetConsoleOutputCP();
    if (consoleOutputCodePage != 0 && SetConsoleOutputCP(CP_UTF8)) {
        atexit(RestoreConsoleOutputCodePage);
    }
    return RunReportTool(arguments);
}
#else
int main(int argc, char **argv) {
    return RunReportTool(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
