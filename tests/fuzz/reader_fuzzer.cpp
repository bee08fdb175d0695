// Fuzzes the report reader with arbitrary bytes: never a crash; every entry
// it accepts is, line for line, what the tool would write for its values, at
// the line and offset it names; an entry compared with itself differs in
// nothing, two in turn as much either way; read from a file through a small
// window, with or without passing over other threads, the same results
// wherever the window ends; a well-formed report's threads give back their
// entries.
#include "compare/diff.h"
#include "reader/report_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Check(bool condition, const char *what) {
    if (!condition) {
        fprintf(stderr, "fuzz check failed: %s\n", what);
        abort();
    }
}

std::string Value(ValueKind kind, uint32_t value) {
    char text[VALUE_TEXT_SIZE];
    FormatValue(kind, value, text);
    return text;
}

// The lines the tool writes for the entry's values.
std::string Written(const ReadEntry &entry) {
    std::string text = REPORT_SEPARATOR "\n" REPORT_THREAD_LABEL ":" +
                       Value(ValueKind::Hex, entry.threadId) + "\n";
    for (int n = 0; n < 3; n++) {
        std::string number = std::to_string(n + 1);
        text += std::string(WindowLabels[n]) + ":" + Value(ValueKind::Handle, entry.windows[n]) +
                ", hIMC" + number + ":" + Value(ValueKind::Handle, entry.contexts[n]) + ", dwAP" +
                number + ":" + Value(ValueKind::Hex, entry.availPhys[n]) + ", dwAV" + number + ":" +
                Value(ValueKind::Hex, entry.availVirtual[n]) + "\n";
    }
    for (int n = 0; n < 3; n++) {
        if (!entry.blocks[n].present) {
            text += std::string(BlockLabels[n]) + ": " REPORT_NULL_BLOCK "\n";
        }
        for (int m = 0; m < BLOCK_MEMBER_COUNT && entry.blocks[n].present; m++) {
            text += std::string(BlockLabels[n]) + "->" + BlockMembers[m].path + ": " +
                    MemberText(entry.blocks[n], m) + "\n";
        }
    }
    return text;
}

// The input's lines from an offset on, with LF line ends.
std::string LinesFrom(const std::string &input, size_t offset, size_t lines) {
    std::string text;
    for (size_t end; lines > 0 && offset < input.size(); lines--, offset = end + 1) {
        end = std::min(input.find('\n', offset), input.size());
        size_t length = end - offset - (end > offset && input[end - 1] == '\r' ? 1 : 0);
        text += input.substr(offset, length) + "\n";
    }
    return text;
}

// Everything a reading gives, as text. With the input, each entry is also
// checked against its copy there and against the entry before it; well
// tells whether the input is a well-formed report.
std::string Transcript(ReportReader &reader, const std::string *input, bool &well) {
    std::string text;
    HandleNames names = {};
    ReadEntry entry;
    ReadEntry previous = {};
    ReadProblem problem;
    int entries = 0;
    well = true;
    for (ReadStatus status; (status = ReadNextEntry(reader, entry, problem)) != ReadStatus::End;) {
        if (status != ReadStatus::Entry) {
            well = false;
            text += status == ReadStatus::Passed
                        ? "passed " + std::to_string(entry.line)
                        : std::to_string(problem.line) + ": " + problem.reason;
            text += "\n";
            continue;
        }
        std::string written = Written(entry);
        text += std::to_string(entry.offset) + "\n" + written;
        if (input == nullptr) {
            continue;
        }
        size_t count = static_cast<size_t>(std::count(written.begin(), written.end(), '\n'));
        Check(LinesFrom(*input, entry.offset, count) == written, "entry read as written");
        Check(entry.line == 1 + static_cast<uint64_t>(std::count(
                                    input->begin(), input->begin() + entry.offset, '\n')),
              "entry line at its offset");
        // Either way round, two entries differ in as many facts; one never
        // differs from itself.
        NameEntryHandles(names, static_cast<size_t>(entries % 3), entry);
        std::vector<Difference> found[3];
        CompareEntries({1, 1, &entry, &entry, &names, &names}, true, found[0]);
        CompareEntries({1, 1, &previous, &entry, &names, &names}, true, found[1]);
        CompareEntries({1, 1, &entry, &previous, &names, &names}, true, found[2]);
        Check(found[0].empty() && (entries++ == 0 || found[1].size() == found[2].size()),
              "differences of entries");
        previous = entry;
    }
    well = well && entries > 0;
    return text;
}

// The input read from a file through a window of 128 to 383 bytes gives what
// it gives read whole, with every thread or only the last byte's, unless a
// line does not fit in the window (and is too long only there).
void ReadThroughWindow(const std::string &path, const std::string &input,
                       const std::string &transcript) {
    size_t window = 128 + input.size() % 256;
    for (size_t start = 0, end; start < input.size(); start = end + 1) {
        end = std::min(input.find('\n', start), input.size());
        if (end - start + 1 >= window) {
            return;
        }
    }
    for (bool oneThread : {false, true}) {
        ReportReader memory;
        ReportReader file;
        std::string error;
        OpenReportText(memory, input.data(), input.size());
        Check(OpenReportFile(file, path, error, window), "scratch file opened");
        memory.onlyOneThread = file.onlyOneThread = oneThread;
        memory.onlyThreadId = file.onlyThreadId = static_cast<uint8_t>(input.back());
        bool well;
        std::string expected = oneThread ? Transcript(memory, nullptr, well) : transcript;
        Check(Transcript(file, nullptr, well) == expected, "the same through a window");
        CloseReport(file);
    }
}

// A well-formed report read from a file gives each thread's entries again,
// found by their offsets.
void ReadThreadsFromFile(const std::string &path) {
    ReportInput report;
    std::string error;
    Check(OpenInput(report, path, error), "scratch file opened");
    ReadEntry entry;
    for (size_t t = 0; t == 0 || t < report.threads.size(); t++) {
        uint64_t taken = 0;
        while (NextThreadEntry(report, t, entry)) {
            Check(entry.threadId == report.threads[t].id, "an entry of the thread asked for");
            taken++;
        }
        Check(report.problemCount == 0, "well-formed from a file too");
        Check(taken == report.threads[t].entries, "all of the thread's entries");
    }
    CloseInput(report);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string input(reinterpret_cast<const char *>(data), size);
    // The fuzzer's own bytes are read, so that reading one beyond them is caught.
    ReportReader reader;
    OpenReportText(reader, reinterpret_cast<const char *>(data), size);
    bool wellFormed;
    std::string transcript = Transcript(reader, &input, wellFormed);
    if (size == 0) {
        return 0;
    }
    static const std::string path = "/tmp/reader_fuzzer." + std::to_string(getpid());
    FILE *file = fopen(path.c_str(), "wb");
    Check(file != nullptr && fwrite(input.data(), 1, size, file) == size, "scratch file written");
    fclose(file);
    ReadThroughWindow(path, input, transcript);
    if (wellFormed) {
        ReadThreadsFromFile(path);
    }
    return 0;
}
