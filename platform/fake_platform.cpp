// The fake platform: every operation records itself in the log, then answers
// from the script that the test set up.
#include "platform/fake_platform.h"

#include <atomic>
#include <cstdio>
#include <mutex>

static std::mutex fakeMutex;
static FakeScript fakeScript;
static std::vector<FakeCall> fakeCalls;
static FakeCounts fakeCounts;
static size_t nextMemorySample;
static WNDCLASSA registeredClass;
static unsigned(WINAPI *threadStart)(void *);
static thread_local int sectionsHeld;

std::string FakeHex(const void *handle) {
    char text[16];
    snprintf(text, sizeof text, "%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(handle)));
    return text;
}

static void Record(const std::string &text) {
    std::lock_guard<std::mutex> guard(fakeMutex);
    fakeCalls.push_back(FakeCall{text, sectionsHeld > 0});
}

void FakeReset() {
    std::lock_guard<std::mutex> guard(fakeMutex);
    fakeScript = FakeScript{};
    fakeScript.clientRect = RECT{0, 0, 434, 211};
    fakeCalls.clear();
    registeredClass = WNDCLASSA{};
    threadStart = nullptr;
    fakeCounts = FakeCounts{};
    nextMemorySample = 0;
}

FakeScript &FakeScriptOf() {
    return fakeScript;
}

std::vector<FakeCall> FakeCalls() {
    std::lock_guard<std::mutex> guard(fakeMutex);
    return fakeCalls;
}

std::vector<std::string> FakeCallTexts() {
    std::vector<std::string> texts;
    for (const FakeCall &call : FakeCalls()) {
        texts.push_back(call.text);
    }
    return texts;
}

FakeCounts FakeCountsNow() {
    std::lock_guard<std::mutex> guard(fakeMutex);
    return fakeCounts;
}

WNDCLASSA FakeRegisteredClass() {
    return registeredClass;
}

unsigned(WINAPI *FakeThreadStart())(void *) {
    return threadStart;
}

HMODULE FakeImmModule() {
    return FakeHandle<HMODULE>(0x1D110000);
}

static LPINPUTCONTEXT WINAPI FakeImmLockIMC(HIMC context) {
    Record("ImmLockIMC(" + FakeHex(context) + ")");
    std::lock_guard<std::mutex> guard(fakeMutex);
    fakeCounts.lockCounts[reinterpret_cast<uintptr_t>(context)]++;
    auto found = fakeScript.records.find(reinterpret_cast<uintptr_t>(context));
    return found == fakeScript.records.end() ? nullptr : found->second;
}

static BOOL WINAPI FakeImmUnlockIMC(HIMC context) {
    Record("ImmUnlockIMC(" + FakeHex(context) + ")");
    std::lock_guard<std::mutex> guard(fakeMutex);
    fakeCounts.lockCounts[reinterpret_cast<uintptr_t>(context)]--;
    return TRUE;
}

HMODULE LoadLibraryA(LPCSTR fileName) {
    Record(std::string("LoadLibraryA(") + fileName + ")");
    if (fakeScript.failLoadLibrary) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(fakeMutex);
    fakeCounts.modulesLoaded++;
    return FakeImmModule();
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    std::string name = procName;
    Record("GetProcAddress(" + FakeHex(module) + ", " + name + ")");
    if (module != FakeImmModule()) {
        return nullptr;
    }
    if (name == "ImmLockIMC" && !fakeScript.missingLockEntry) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(FakeImmLockIMC));
    }
    if (name == "ImmUnlockIMC" && !fakeScript.missingUnlockEntry) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(FakeImmUnlockIMC));
    }
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    Record("FreeLibrary(" + FakeHex(module) + ")");
    std::lock_guard<std::mutex> guard(fakeMutex);
    fakeCounts.modulesLoaded--;
    return TRUE;
}

void GlobalMemoryStatus(MEMORYSTATUS *buffer) {
    Record("GlobalMemoryStatus(" + std::to_string(buffer->dwLength) + ")");
    std::lock_guard<std::mutex> guard(fakeMutex);
    if (fakeScript.memorySamples.empty()) {
        return;
    }
    const FakeMemorySample &sample =
        fakeScript.memorySamples[nextMemorySample++ % fakeScript.memorySamples.size()];
    buffer->dwAvailPhys = sample.dwAvailPhys;
    buffer->dwAvailVirtual = sample.dwAvailVirtual;
}

DWORD GetCurrentThreadId() {
    static std::atomic<DWORD> nextThreadId{0x100};
    static thread_local DWORD ownThreadId = nextThreadId++;
    Record("GetCurrentThreadId()");
    return fakeScript.threadId != 0 ? fakeScript.threadId : ownThreadId;
}

// Converts as a single-byte code page would: units below 0x100 become that
// byte, others '?'. Like the real one, a length of -1 reads up to and
// including the first NUL, wherever that is.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideText, int wideLength, LPSTR text,
                        int size, LPCSTR defaultChar, BOOL *usedDefaultChar) {
    Record("WideCharToMultiByte(" + std::to_string(codePage) + ", " + std::to_string(flags) + ", " +
           std::to_string(wideLength) + ", " + std::to_string(size) + ")");
    {
        std::lock_guard<std::mutex> guard(fakeMutex);
        fakeCounts.wideCharToMultiByteCalls++;
    }
    if (fakeScript.failWideCharToMultiByte || defaultChar != nullptr ||
        usedDefaultChar != nullptr) {
        return 0;
    }
    int length = wideLength;
    if (length < 0) {
        length = 0;
        while (wideText[length] != 0) {
            length++;
        }
        length++;
    }
    if (size == 0) {
        return length;
    }
    if (length > size) {
        return 0;
    }
    for (int i = 0; i < length; i++) {
        text[i] = wideText[i] < 0x100 ? static_cast<char>(wideText[i]) : '?';
    }
    return length;
}

void InitializeCriticalSection(CRITICAL_SECTION *section) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&section->mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

void DeleteCriticalSection(CRITICAL_SECTION *section) {
    Record("DeleteCriticalSection");
    pthread_mutex_destroy(&section->mutex);
}

void EnterCriticalSection(CRITICAL_SECTION *section) {
    pthread_mutex_lock(&section->mutex);
    sectionsHeld++;
    Record("EnterCriticalSection");
}

void LeaveCriticalSection(CRITICAL_SECTION *section) {
    Record("LeaveCriticalSection");
    sectionsHeld--;
    pthread_mutex_unlock(&section->mutex);
}

HWND GetDlgItem(HWND dialog, int id) {
    Record("GetDlgItem(" + FakeHex(dialog) + ", " + std::to_string(id) + ")");
    auto window = fakeScript.dialogItems.find(reinterpret_cast<uintptr_t>(dialog));
    if (window == fakeScript.dialogItems.end()) {
        return nullptr;
    }
    auto child = window->second.find(id);
    return child == window->second.end() ? nullptr : child->second;
}

HIMC ImmGetContext(HWND window) {
    Record("ImmGetContext(" + FakeHex(window) + ")");
    std::lock_guard<std::mutex> guard(fakeMutex);
    fakeCounts.contextsHeld++;
    auto found = fakeScript.contexts.find(reinterpret_cast<uintptr_t>(window));
    return found == fakeScript.contexts.end() ? nullptr : found->second;
}

BOOL ImmReleaseContext(HWND window, HIMC context) {
    Record("ImmReleaseContext(" + FakeHex(window) + ", " + FakeHex(context) + ")");
    std::lock_guard<std::mutex> guard(fakeMutex);
    fakeCounts.contextsHeld--;
    return TRUE;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    Record(std::string("GetModuleHandleA(") + (moduleName ? moduleName : "NULL") + ")");
    return FakeHandle<HMODULE>(0x00400000);
}

uintptr_t _beginthreadex(void *, unsigned stackSize, unsigned(WINAPI *start)(void *),
                         void *argument, unsigned flags, unsigned *threadId) {
    Record("_beginthreadex(" + std::to_string(stackSize) + ", " + FakeHex(argument) + ", " +
           std::to_string(flags) + ")");
    threadStart = start;
    *threadId = 0x2222;
    return 0x2220;
}

ATOM RegisterClassA(const WNDCLASSA *windowClass) {
    Record(std::string("RegisterClassA(") + windowClass->lpszClassName + ")");
    if (fakeScript.failRegisterClass) {
        return 0;
    }
    registeredClass = *windowClass;
    return 0xC100;
}

// Like the real one, sends WM_CREATE to a window of the registered class
// before returning, and fails if the window procedure answers -1.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE, LPVOID) {
    char arguments[128];
    snprintf(arguments, sizeof arguments, "%X, %s, %s, %08X, %d, %d, %d, %d, ",
             static_cast<unsigned>(exStyle), className, windowName, static_cast<unsigned>(style), x,
             y, width, height);
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(menu));
    Record("CreateWindowExA(" + std::string(arguments) + FakeHex(parent) + ", " +
           std::to_string(id) + ")");
    if (parent == nullptr && fakeScript.failCreateWindow) {
        return nullptr;
    }
    HWND window =
        FakeHandle<HWND>(0x00010000 + 0x10 * static_cast<uint32_t>(++fakeCounts.windowsCreated));
    if (parent != nullptr) {
        fakeScript.dialogItems[reinterpret_cast<uintptr_t>(parent)][id] = window;
    }
    if (registeredClass.lpszClassName != nullptr &&
        std::string(className) == registeredClass.lpszClassName &&
        registeredClass.lpfnWndProc(window, WM_CREATE, 0, 0) == -1) {
        return nullptr;
    }
    return window;
}

BOOL ShowWindow(HWND window, int showCommand) {
    Record("ShowWindow(" + FakeHex(window) + ", " + std::to_string(showCommand) + ")");
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    Record("UpdateWindow(" + FakeHex(window) + ")");
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT *rect) {
    Record("GetClientRect(" + FakeHex(window) + ")");
    *rect = fakeScript.clientRect;
    return TRUE;
}

static std::string MessageText(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char text[64];
    snprintf(text, sizeof text, "%04X, %lu, %ld", message, static_cast<unsigned long>(wParam),
             static_cast<long>(lParam));
    return FakeHex(window) + ", " + text;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Record("PostMessageA(" + MessageText(window, message, wParam, lParam) + ")");
    fakeScript.messages.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    Record("PostQuitMessage(" + std::to_string(exitCode) + ")");
    fakeScript.messages.push_back(
        MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {0, 0}});
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Record("DefWindowProcA(" + MessageText(window, message, wParam, lParam) + ")");
    return 0;
}

BOOL GetMessageA(MSG *message, HWND, UINT, UINT) {
    if (fakeScript.messages.empty()) {
        Record("GetMessageA() = -1");
        return -1;
    }
    *message = fakeScript.messages.front();
    fakeScript.messages.pop_front();
    Record("GetMessageA() = " +
           MessageText(message->hwnd, message->message, message->wParam, message->lParam));
    return message->message == WM_QUIT ? 0 : 1;
}

BOOL TranslateMessage(const MSG *) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG *message) {
    if (registeredClass.lpfnWndProc == nullptr) {
        return 0;
    }
    return registeredClass.lpfnWndProc(message->hwnd, message->message, message->wParam,
                                       message->lParam);
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    Record("LoadIconA(" + FakeHex(instance) + ", " +
           std::to_string(reinterpret_cast<uintptr_t>(name)) + ")");
    return FakeHandle<HICON>(0x1C0);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    Record("LoadCursorA(" + FakeHex(instance) + ", " +
           std::to_string(reinterpret_cast<uintptr_t>(name)) + ")");
    return FakeHandle<HCURSOR>(0x1C1);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    char flags[16];
    snprintf(flags, sizeof flags, "%08X", type);
    Record("MessageBoxA(" + FakeHex(owner) + ", " + text + ", " + (caption ? caption : "NULL") +
           ", " + flags + ")");
    return 1;
}
