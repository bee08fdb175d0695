#include "test_support.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>

static INPUTCONTEXT sampleRecords[3];

static void SetFaceName(LOGFONTW &font, const char *name, size_t units) {
    for (size_t i = 0; i < units; i++) {
        font.lfFaceName[i] = static_cast<WCHAR>(name[i]);
    }
}

template <typename Handle> static Handle HandleOf(uint32_t value) {
    return reinterpret_cast<Handle>(static_cast<uintptr_t>(value));
}

ReportEntry SampleEntry() {
    INPUTCONTEXT &pic1 = sampleRecords[0];
    INPUTCONTEXT &pic2 = sampleRecords[1];
    INPUTCONTEXT &pic3 = sampleRecords[2];
    memset(sampleRecords, 0, sizeof sampleRecords);

    pic1.hWnd = HandleOf<HWND>(0x00010A2C);
    pic1.fOpen = 1;
    pic1.ptStatusWndPos = {-1, 0};
    pic1.ptSoftKbdPos = {2147483647, static_cast<LONG>(-2147483647 - 1)};
    pic1.fdwConversion = 0x19;
    pic1.fdwSentence = 0x08;
    LOGFONTW &font = pic1.lfFont.W;
    font.lfHeight = -12;
    font.lfEscapement = 900;
    font.lfOrientation = -900;
    font.lfWeight = 400;
    font.lfItalic = 0xFF;
    font.lfUnderline = 1;
    font.lfCharSet = 0x80;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 1;
    font.lfPitchAndFamily = 0x31;
    SetFaceName(font, "MS Shell Dlg", 12);
    pic1.cfCompForm = {2, {10, 20}, {0, 0, 450, 250}};
    pic1.cfCandForm[0] = {0, 0x40, {100, 200}, {1, 2, 3, 4}};
    pic1.cfCandForm[1] = {1, 0x40, {5, 6}, {11, 12, 13, 14}};
    pic1.cfCandForm[2] = {2, 0x80, {7, 8}, {21, 22, 23, 24}};
    pic1.cfCandForm[3] = {3, 0x80, {9, 9}, {-31, -32, -33, -34}};
    pic1.hCompStr = HandleOf<HIMCC>(0x00A10004);
    pic1.hCandInfo = HandleOf<HIMCC>(0x00A10008);
    pic1.hPrivate = HandleOf<HIMCC>(0xDEADBEEF);
    pic1.dwNumMsgBuf = 3;
    pic1.hMsgBuf = HandleOf<HIMCC>(0x00A1000C);
    pic1.fdwInit = 0xFFFFFFFF;
    pic1.dwReserve[1] = 0x80000000;
    pic1.dwReserve[2] = 1;

    (void)pic2; // all zero: an empty face name

    pic3.hWnd = HandleOf<HWND>(0x0000ABCD);
    pic3.fOpen = -1;
    pic3.fdwConversion = 0xFFFFFFFF;
    pic3.lfFont.W.lfCharSet = 0xFF;
    // 32 units and no NUL: the whole member is the name.
    SetFaceName(pic3.lfFont.W, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", LF_FACESIZE);

    ReportEntry entry = {};
    entry.threadId = 0xABCD;
    entry.window = HandleOf<HWND>(0x00010A2C);
    entry.button = HandleOf<HWND>(0x00020B3E);
    entry.edit = HandleOf<HWND>(0x0000ABCD);
    entry.hIMC1 = HandleOf<HIMC>(0xC001);
    entry.hIMC2 = HandleOf<HIMC>(0xC002);
    entry.hIMC3 = HandleOf<HIMC>(0xFFFFFFFF);
    entry.dwAP1 = 0x7FFE0000;
    entry.dwAV1 = 0xFFFFFFFF;
    entry.dwAP2 = 0x12345678;
    entry.dwAV2 = 0;
    entry.dwAP3 = 0x80000000;
    entry.dwAV3 = 0xFFFF;
    entry.pic1 = &pic1;
    entry.pic2 = &pic2;
    entry.pic3 = &pic3;
    return entry;
}

std::string EntryText(const ReportEntry &entry) {
    FILE *stream = tmpfile();
    WriteReportEntry(stream, entry);
    std::string text;
    rewind(stream);
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, stream)) > 0) {
        text.append(buffer, count);
    }
    fclose(stream);
    return text;
}

std::string EnterFreshDirectory() {
    static std::atomic<int> counter{0};
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("vantorel-test-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
         std::to_string(counter++));
    std::filesystem::create_directories(path);
    std::filesystem::current_path(path);
    return path.string();
}
