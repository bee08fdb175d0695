#include "files/input_file.h"
#include "files/temporary_file.h"

#include <cerrno>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include "files/wide_text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

static HANDLE SystemHandle(FILE *file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

// Standard input through a descriptor of its own, so that closing it leaves
// standard input open.
static FILE *OpenStandardInput() {
    int descriptor = _dup(_fileno(stdin));
    if (descriptor < 0) {
        return nullptr;
    }
    _setmode(descriptor, _O_BINARY);
    FILE *file = _fdopen(descriptor, "rb");
    if (file == nullptr) {
        int reason = errno;
        _close(descriptor);
        errno = reason;
    }
    return file;
}

static FILE *OpenSource(const std::string &path, std::string &error) {
    FILE *file = nullptr;
    if (path == "-") {
        file = OpenStandardInput();
    } else {
        std::wstring name = WideFromUtf8(path);
        DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            error = "Is a directory";
            return nullptr;
        }
        file = _wfopen(name.c_str(), L"rb");
    }
    if (file == nullptr) {
        error = strerror(errno);
    }
    return file;
}

static bool SeekableFromStart(FILE *file) {
    return GetFileType(SystemHandle(file)) == FILE_TYPE_DISK &&
           _lseeki64(_fileno(file), 0, SEEK_CUR) == 0;
}

bool SeekInputFile(FILE *file, uint64_t offset) {
    return offset <= INT64_MAX && _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
}

bool IsSameFile(const std::string &path, FILE *file) {
    HANDLE named = CreateFileW(WideFromUtf8(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    bool same = GetFileInformationByHandle(named, &a) &&
                GetFileInformationByHandle(SystemHandle(file), &b) &&
                a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(named);
    return same;
}

// Windows' named pipes are not named as files are, and a FIFO is no file.
bool IsOnePipe(const std::string &, const std::string &) {
    return false;
}
#else
#include <sys/stat.h>
#include <unistd.h>

static FILE *OpenSource(const std::string &path, std::string &error) {
    FILE *file = nullptr;
    if (path == "-") {
        // A descriptor of its own, so that closing it leaves standard input open.
        int descriptor = dup(STDIN_FILENO);
        file = descriptor < 0 ? nullptr : fdopen(descriptor, "rb");
        if (file == nullptr && descriptor >= 0) {
            int reason = errno;
            close(descriptor);
            errno = reason;
        }
    } else {
        file = fopen(path.c_str(), "rb");
    }
    if (file == nullptr) {
        error = strerror(errno);
        return nullptr;
    }
    struct stat status;
    if (fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        fclose(file);
        error = "Is a directory";
        return nullptr;
    }
    return file;
}

static bool SeekableFromStart(FILE *file) {
    return lseek(fileno(file), 0, SEEK_CUR) == 0;
}

bool SeekInputFile(FILE *file, uint64_t offset) {
    static_assert(sizeof(off_t) == 8, "64-bit file offsets");
    return offset <= INT64_MAX && fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool IsOnePipe(const std::string &a, const std::string &b) {
    struct stat named[2];
    return a != "-" && b != "-" && stat(a.c_str(), &named[0]) == 0 &&
           stat(b.c_str(), &named[1]) == 0 && !S_ISREG(named[0].st_mode) &&
           named[0].st_dev == named[1].st_dev && named[0].st_ino == named[1].st_ino;
}

bool IsSameFile(const std::string &path, FILE *file) {
    struct stat named;
    struct stat open;
    return stat(path.c_str(), &named) == 0 && fstat(fileno(file), &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}
#endif

// Copies what is left of source into a temporary file, positioned at 0.
static FILE *CopyToTemporaryFile(FILE *source, const std::string &what, std::string &error) {
    std::string reason;
    FILE *copy = OpenTemporaryFile(reason);
    if (copy == nullptr) {
        error = "cannot copy " + what + " to a temporary file: " + reason;
        return nullptr;
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
        size_t got = fread(buffer.data(), 1, buffer.size(), source);
        if (got < buffer.size() && ferror(source)) {
            error = strerror(errno);
            break;
        }
        if (got > 0 && fwrite(buffer.data(), 1, got, copy) != got) {
            error = "cannot copy " + what + " to a temporary file: " + strerror(errno);
            break;
        }
        if (got < buffer.size()) {
            if (fflush(copy) == 0 && fseek(copy, 0, SEEK_SET) == 0) {
                return copy;
            }
            error = "cannot copy " + what + " to a temporary file: " + strerror(errno);
            break;
        }
    }
    fclose(copy);
    return nullptr;
}

FILE *OpenInputFile(const std::string &path, bool mustSeek, std::string &error) {
    FILE *file = OpenSource(path, error);
    if (file == nullptr || !mustSeek || SeekableFromStart(file)) {
        return file;
    }
    FILE *copy = CopyToTemporaryFile(file, path == "-" ? "standard input" : "it", error);
    fclose(file);
    return copy;
}
