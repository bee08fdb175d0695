#include "files/output_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include "files/system_error.h"
#include "files/wide_text.h"

#include <fcntl.h>
#include <io.h>
#include <iterator>
#include <windows.h>

static const char PathSeparators[] = "/\\:";
// The temporary file being written, for the cleanup at exit or on Ctrl-C.
static wchar_t pendingPath[32768];
static volatile LONG pending;

// Runs on a thread of its own on Ctrl-C, Ctrl-Break or the console's closing;
// the file is still open, which FILE_SHARE_DELETE allows deleting.
static BOOL WINAPI RemovePendingOnControl(DWORD) {
    if (pending) {
        DeleteFileW(pendingPath);
    }
    return FALSE; // the default handler ends the program
}

static void RemovePendingAtExit() {
    if (pending) {
        DeleteFileW(pendingPath);
        pending = 0;
    }
}

static void InstallCleanup() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        atexit(RemovePendingAtExit);
        SetConsoleCtrlHandler(RemovePendingOnControl, TRUE);
    }
}

static unsigned long ProcessId() {
    return GetCurrentProcessId();
}

static FILE *StreamOf(HANDLE handle, std::string &error) {
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (descriptor < 0) {
        error = strerror(errno);
        CloseHandle(handle);
        return nullptr;
    }
    FILE *stream = _fdopen(descriptor, "wb");
    if (stream == nullptr) {
        error = strerror(errno);
        _close(descriptor);
    }
    return stream;
}

// Refuses what cannot be replaced, and opens a device or a pipe directly.
static bool PrepareOutput(OutputFile &output, std::string &error) {
    std::wstring name = WideFromUtf8(output.path);
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "Is a directory";
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        error = strerror(EACCES);
        return false;
    }
    HANDLE existing = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    if (existing == INVALID_HANDLE_VALUE) {
        return true;
    }
    if (GetFileType(existing) == FILE_TYPE_DISK) {
        CloseHandle(existing);
        return true;
    }
    output.stream = StreamOf(existing, error);
    return output.stream != nullptr;
}

static void RemovePending(const std::string &path) {
    DeleteFileW(WideFromUtf8(path).c_str());
    pending = 0;
}

static FILE *CreateTemporary(const std::string &path, bool &taken, std::string &error) {
    std::wstring name = WideFromUtf8(path);
    if (name.size() >= std::size(pendingPath)) {
        error = strerror(ENAMETOOLONG);
        return nullptr;
    }
    InstallCleanup();
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        taken = code == ERROR_FILE_EXISTS;
        error = SystemErrorText(code);
        return nullptr;
    }
    wcscpy(pendingPath, name.c_str());
    pending = 1;
    FILE *stream = StreamOf(handle, error);
    if (stream == nullptr) {
        RemovePending(path);
    }
    return stream;
}

static bool SyncFile(FILE *stream) {
    return _commit(_fileno(stream)) == 0;
}

static bool ReplaceFile(const std::string &from, const std::string &to, std::string &error) {
    if (!MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = SystemErrorText(GetLastError());
        return false;
    }
    pending = 0;
    return true;
}
#else
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static const char PathSeparators[] = "/";
// The temporary file being written, for the cleanup at exit or on a signal.
static char pendingPath[PATH_MAX];
static volatile sig_atomic_t pending;
static const int CleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Async-signal-safe: removes the file, then dies of the signal as it would have.
static void RemovePendingOnSignal(int signal) {
    if (pending) {
        unlink(pendingPath);
    }
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    raise(signal);
}

static void RemovePendingAtExit() {
    if (pending) {
        unlink(pendingPath);
        pending = 0;
    }
}

// The file and `pending` change together, never seen half-done by the handler.
static sigset_t BlockCleanupSignals() {
    sigset_t block;
    sigset_t old;
    sigemptyset(&block);
    for (int signal : CleanupSignals) {
        sigaddset(&block, signal);
    }
    sigprocmask(SIG_BLOCK, &block, &old);
    return old;
}

static void InstallCleanup() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    atexit(RemovePendingAtExit);
    struct sigaction action = {};
    action.sa_handler = RemovePendingOnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : CleanupSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    for (int signal : CleanupSignals) {
        // A signal ignored by whoever started us (nohup) stays ignored.
        struct sigaction old;
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
}

static unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

// Refuses what cannot be replaced, opens a device or a FIFO directly, and
// follows a symbolic link so that the link stays.
static bool PrepareOutput(OutputFile &output, std::string &error) {
    struct stat status;
    if (stat(output.path.c_str(), &status) != 0) {
        return true;
    }
    if (S_ISDIR(status.st_mode)) {
        error = "Is a directory";
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        output.stream = fopen(output.path.c_str(), "wb");
        if (output.stream == nullptr) {
            error = strerror(errno);
        }
        return output.stream != nullptr;
    }
    if (access(output.path.c_str(), W_OK) != 0) {
        error = strerror(errno);
        return false;
    }
    struct stat link;
    if (lstat(output.path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char *target = realpath(output.path.c_str(), nullptr);
        if (target != nullptr) {
            output.path = target;
            free(target);
        }
    }
    return true;
}

static void RemovePending(const std::string &path) {
    sigset_t old = BlockCleanupSignals();
    unlink(path.c_str());
    pending = 0;
    sigprocmask(SIG_SETMASK, &old, nullptr);
}

static FILE *CreateTemporary(const std::string &path, bool &taken, std::string &error) {
    if (path.size() >= sizeof pendingPath) {
        error = strerror(ENAMETOOLONG);
        return nullptr;
    }
    InstallCleanup();
    sigset_t old = BlockCleanupSignals();
    // 0666: the umask gives the page the permissions of any new file.
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    int reason = errno;
    if (descriptor >= 0) {
        memcpy(pendingPath, path.c_str(), path.size() + 1);
        pending = 1;
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
    if (descriptor < 0) {
        taken = reason == EEXIST;
        error = strerror(reason);
        return nullptr;
    }
    FILE *stream = fdopen(descriptor, "wb");
    if (stream == nullptr) {
        error = strerror(errno);
        close(descriptor);
        RemovePending(path);
    }
    return stream;
}

static bool SyncFile(FILE *stream) {
    return fsync(fileno(stream)) == 0;
}

static bool ReplaceFile(const std::string &from, const std::string &to, std::string &error) {
    sigset_t old = BlockCleanupSignals();
    bool replaced = rename(from.c_str(), to.c_str()) == 0;
    int reason = errno;
    if (replaced) {
        pending = 0;
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
    if (!replaced) {
        error = strerror(reason);
    }
    return replaced;
}
#endif

// A hidden name of this process's own in path's folder, short whatever path's
// name is.
static std::string TemporaryPathBeside(const std::string &path, unsigned number) {
    size_t separator = path.find_last_of(PathSeparators);
    return path.substr(0, separator == std::string::npos ? 0 : separator + 1) + ".vantorel-" +
           std::to_string(ProcessId()) + "-" + std::to_string(number) + ".tmp";
}

bool BeginOutputFile(OutputFile &output, const std::string &path, std::string &error) {
    output = OutputFile{};
    output.path = path;
    if (!PrepareOutput(output, error) || output.stream != nullptr) {
        return output.stream != nullptr;
    }
    static unsigned made = 0;
    bool taken = true;
    for (int attempt = 0; taken && attempt < 100; attempt++) {
        taken = false;
        std::string temporary = TemporaryPathBeside(output.path, made++);
        output.stream = CreateTemporary(temporary, taken, error);
        if (output.stream != nullptr) {
            output.temporaryPath = temporary;
            return true;
        }
    }
    return false;
}

FILE *OutputStream(const OutputFile &output) {
    return output.stream;
}

bool CommitOutputFile(OutputFile &output, std::string &error) {
    bool direct = output.temporaryPath.empty();
    bool written = fflush(output.stream) == 0;
    if (!written) {
        error = strerror(errno);
    } else if (ferror(output.stream)) {
        written = false;
        error = "a write failed";
    } else if (!direct && !SyncFile(output.stream)) {
        written = false;
        error = strerror(errno);
    }
    if (fclose(output.stream) != 0 && written) {
        written = false;
        error = strerror(errno);
    }
    output.stream = nullptr;
    if (!direct) {
        written = written && ReplaceFile(output.temporaryPath, output.path, error);
        if (!written) {
            RemovePending(output.temporaryPath);
        }
        output.temporaryPath.clear();
    }
    return written;
}

void AbandonOutputFile(OutputFile &output) {
    if (output.stream != nullptr) {
        fclose(output.stream);
        output.stream = nullptr;
    }
    if (!output.temporaryPath.empty()) {
        RemovePending(output.temporaryPath);
        output.temporaryPath.clear();
    }
}
