// Fuzzes the report format: arbitrary bytes become a report entry with up to
// three INPUTCONTEXT records (face names without a NUL included), and every
// entry written must read back whole, line for line, with its header values.
#include "platform/fake_platform.h"
#include "report/face_name.h"
#include "report/report.h"
#include "report_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Takes the next bytes of the input, zeros once it runs out.
void Take(const uint8_t *&data, size_t &size, void *out, size_t length) {
    size_t copied = length < size ? length : size;
    memset(out, 0, length);
    memcpy(out, data, copied);
    data += copied;
    size -= copied;
}

uint32_t HandleValue(const void *handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

void Check(bool condition, const char *what) {
    if (!condition) {
        fprintf(stderr, "fuzz check failed: %s\n", what);
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FakeReset();
    uint8_t flags = 0;
    Take(data, size, &flags, 1);
    FakeScriptOf().failWideCharToMultiByte = (flags & 1) != 0;

    uint32_t header[13];
    Take(data, size, header, sizeof header);
    ReportEntry entry = {};
    entry.threadId = header[0];
    entry.window = FakeHandle<HWND>(header[1]);
    entry.button = FakeHandle<HWND>(header[2]);
    entry.edit = FakeHandle<HWND>(header[3]);
    entry.hIMC1 = FakeHandle<HIMC>(header[4]);
    entry.hIMC2 = FakeHandle<HIMC>(header[5]);
    entry.hIMC3 = FakeHandle<HIMC>(header[6]);
    entry.dwAP1 = header[7];
    entry.dwAV1 = header[8];
    entry.dwAP2 = header[9];
    entry.dwAV2 = header[10];
    entry.dwAP3 = header[11];
    entry.dwAV3 = header[12];

    // Each record in an allocation of its own size, so that a read past it is
    // caught.
    std::unique_ptr<INPUTCONTEXT> records[3];
    const INPUTCONTEXT **pics[3] = {&entry.pic1, &entry.pic2, &entry.pic3};
    size_t expectedLines = 5;
    for (int n = 0; n < 3; n++) {
        if (flags & (2 << n)) {
            records[n].reset(new INPUTCONTEXT);
            Take(data, size, records[n].get(), sizeof(INPUTCONTEXT));
            *pics[n] = records[n].get();
            expectedLines += 58;
        } else {
            expectedLines += 1;
        }
    }

    // The face name alone, at the very end of its allocation.
    std::unique_ptr<WCHAR[]> faceName(new WCHAR[LF_FACESIZE]);
    Take(data, size, faceName.get(), LF_FACESIZE * sizeof(WCHAR));
    char faceText[FACE_NAME_TEXT_SIZE];
    ConvertFaceName(faceName.get(), faceText);
    Check(strlen(faceText) <= 64, "face name longer than 64 bytes");

    char *text = nullptr;
    size_t length = 0;
    FILE *stream = open_memstream(&text, &length);
    WriteReportEntry(stream, entry);
    fclose(stream);
    ReadReportResult read = ReadReport(std::string(text, length), "\n");
    free(text);

    Check(read.errors.empty(), "a line out of form");
    Check(read.entries.size() == 1, "not exactly one entry");
    const ReadEntry &back = read.entries[0];
    Check(back.lines.size() == expectedLines, "wrong number of lines");
    Check(back.threadId == entry.threadId, "thread id");
    Check(back.window == HandleValue(entry.window) && back.button == HandleValue(entry.button) &&
              back.edit == HandleValue(entry.edit),
          "window handles");
    Check(back.hIMC[0] == header[4] && back.hIMC[1] == header[5] && back.hIMC[2] == header[6],
          "context handles");
    for (int n = 0; n < 3; n++) {
        Check(back.dwAP[n] == header[7 + 2 * n] && back.dwAV[n] == header[8 + 2 * n],
              "memory samples");
        Check(back.blocks[n].present == (records[n] != nullptr), "block presence");
    }
    return 0;
}
