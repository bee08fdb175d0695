// The text of one report entry. Each line is formatted whole into a local
// buffer and handed to the stream in one piece, so that the stream's own
// buffering decides when bytes reach the file.
#include "report/face_name.h"
#include "report/report.h"
#include "report/report_format.h"

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
    vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    fputs(line, sink);
}

// Handles are printed as their 32-bit value.
static uint32_t HandleValue(const void *handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

static void WriteValueLine(FILE *sink, const char *label, const char *member, ValueKind kind,
                           uint32_t value) {
    char text[VALUE_TEXT_SIZE];
    FormatValue(kind, value, text);
    WriteLine(sink, "%s->%s: %s\n", label, member, text);
}

static void WriteHandleMember(FILE *sink, const char *label, const char *member,
                              const void *handle) {
    WriteValueLine(sink, label, member, ValueKind::Handle, HandleValue(handle));
}

static void WriteHexMember(FILE *sink, const char *label, const char *member, DWORD value) {
    WriteValueLine(sink, label, member, ValueKind::Hex, value);
}

static void WriteSignedMember(FILE *sink, const char *label, const char *member, LONG value) {
    WriteValueLine(sink, label, member, ValueKind::Signed, static_cast<uint32_t>(value));
}

// Font bytes are widened without sign: 0 to 255.
static void WriteByteMember(FILE *sink, const char *label, const char *member, BYTE value) {
    WriteValueLine(sink, label, member, ValueKind::Byte, value);
}

static void WriteTextMember(FILE *sink, const char *label, const char *member,
                            const WCHAR *faceName) {
    char text[FACE_NAME_TEXT_SIZE];
    ConvertFaceName(faceName, text);
    WriteLine(sink, "%s->%s: %s\n", label, member, text);
}

void WriteContextBlock(FILE *sink, const INPUTCONTEXT *record, const char *label) {
    if (record == nullptr) {
        WriteLine(sink, "%s: " REPORT_NULL_BLOCK "\n", label);
        return;
    }
#define WRITE_MEMBER(kind, member) Write##kind##Member(sink, label, #member, record->member);
    REPORT_BLOCK_MEMBERS(WRITE_MEMBER)
#undef WRITE_MEMBER
}

// The header lines, each formatted whole before it goes to the stream.
static void WriteHeaderLines(FILE *sink, const uint32_t (&values)[HEADER_FIELD_COUNT]) {
    char line[256];
    int length = 0;
    for (int h = 0; h < HEADER_FIELD_COUNT; h++) {
        const HeaderField &field = HeaderFields[h];
        char value[VALUE_TEXT_SIZE];
        FormatValue(field.kind, values[h], value);
        bool first = h == 0 || HeaderFields[h - 1].line != field.line;
        length += snprintf(line + length, sizeof line - static_cast<size_t>(length), "%s%s:%s",
                           first ? "" : ", ", field.label, value);
        if (h + 1 == HEADER_FIELD_COUNT || HeaderFields[h + 1].line != field.line) {
            WriteLine(sink, "%s\n", line);
            length = 0;
        }
    }
}

void WriteReportEntry(FILE *sink, const ReportEntry &entry) {
    const uint32_t header[HEADER_FIELD_COUNT] = {
        entry.threadId, HandleValue(entry.window), HandleValue(entry.hIMC1), entry.dwAP1,
        entry.dwAV1,    HandleValue(entry.button), HandleValue(entry.hIMC2), entry.dwAP2,
        entry.dwAV2,    HandleValue(entry.edit),   HandleValue(entry.hIMC3), entry.dwAP3,
        entry.dwAV3};
    WriteLine(sink, REPORT_SEPARATOR "\n");
    WriteHeaderLines(sink, header);
    WriteContextBlock(sink, entry.pic1, BlockLabels[0]);
    WriteContextBlock(sink, entry.pic2, BlockLabels[1]);
    WriteContextBlock(sink, entry.pic3, BlockLabels[2]);
}
