// Writes two reports for the report tool's benchmark through the tool's own
// writer: entries of two threads interleaved as the tool writes them, varied
// values, CR LF line ends as on Windows, until the first report holds SIZE
// bytes. An entry's IMM facts follow from its thread and index alone; the
// second report is another run: other handles, thread ids and memory
// samples, the same facts but for a few planted differences, listed on
// stdout.
// Usage: report_gen SIZE A B
#include "fake_platform.h"
#include "report/report.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A small fast generator, so that the same seed gives the same values.
static uint64_t Mix(uint64_t value) {
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDULL;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53ULL;
    return value ^ (value >> 33);
}

struct Random {
    uint64_t state;
};

static uint32_t Next(Random &random, uint32_t below) {
    random.state = Mix(random.state + 0x9E3779B97F4A7C15ULL);
    return static_cast<uint32_t>(random.state % below);
}

template <typename T> static T Handle(uint32_t value) {
    return reinterpret_cast<T>(static_cast<uintptr_t>(value));
}

// The handles of one thread in one run.
struct ThreadHandles {
    DWORD threadId;
    uint32_t window, button, edit;
    uint32_t sharedContext, editContext;
    uint32_t compStr, candInfo, guideLine, msgBuf;
};

static ThreadHandles MakeHandles(int run, int thread) {
    uint32_t base =
        (run == 0 ? 0x00010000u : 0x004A0000u) + static_cast<uint32_t>(thread) * 0x2000u;
    uint32_t heap = (run == 0 ? 0x00151000u : 0x00263000u) + static_cast<uint32_t>(thread) * 0x800u;
    return {(run == 0 ? 0x00000F2Cu : 0x000013A0u) + static_cast<DWORD>(thread) * 0x24u,
            base + 0x0A2C,
            base + 0x0B3E,
            base + 0x0C40,
            base + 0x1001,
            base + 0x1002,
            heap + 0x10,
            heap + 0x230,
            heap + 0x4A8,
            heap + 0x5C0};
}

static const char16_t *const FaceNames[] = {u"MS Shell Dlg", u"MS UI Gothic", u"Tahoma",
                                            u"Segoe UI"};

// A context's record: mostly the same from entry to entry, as the IMM keeps
// it, with the open status, conversion mode and forms moving with typing.
static void MakeRecord(Random &facts, const ThreadHandles &handles, uint32_t window,
                       INPUTCONTEXT &record) {
    record = INPUTCONTEXT{};
    record.hWnd = Handle<HWND>(window);
    record.fOpen = Next(facts, 4) == 0 ? 1 : 0;
    record.ptStatusWndPos = {static_cast<LONG>(Next(facts, 1920)),
                             static_cast<LONG>(Next(facts, 1080))};
    record.ptSoftKbdPos = {-1, -1};
    static const DWORD Conversions[] = {0x00000000, 0x00000009, 0x00000019, 0x0000001B};
    record.fdwConversion = Conversions[Next(facts, 4)];
    record.fdwSentence = 0x00000008;
    LOGFONTW &font = record.lfFont.W;
    font.lfHeight = -static_cast<LONG>(10 + Next(facts, 8));
    font.lfWeight = Next(facts, 8) == 0 ? 700 : 400;
    font.lfCharSet = Next(facts, 2) == 0 ? 0 : 128;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 1;
    font.lfPitchAndFamily = 49;
    const char16_t *face = FaceNames[Next(facts, 4)];
    memcpy(font.lfFaceName, face, (std::char_traits<char16_t>::length(face) + 1) * sizeof *face);
    record.cfCompForm.dwStyle = Next(facts, 2) == 0 ? 0x00000000 : 0x00000002;
    record.cfCompForm.ptCurrentPos = {static_cast<LONG>(Next(facts, 800)),
                                      static_cast<LONG>(Next(facts, 600))};
    record.cfCompForm.rcArea = {0, 0, 434, 211};
    record.cfCandForm[0].dwStyle = 0x00000040;
    record.cfCandForm[0].ptCurrentPos = record.cfCompForm.ptCurrentPos;
    for (int n = 1; n < 4; n++) {
        record.cfCandForm[n].dwIndex = 0xFFFFFFFF;
    }
    record.hCompStr = Handle<HIMCC>(handles.compStr);
    record.hCandInfo = Handle<HIMCC>(handles.candInfo);
    record.hGuideLine = Handle<HIMCC>(handles.guideLine);
    record.dwNumMsgBuf = Next(facts, 3);
    record.hMsgBuf = Handle<HIMCC>(handles.msgBuf);
    record.fdwInit = 0x0000003F;
}

// One entry's records, as both reports show them but for planted changes.
struct EntryRecords {
    INPUTCONTEXT records[3];
    bool present[3];
    bool editContext; // the edit control has a context of its own
};

static void MakeFacts(int thread, uint64_t index, const ThreadHandles &handles,
                      EntryRecords &made) {
    Random facts = {Mix(static_cast<uint64_t>(thread) << 40 ^ index)};
    // Now and then the edit control has no context and pic3 is "(null)".
    made.editContext = index % 97 != 5;
    uint32_t windows[3] = {handles.window, handles.button, handles.edit};
    for (int n = 0; n < 3; n++) {
        made.present[n] = n < 2 || made.editContext;
        MakeRecord(facts, handles, windows[n], made.records[n]);
    }
}

// A difference planted in the second report: thread, index within it, the
// member diff names, and the change.
struct Planted {
    int thread;
    uint64_t index;
    const char *member;
    void (*change)(EntryRecords &made);
};

// Writes an entry's text with CR LF line ends; returns its size.
static size_t WriteEntry(FILE *out, const ReportEntry &entry) {
    static char text[16384];
    static char crLf[2 * sizeof text];
    FILE *memory = fmemopen(text, sizeof text, "w");
    WriteReportEntry(memory, entry);
    size_t length = static_cast<size_t>(ftell(memory));
    fclose(memory);
    size_t used = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] == '\n') {
            crLf[used++] = '\r';
        }
        crLf[used++] = text[i];
    }
    fwrite(crLf, 1, used, out);
    return used;
}

static size_t WriteOne(FILE *out, int run, int thread, const EntryRecords &made, Random &samples) {
    ThreadHandles handles = MakeHandles(run, thread);
    ReportEntry entry = {};
    entry.threadId = handles.threadId;
    entry.window = Handle<HWND>(handles.window);
    entry.button = Handle<HWND>(handles.button);
    entry.edit = Handle<HWND>(handles.edit);
    entry.hIMC1 = Handle<HIMC>(handles.sharedContext);
    entry.hIMC2 = Handle<HIMC>(handles.sharedContext);
    entry.hIMC3 = Handle<HIMC>(made.editContext ? handles.editContext : 0);
    DWORD *memory[6] = {&entry.dwAP1, &entry.dwAV1, &entry.dwAP2,
                        &entry.dwAV2, &entry.dwAP3, &entry.dwAV3};
    for (int i = 0; i < 6; i++) {
        *memory[i] = (i % 2 == 0 ? 0x3F000000u : 0x7FE00000u) + Next(samples, 0x01000000);
    }
    entry.pic1 = made.present[0] ? &made.records[0] : nullptr;
    entry.pic2 = made.present[1] ? &made.records[1] : nullptr;
    entry.pic3 = made.present[2] ? &made.records[2] : nullptr;
    return WriteEntry(out, entry);
}

int main(int argc, char **argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: report_gen SIZE A B\n");
        return 2;
    }
    long long size = atoll(argv[1]);
    FILE *out[2] = {fopen(argv[2], "wb"), fopen(argv[3], "wb")};
    if (size <= 0 || out[0] == nullptr || out[1] == nullptr) {
        fprintf(stderr, "report_gen: bad size or cannot write the reports\n");
        return 2;
    }
    // Entries per thread that SIZE holds, about: an entry is some 5,950 bytes.
    uint64_t perThread = static_cast<uint64_t>(size) / 5950 / 2 + 1;
    const Planted planted[] = {
        {0, perThread / 3, "pic1->fOpen",
         [](EntryRecords &made) { made.records[0].fOpen = !made.records[0].fOpen; }},
        // An index where pic3 is present in the first report.
        {1, perThread / 2 / 97 * 97, "pic3", [](EntryRecords &made) { made.present[2] = false; }},
        {1, perThread * 3 / 4, "pic1->fdwConversion",
         [](EntryRecords &made) { made.records[0].fdwConversion ^= 0x00000008; }},
        {0, perThread * 9 / 10, "pic2->lfFont.W.lfFaceName",
         [](EntryRecords &made) {
             memcpy(made.records[1].lfFont.W.lfFaceName, u"Arial", sizeof u"Arial");
         }},
    };
    Random slots = {1};
    Random samples[2] = {{2}, {3}};
    uint64_t index[2] = {};
    int thread = 0;
    // The streams count no position (the fake platform writes them as the
    // tool's report), so the size written is counted here.
    long long bytes = 0;
    while (bytes < size) {
        EntryRecords made;
        MakeFacts(thread, index[thread], MakeHandles(0, thread), made);
        bytes += static_cast<long long>(WriteOne(out[0], 0, thread, made, samples[0]));
        MakeFacts(thread, index[thread], MakeHandles(1, thread), made);
        for (const Planted &plant : planted) {
            if (plant.thread == thread && plant.index == index[thread]) {
                plant.change(made);
                printf("planted: thread %d, entry %llu, %s\n", thread + 1,
                       static_cast<unsigned long long>(index[thread] + 1), plant.member);
            }
        }
        WriteOne(out[1], 1, thread, made, samples[1]);
        FakeReset();
        index[thread]++;
        // The threads take turns in runs of a few entries, the first one first.
        if (index[0] > 0 && Next(slots, 3) == 0) {
            thread = 1 - thread;
        }
    }
    bool written = fclose(out[0]) == 0;
    written = fclose(out[1]) == 0 && written;
    if (!written) {
        fprintf(stderr, "report_gen: cannot write the reports\n");
        return 2;
    }
    return 0;
}
