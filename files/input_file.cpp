#include "files/input_file.h"
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
FILE *OpenInputFile(const std::string &path, bool, std::string &error) {
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = "Is a directory";
        return nullptr;
    }
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = strerror(errno);
    }
    return file;
}
bool SeekInputFile(FILE *file, uint64_t offset) {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}
bool IsSameFile(const std::string &path, FILE *file) {
    struct stat a, b;
    return stat(path.c_str(), &a) == 0 && fstat(fileno(file), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}
