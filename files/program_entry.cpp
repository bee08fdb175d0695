#include "files/program_entry.h"
int main(int argc, char **argv) {
    return RunReportTool(std::vector<std::string>(argv + 1, argv + argc));
}
