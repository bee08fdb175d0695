// Fuzzes the report format: arbitrary bytes become an entry with up to three
// records (face names without a NUL among them), and every entry written
// must read back whole with the product's reader, its header values intact.
// The face name is also converted on its own at the very end of its
// allocation, so that a read past its 32 units is caught.
#include "fake_platform.h"
#include "reader/report_reader.h"
#include "report/face_name.h"
#include "report/report.h"

#include <cstdlib>
#include <cstring>
#include <memory>

// Takes the next bytes of the input, zeros once it runs out.
static void Take(const uint8_t *&data, size_t &size, void *out, size_t length) {
    size_t copied = length < size ? length : size;
    memset(out, 0, length);
    memcpy(out, data, copied);
    data += copied;
    size -= copied;
}

static void Check(bool condition) {
    if (!condition) {
        abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FakeReset();
    uint8_t flags = 0;
    Take(data, size, &flags, 1);
    fake.failConversion = (flags & 1) != 0;
    uint32_t h[13];
    Take(data, size, h, sizeof h);
    std::unique_ptr<INPUTCONTEXT> records[3];
    for (int n = 0; n < 3; n++) {
        if (flags & (2 << n)) {
            records[n].reset(new INPUTCONTEXT);
            Take(data, size, records[n].get(), sizeof(INPUTCONTEXT));
        }
    }
    ReportEntry entry = {h[0],
                         FakeHandle<HWND>(h[1]),
                         FakeHandle<HWND>(h[2]),
                         FakeHandle<HWND>(h[3]),
                         FakeHandle<HIMC>(h[4]),
                         FakeHandle<HIMC>(h[5]),
                         FakeHandle<HIMC>(h[6]),
                         h[7],
                         h[8],
                         h[9],
                         h[10],
                         h[11],
                         h[12],
                         records[0].get(),
                         records[1].get(),
                         records[2].get()};
    auto faceName = std::make_unique<WCHAR[]>(LF_FACESIZE);
    Take(data, size, faceName.get(), LF_FACESIZE * sizeof(WCHAR));
    char text[FACE_NAME_TEXT_SIZE];
    ConvertFaceName(faceName.get(), text);

    char *bytes = nullptr;
    size_t length = 0;
    FILE *stream = open_memstream(&bytes, &length);
    WriteReportEntry(stream, entry);
    fclose(stream);
    ReportReader reader;
    OpenReportText(reader, bytes, length);
    ReadEntry back;
    ReadProblem problem;
    Check(ReadNextEntry(reader, EVERY_THREAD, back, problem) == ReadStatus::Entry);
    Check(back.header[THREAD_ID_FIELD] == h[0]);
    for (int n = 0; n < 3; n++) {
        Check(back.header[WindowField(n, 0)] == h[1 + n] &&
              back.header[WindowField(n, 1)] == h[4 + n]);
        Check(back.header[WindowField(n, 2)] == h[7 + 2 * n] &&
              back.header[WindowField(n, 3)] == h[8 + 2 * n]);
        Check(back.blocks[n].present == (records[n] != nullptr));
    }
    Check(ReadNextEntry(reader, EVERY_THREAD, back, problem) == ReadStatus::End);
    free(bytes);
    return 0;
}
