#include "files/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool FinishStandardOutput(std::string &error) {
    if (fflush(stdout) != 0) {
        error = std::string("write error: ") + strerror(errno);
        return false;
    }
    // A write that failed earlier, its reason gone with its buffer.
    if (ferror(stdout)) {
        error = "write error";
        return false;
    }
    return true;
}
