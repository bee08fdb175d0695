// The text of one report entry. Each line is formatted whole into a local
// buffer and handed to the stream in one piece, so that the stream's own
// buffering decides when bytes reach the file.
#include "report/face_name.h"
#include "report/report.h"

#include <cstdarg>
#include <cstdint>

// Lets the compiler check every format against its arguments. gcc for
// Windows would check against the Microsoft runtime's rules without the GNU
// archetype, while mingw's C++ runtime formats by the standard's; clang
// knows the GNU archetype only as printf.
#if defined(__clang__)
#define PRINTF_FORMAT(formatIndex, firstArgument)                                                  \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define PRINTF_FORMAT(formatIndex, firstArgument)                                                  \
    __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#endif

static void WriteLine(FILE *sink, const char *format, ...) PRINTF_FORMAT(2, 3);

static void WriteLine(FILE *sink, const char *format, ...) {
    char line[256];
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length > 0) {
        fputs(line, sink);
    }
}

// Handles are printed as their 32-bit value: 8 upper-case hex digits, no prefix.
static unsigned long HandleValue(const void *handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

static void WriteHandleLine(FILE *sink, const char *label, const char *member, const void *handle) {
    WriteLine(sink, "%s->%s: %08lX\n", label, member, HandleValue(handle));
}

static void WriteLongLine(FILE *sink, const char *label, const char *member, LONG value) {
    WriteLine(sink, "%s->%s: %ld\n", label, member, static_cast<long>(value));
}

static void WriteHexLine(FILE *sink, const char *label, const char *member, DWORD value) {
    WriteLine(sink, "%s->%s: 0x%08lX\n", label, member, static_cast<unsigned long>(value));
}

// Font bytes are widened without sign: 0 to 255.
static void WriteByteLine(FILE *sink, const char *label, const char *member, BYTE value) {
    WriteLine(sink, "%s->%s: %d\n", label, member, static_cast<int>(value));
}

static void WritePointLines(FILE *sink, const char *label, const char *member, POINT point) {
    WriteLine(sink, "%s->%s.x: %ld\n", label, member, static_cast<long>(point.x));
    WriteLine(sink, "%s->%s.y: %ld\n", label, member, static_cast<long>(point.y));
}

static void WriteRectLines(FILE *sink, const char *label, const char *member, RECT rect) {
    WriteLine(sink, "%s->%s.left: %ld\n", label, member, static_cast<long>(rect.left));
    WriteLine(sink, "%s->%s.top: %ld\n", label, member, static_cast<long>(rect.top));
    WriteLine(sink, "%s->%s.right: %ld\n", label, member, static_cast<long>(rect.right));
    WriteLine(sink, "%s->%s.bottom: %ld\n", label, member, static_cast<long>(rect.bottom));
}

// The font is always read as its wide variant, whatever its character set.
static void WriteFontLines(FILE *sink, const char *label, const LOGFONTW &font) {
    WriteLongLine(sink, label, "lfFont.W.lfHeight", font.lfHeight);
    WriteLongLine(sink, label, "lfFont.W.lfWidth", font.lfWidth);
    WriteLongLine(sink, label, "lfFont.W.lfEscapement", font.lfEscapement);
    WriteLongLine(sink, label, "lfFont.W.lfOrientation", font.lfOrientation);
    WriteLongLine(sink, label, "lfFont.W.lfWeight", font.lfWeight);
    WriteByteLine(sink, label, "lfFont.W.lfItalic", font.lfItalic);
    WriteByteLine(sink, label, "lfFont.W.lfUnderline", font.lfUnderline);
    WriteByteLine(sink, label, "lfFont.W.lfStrikeOut", font.lfStrikeOut);
    WriteByteLine(sink, label, "lfFont.W.lfCharSet", font.lfCharSet);
    WriteByteLine(sink, label, "lfFont.W.lfOutPrecision", font.lfOutPrecision);
    WriteByteLine(sink, label, "lfFont.W.lfClipPrecision", font.lfClipPrecision);
    WriteByteLine(sink, label, "lfFont.W.lfQuality", font.lfQuality);
    WriteByteLine(sink, label, "lfFont.W.lfPitchAndFamily", font.lfPitchAndFamily);
    char faceName[FACE_NAME_TEXT_SIZE];
    ConvertFaceName(font.lfFaceName, faceName);
    WriteLine(sink, "%s->lfFont.W.lfFaceName: %s\n", label, faceName);
}

// Of the candidate forms, only the first is printed whole; the other three
// show their areas only.
static void WriteCandidateFormLines(FILE *sink, const char *label, const CANDIDATEFORM *forms) {
    WriteHexLine(sink, label, "cfCandForm[0].dwIndex", forms[0].dwIndex);
    WriteHexLine(sink, label, "cfCandForm[0].dwStyle", forms[0].dwStyle);
    WritePointLines(sink, label, "cfCandForm[0].ptCurrentPos", forms[0].ptCurrentPos);
    for (int i = 0; i < 4; i++) {
        char member[32];
        snprintf(member, sizeof member, "cfCandForm[%d].rcArea", i);
        WriteRectLines(sink, label, member, forms[i].rcArea);
    }
}

void WriteContextBlock(FILE *sink, const INPUTCONTEXT *record, const char *label) {
    if (record == nullptr) {
        WriteLine(sink, "%s: (null)\n", label);
        return;
    }
    WriteHandleLine(sink, label, "hWnd", record->hWnd);
    WriteLongLine(sink, label, "fOpen", record->fOpen);
    WritePointLines(sink, label, "ptStatusWndPos", record->ptStatusWndPos);
    WritePointLines(sink, label, "ptSoftKbdPos", record->ptSoftKbdPos);
    WriteHexLine(sink, label, "fdwConversion", record->fdwConversion);
    WriteHexLine(sink, label, "fdwSentence", record->fdwSentence);
    WriteFontLines(sink, label, record->lfFont.W);
    WriteHexLine(sink, label, "cfCompForm.dwStyle", record->cfCompForm.dwStyle);
    WritePointLines(sink, label, "cfCompForm.ptCurrentPos", record->cfCompForm.ptCurrentPos);
    WriteRectLines(sink, label, "cfCompForm.rcArea", record->cfCompForm.rcArea);
    WriteCandidateFormLines(sink, label, record->cfCandForm);
    WriteHandleLine(sink, label, "hCompStr", record->hCompStr);
    WriteHandleLine(sink, label, "hCandInfo", record->hCandInfo);
    WriteHandleLine(sink, label, "hGuideLine", record->hGuideLine);
    WriteHexLine(sink, label, "dwNumMsgBuf", record->dwNumMsgBuf);
    WriteHandleLine(sink, label, "hMsgBuf", record->hMsgBuf);
    WriteHexLine(sink, label, "fdwInit", record->fdwInit);
    WriteHexLine(sink, label, "dwReserve[0]", record->dwReserve[0]);
    WriteHexLine(sink, label, "dwReserve[1]", record->dwReserve[1]);
    WriteHexLine(sink, label, "dwReserve[2]", record->dwReserve[2]);
}

void WriteReportEntry(FILE *sink, const ReportEntry &entry) {
    WriteLine(sink, "---------------------------------------------------------------------\n");
    WriteLine(sink, "ThreadID:0x%08lX\n", static_cast<unsigned long>(entry.threadId));
    WriteLine(sink, "hwnd:%08lX, hIMC1:%08lX, dwAP1:0x%08lX, dwAV1:0x%08lX\n",
              HandleValue(entry.window), HandleValue(entry.hIMC1),
              static_cast<unsigned long>(entry.dwAP1), static_cast<unsigned long>(entry.dwAV1));
    WriteLine(sink, "hButton:%08lX, hIMC2:%08lX, dwAP2:0x%08lX, dwAV2:0x%08lX\n",
              HandleValue(entry.button), HandleValue(entry.hIMC2),
              static_cast<unsigned long>(entry.dwAP2), static_cast<unsigned long>(entry.dwAV2));
    WriteLine(sink, "hEdit:%08lX, hIMC3:%08lX, dwAP3:0x%08lX, dwAV3:0x%08lX\n",
              HandleValue(entry.edit), HandleValue(entry.hIMC3),
              static_cast<unsigned long>(entry.dwAP3), static_cast<unsigned long>(entry.dwAV3));
    WriteContextBlock(sink, entry.pic1, "pic1");
    WriteContextBlock(sink, entry.pic2, "pic2");
    WriteContextBlock(sink, entry.pic3, "pic3");
}
