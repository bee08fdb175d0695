#include "files/mapped_file.h"

#ifdef _WIN32
// Readers copy on Windows: a view of a file cannot be read past a cut as
// safely, and speed is measured where reports are compared in bulk.
bool MappableFile(FILE *, uint64_t &, uint64_t &) {
    return false;
}

bool MapFileStretch(FileStretch &stretch, FILE *, uint64_t, size_t) {
    stretch = NO_STRETCH;
    return false;
}

void UnmapFileStretch(FileStretch &stretch) {
    stretch = NO_STRETCH;
}

bool FileStretchCut(const FileStretch &) {
    return false;
}
#else
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The stretches mapped now, for the bus error's handler: each slot is taken
// by one stretch at a time.
constexpr int SLOTS = 64;
std::atomic<bool> taken[SLOTS];
std::atomic<uintptr_t> begins[SLOTS];
std::atomic<uintptr_t> ends[SLOTS];
std::atomic<bool> cut[SLOTS];
uintptr_t pageSize;
struct sigaction previous;

// A page of a stretch whose file was cut short: mapped again as zeros, the
// read goes on, and the stretch is marked. Any other bus error is handled as
// it was before.
void OnBusError(int signal, siginfo_t *info, void *context) {
    uintptr_t at = reinterpret_cast<uintptr_t>(info->si_addr);
    for (int s = 0; s < SLOTS; s++) {
        if (taken[s] && at >= begins[s] && at < ends[s]) {
            void *page = reinterpret_cast<void *>(at & ~(pageSize - 1));
            if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
                MAP_FAILED) {
                cut[s] = true;
                return;
            }
        }
    }
    if (previous.sa_flags & SA_SIGINFO) {
        previous.sa_sigaction(signal, info, context);
        return;
    }
    // The default action, or the handler that was there: the fault comes again.
    sigaction(SIGBUS, &previous, nullptr);
}

bool HandleBusErrors() {
    static bool installed = [] {
        pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action = {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        return sigaction(SIGBUS, &action, &previous) == 0;
    }();
    return installed;
}

int TakeSlot() {
    for (int s = 0; s < SLOTS; s++) {
        bool free = false;
        if (taken[s].compare_exchange_strong(free, true)) {
            return s;
        }
    }
    return -1;
}

} // namespace

// The size of a regular file, asked of the system now.
static bool RegularFileSize(FILE *file, uint64_t &size) {
    struct stat status;
    int descriptor = fileno(file);
    if (descriptor < 0 || fstat(descriptor, &status) != 0) {
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        errno = ENODEV;
        return false;
    }
    size = static_cast<uint64_t>(status.st_size);
    return true;
}

bool MappableFile(FILE *file, uint64_t &size, uint64_t &position) {
    off_t at;
    if (!RegularFileSize(file, size) || (at = ftello(file)) < 0) {
        return false;
    }
    position = static_cast<uint64_t>(at);
    return true;
}

bool MapFileStretch(FileStretch &stretch, FILE *file, uint64_t offset, size_t length) {
    UnmapFileStretch(stretch);
    uint64_t size;
    if (!HandleBusErrors() || !RegularFileSize(file, size)) {
        return false;
    }
    if (offset >= size) {
        errno = 0;
        return false;
    }
    uint64_t start = offset & ~static_cast<uint64_t>(pageSize - 1);
    size_t mapped = static_cast<size_t>(std::min<uint64_t>(offset - start + length, size - start));
    int slot = TakeSlot();
    if (slot < 0) {
        errno = EMFILE;
        return false;
    }
    void *bytes = mmap(nullptr, mapped, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fileno(file),
                       static_cast<off_t>(start));
    if (bytes == MAP_FAILED) {
        taken[slot] = false;
        return false;
    }
    cut[slot] = false;
    begins[slot] = reinterpret_cast<uintptr_t>(bytes);
    ends[slot] = reinterpret_cast<uintptr_t>(bytes) + mapped;
    stretch = {static_cast<const char *>(bytes), mapped, start, slot};
    return true;
}

void UnmapFileStretch(FileStretch &stretch) {
    if (stretch.bytes != nullptr) {
        ends[stretch.slot] = 0;
        munmap(const_cast<char *>(stretch.bytes), stretch.size);
        taken[stretch.slot] = false;
    }
    stretch = NO_STRETCH;
}

bool FileStretchCut(const FileStretch &stretch) {
    return stretch.bytes != nullptr && cut[stretch.slot];
}
#endif
