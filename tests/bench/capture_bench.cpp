// Times one capture of a real window with its two controls under the real
// platform against its baseline, measured in the same run: the work every
// capture must do, that is the same platform calls (the IMM module and its
// entries, the two controls, the memory samples, the contexts locked,
// unlocked and released, the report lock) and the same entry's lines
// appended through the same kind of stream, with nothing formatted. Also a
// capture into a 1 GiB report against one into a report that started empty.
// Samples of the kinds are interleaved so that drift in the machine's speed
// hits all alike.
// Usage: capture_bench [SAMPLES]   (at least 2,000; default 2,001)
#include "capture/capture.h"
#include "report/report.h"
#include "shell/main_window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

static double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

static double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

static std::string MakeFolder(const std::string &name) {
    CreateDirectoryA(name.c_str(), nullptr);
    DeleteFileA((name + "\\" REPORT_FILE_NAME).c_str());
    return name;
}

// The entry's text as the stream is given it: lines ending in "\n".
static std::vector<std::string> EntryLines(HWND window) {
    SetCurrentDirectoryA(MakeFolder("bench-scratch").c_str());
    CaptureInputContexts(window);
    std::vector<std::string> lines;
    FILE *file = fopen(REPORT_FILE_NAME, "r");
    char line[512];
    while (file != nullptr && fgets(line, sizeof line, file) != nullptr) {
        lines.push_back(line);
    }
    if (file != nullptr) {
        fclose(file);
    }
    SetCurrentDirectoryA("..");
    return lines;
}

static void AppendLines(const std::vector<std::string> &lines) {
    FILE *report = fopen(REPORT_FILE_NAME, "a");
    char buffer[512];
    setvbuf(report, buffer, _IOFBF, sizeof buffer);
    for (const std::string &line : lines) {
        fputs(line.c_str(), report);
    }
    fflush(report);
    fclose(report);
}

// The platform calls of one capture, in its order, with the lines appended
// under the report lock.
static void CaptureWork(HWND window, const std::vector<std::string> &lines) {
    MEMORYSTATUS memoryStatus = {};
    memoryStatus.dwLength = sizeof memoryStatus;
    HMODULE imm = LoadLibraryA("imm32.dll");
    auto lockIMC = reinterpret_cast<ImmLockIMCProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(imm, "ImmLockIMC")));
    auto unlockIMC = reinterpret_cast<ImmUnlockIMCProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(imm, "ImmUnlockIMC")));
    HWND windows[3] = {window, GetDlgItem(window, ID_BUTTON), GetDlgItem(window, ID_EDIT)};
    HIMC contexts[3];
    for (int n = 0; n < 3; n++) {
        GlobalMemoryStatus(&memoryStatus);
        contexts[n] = ImmGetContext(windows[n]);
    }
    for (HIMC context : contexts) {
        lockIMC(context);
    }
    GetCurrentThreadId();
    EnterCriticalSection(&ReportLock);
    AppendLines(lines);
    LeaveCriticalSection(&ReportLock);
    for (int n = 2; n >= 0; n--) {
        unlockIMC(contexts[n]);
    }
    for (int n = 2; n >= 0; n--) {
        ImmReleaseContext(windows[n], contexts[n]);
    }
    FreeLibrary(imm);
}

// A report of 1 GiB: sparse where the file system allows it.
static void MakeHugeReport(const std::string &folder) {
    HANDLE file = CreateFileA((folder + "\\" REPORT_FILE_NAME).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 1LL << 30;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

int main(int argc, char **argv) {
    int samples = argc > 1 ? std::max(atoi(argv[1]), 2000) : 2001;
    InitializeCriticalSection(&ReportLock);
    RegisterMainClass(GetModuleHandleA(nullptr));
    HWND window = CreateMainWindow("ThreadInputContext #1");

    std::vector<std::string> lines = EntryLines(window);
    std::string text;
    for (const std::string &line : lines) {
        text += line;
    }
    std::string empty = MakeFolder("bench-empty");
    std::string huge = MakeFolder("bench-huge");
    std::string baseline = MakeFolder("bench-baseline");
    MakeHugeReport(huge);

    std::vector<double> capture, captureHuge, work, appends;
    for (int i = 0; i < samples; i++) {
        SetCurrentDirectoryA(empty.c_str());
        double start = Now();
        CaptureInputContexts(window);
        capture.push_back(Now() - start);
        SetCurrentDirectoryA(("..\\" + huge).c_str());
        start = Now();
        CaptureInputContexts(window);
        captureHuge.push_back(Now() - start);
        SetCurrentDirectoryA(("..\\" + baseline).c_str());
        start = Now();
        CaptureWork(window, lines);
        work.push_back(Now() - start);
        start = Now();
        AppendLines(lines);
        appends.push_back(Now() - start);
        SetCurrentDirectoryA("..");
    }
    DeleteFileA((huge + "\\" REPORT_FILE_NAME).c_str());

    double medianCapture = Median(capture);
    printf("entry: %zu lines, %zu bytes before line-end expansion\n", lines.size(), text.size());
    printf("samples of each kind: %d\n", samples);
    printf("capture, median:                         %8.1f us\n", medianCapture * 1e6);
    printf("baseline, its calls and appends, median: %8.1f us\n", Median(work) * 1e6);
    printf("the appends alone, median:               %8.1f us\n", Median(appends) * 1e6);
    printf("capture into a 1 GiB report, median:     %8.1f us\n", Median(captureHuge) * 1e6);
    printf("ratio capture / baseline:                %8.2f\n", medianCapture / Median(work));
    printf("ratio 1 GiB / empty report:              %8.2f\n", Median(captureHuge) / medianCapture);
    return 0;
}
