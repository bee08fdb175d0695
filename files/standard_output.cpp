#include "files/standard_output.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
bool FinishStandardOutput(std::string &error) {
    if (fflush(stdout) != 0 || ferror(stdout)) {
        error = std::string("write error: ") + strerror(errno);
        return false;
    }
    return true;
}
