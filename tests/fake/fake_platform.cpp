// The fake platform: operations log themselves and answer from the script.
// Report files are written as the Windows C runtime writes them: a stream
// opened for writing in text mode stores each line feed as CR LF.
#include "fake_platform.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

FakeScript fake;
std::vector<std::string> fakeLog;
std::vector<FakeWindow> fakeWindows;
WNDCLASSA fakeClass;
static std::mutex logMutex;
static std::map<std::thread::id, DWORD> threadIds;
static DWORD samples;
static thread_local std::deque<MSG> queue;

static std::string Hex(const void *handle) {
    char text[16];
    snprintf(text, sizeof text, "%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(handle)));
    return text;
}

static void Log(const std::string &call) {
    std::lock_guard<std::mutex> guard(logMutex);
    fakeLog.push_back(call);
}

static void Log(const char *name, const void *handle, const std::string &more = "") {
    Log(name + ("(" + Hex(handle)) + more + ")");
}

void FakeReset() {
    fake = FakeScript{};
    fakeLog.clear();
    fakeWindows.clear();
    threadIds.clear();
    samples = 0;
    fakeClass = WNDCLASSA{};
    queue.clear();
}

static LPINPUTCONTEXT WINAPI FakeLockIMC(HIMC context) {
    Log("ImmLockIMC", context);
    return fake.records.count(reinterpret_cast<uintptr_t>(context))
               ? fake.records[reinterpret_cast<uintptr_t>(context)]
               : nullptr;
}

static BOOL WINAPI FakeUnlockIMC(HIMC context) {
    Log("ImmUnlockIMC", context);
    return TRUE;
}

HMODULE LoadLibraryA(LPCSTR name) {
    Log(std::string("LoadLibraryA(") + name + ")");
    return fake.failLoadLibrary ? nullptr : FakeHandle<HMODULE>(0x1D110000);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    Log("GetProcAddress", module, std::string(", ") + name);
    void (*entry)() = nullptr;
    if (strcmp(name, "ImmLockIMC") == 0 && !fake.missingLockEntry) {
        entry = reinterpret_cast<void (*)()>(FakeLockIMC);
    } else if (strcmp(name, "ImmUnlockIMC") == 0 && !fake.missingUnlockEntry) {
        entry = reinterpret_cast<void (*)()>(FakeUnlockIMC);
    }
    return reinterpret_cast<FARPROC>(entry);
}

BOOL FreeLibrary(HMODULE module) {
    Log("FreeLibrary", module);
    return TRUE;
}

// Sample k of a run shows 0x000k0000 bytes of physical memory free.
void GlobalMemoryStatus(MEMORYSTATUS *status) {
    Log("GlobalMemoryStatus(" + std::to_string(status->dwLength) + ")");
    samples++;
    status->dwAvailPhys = samples << 16;
    status->dwAvailVirtual = 0x7F000000 + samples;
}

DWORD GetCurrentThreadId() {
    std::lock_guard<std::mutex> guard(logMutex);
    return threadIds.try_emplace(std::this_thread::get_id(), 0x100 + threadIds.size())
        .first->second;
}

// A double-byte code page: a unit below 0x100 is that byte, any other two
// bytes. As the real one: length -1 reads through the first NUL, and output
// that does not fit gives 0.
int WideCharToMultiByte(UINT, DWORD, LPCWSTR wide, int wideLength, LPSTR text, int size, LPCSTR,
                        BOOL *) {
    Log("WideCharToMultiByte(" + std::to_string(wideLength) + ", " + std::to_string(size) + ")");
    std::string bytes;
    for (int i = 0; wideLength < 0 ? i == 0 || wide[i - 1] != 0 : i < wideLength; i++) {
        bytes += wide[i] < 0x100 ? std::string(1, static_cast<char>(wide[i]))
                                 : std::string{'\x82', static_cast<char>(0xA0 + (wide[i] & 0x1F))};
    }
    if (fake.failConversion || bytes.size() > static_cast<size_t>(size)) {
        return 0;
    }
    memcpy(text, bytes.data(), bytes.size());
    return static_cast<int>(bytes.size());
}

void InitializeCriticalSection(CRITICAL_SECTION *section) {
    pthread_mutexattr_t recursive;
    pthread_mutexattr_init(&recursive);
    pthread_mutexattr_settype(&recursive, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&section->mutex, &recursive);
    section->ready = true;
}

void DeleteCriticalSection(CRITICAL_SECTION *section) {
    section->ready = false;
    pthread_mutex_destroy(&section->mutex);
}

void EnterCriticalSection(CRITICAL_SECTION *section) {
    Log(section->ready ? "EnterCriticalSection" : "EnterCriticalSection on a lock not set up");
    pthread_mutex_lock(&section->mutex);
}

void LeaveCriticalSection(CRITICAL_SECTION *section) {
    Log("LeaveCriticalSection");
    pthread_mutex_unlock(&section->mutex);
}

// The new thread runs to its end at once: what it does comes before anything
// the starting thread does next.
uintptr_t _beginthreadex(void *, unsigned, unsigned(WINAPI *start)(void *), void *argument,
                         unsigned, unsigned *threadId) {
    std::thread([&] {
        *threadId = GetCurrentThreadId();
        start(argument);
    }).join();
    return 1;
}

HIMC ImmGetContext(HWND window) {
    Log("ImmGetContext", window);
    auto found = fake.contexts.find(reinterpret_cast<uintptr_t>(window));
    return found == fake.contexts.end() ? nullptr : found->second;
}

BOOL ImmReleaseContext(HWND window, HIMC context) {
    Log("ImmReleaseContext", window, ", " + Hex(context));
    return TRUE;
}

HWND GetDlgItem(HWND window, int id) {
    Log("GetDlgItem", window, ", " + std::to_string(id));
    auto &children = fake.children[reinterpret_cast<uintptr_t>(window)];
    return children.count(id) ? children[id] : nullptr;
}

WORD RegisterClassA(const WNDCLASSA *windowClass) {
    fakeClass = fake.failRegisterClass ? WNDCLASSA{} : *windowClass;
    return !fake.failRegisterClass;
}

// As the real one, sends WM_CREATE to a window of the registered class
// before it returns.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE, void *) {
    if (parent == nullptr && fake.failCreateWindow) {
        return nullptr;
    }
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(menu));
    fakeWindows.push_back({className, title, exStyle, style, x, y, width, height, id, parent});
    HWND window = FakeHandle<HWND>(0x00010000 + 0x10 * static_cast<uint32_t>(fakeWindows.size()));
    if (parent != nullptr) {
        fake.children[reinterpret_cast<uintptr_t>(parent)][id] = window;
    } else if (fakeClass.lpfnWndProc != nullptr) {
        fakeClass.lpfnWndProc(window, WM_CREATE, 0, 0);
    }
    return window;
}

BOOL GetClientRect(HWND, RECT *rect) {
    *rect = RECT{0, 0, 434, 211};
    return TRUE;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    queue.push_back(MSG{window, message, wParam, lParam});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    PostMessageA(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

// A thread's queue running dry stands for an error: -1.
BOOL GetMessageA(MSG *message, HWND, UINT, UINT) {
    if (queue.empty()) {
        return -1;
    }
    *message = queue.front();
    queue.pop_front();
    return message->message != WM_QUIT;
}

// A key pressed gives the character it types, as the real one does.
BOOL TranslateMessage(const MSG *message) {
    if (message->message == WM_KEYDOWN) {
        PostMessageA(message->hwnd, WM_CHAR, message->wParam, message->lParam);
    }
    return message->message == WM_KEYDOWN;
}

// The tool's windows get their messages; those for controls are logged.
LRESULT DispatchMessageA(const MSG *message) {
    size_t n = (reinterpret_cast<uintptr_t>(message->hwnd) - 0x00010000) / 0x10;
    if (n - 1 < fakeWindows.size() && fakeWindows[n - 1].parent == nullptr) {
        return fakeClass.lpfnWndProc(message->hwnd, message->message, message->wParam,
                                     message->lParam);
    }
    Log("DispatchMessageA", message->hwnd, ", " + std::to_string(message->message));
    return 0;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Log("MessageBoxA", owner,
        std::string(", ") + text + ", " + (caption ? caption : "NULL") + ", " +
            std::to_string(type));
    return 1;
}

// The C runtime's streams for writing (the tests link with --wrap=fopen):
// each physical write is logged.
static ssize_t FakeWrite(void *descriptor, const char *data, size_t size) {
    Log("write " + std::to_string(size));
    std::string bytes;
    for (size_t i = 0; i < size; i++) {
        bytes += data[i] == '\n' ? "\r\n" : std::string(1, data[i]);
    }
    return write(static_cast<int>(reinterpret_cast<intptr_t>(descriptor)), bytes.data(),
                 bytes.size()) < 0
               ? -1
               : static_cast<ssize_t>(size);
}

static ssize_t FakeWriteBinary(void *descriptor, const char *data, size_t size) {
    Log("write " + std::to_string(size));
    return write(static_cast<int>(reinterpret_cast<intptr_t>(descriptor)), data, size);
}

static int FakeClose(void *descriptor) {
    Log("close");
    return close(static_cast<int>(reinterpret_cast<intptr_t>(descriptor)));
}

extern "C" FILE *__real_fopen(const char *path, const char *mode);

extern "C" FILE *__wrap_fopen(const char *path, const char *mode) {
    if (strpbrk(mode, "aw") == nullptr) {
        return __real_fopen(path, mode);
    }
    int descriptor = open(path, O_WRONLY | O_CREAT | (mode[0] == 'a' ? O_APPEND : O_TRUNC), 0644);
    Log(std::string("fopen(") + path + ", " + mode + (descriptor < 0 ? ") failed" : ")"));
    bool text = strchr(mode, 'b') == nullptr;
    cookie_io_functions_t functions = {nullptr, text ? FakeWrite : FakeWriteBinary, nullptr,
                                       FakeClose};
    return descriptor < 0 ? nullptr
                          : fopencookie(reinterpret_cast<void *>(descriptor), "w", functions);
}
