// Fuzzes the report reader with arbitrary bytes: never a crash; every entry
// it accepts is, line for line, what the tool would write for its values, at
// the line and offset it names; an entry compared with itself differs in
// nothing, two in turn as much either way; read from a file, a well-formed
// report's threads give back their entries.
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

// Reads the fuzzer's own bytes, so that reading one beyond them is caught,
// and checks each entry against their copy in input, and against the entry
// before it. Returns whether they are a well-formed report.
bool ReadAll(const uint8_t *data, const std::string &input) {
    ReportReader reader;
    OpenReportText(reader, reinterpret_cast<const char *>(data), input.size());
    HandleNames names = {};
    ReadEntry entry;
    ReadEntry previous;
    ReadProblem problem;
    int entries = 0;
    bool wellFormed = true;
    size_t lines = static_cast<size_t>(std::count(input.begin(), input.end(), '\n')) + 1;
    for (ReadStatus status; (status = ReadNextEntry(reader, entry, problem)) != ReadStatus::End;) {
        if (status == ReadStatus::Problem) {
            Check(problem.line >= 1 && problem.line <= lines, "problem line in the input");
            Check(!problem.reason.empty(), "a problem says why");
            wellFormed = false;
            continue;
        }
        std::string written = Written(entry);
        size_t count = static_cast<size_t>(std::count(written.begin(), written.end(), '\n'));
        Check(LinesFrom(input, entry.offset, count) == written, "entry read as written");
        Check(entry.line == static_cast<uint64_t>(
                                std::count(input.begin(), input.begin() + entry.offset, '\n')) +
                                1,
              "entry line at its offset");
        NameEntryHandles(names, static_cast<size_t>(entries % 3), entry);
        std::vector<Difference> same;
        std::vector<Difference> there;
        std::vector<Difference> back;
        CompareEntries({1, 1, &entry, &entry, &names, &names}, true, same);
        Check(same.empty(), "an entry is the same as itself");
        if (entries++ > 0) {
            CompareEntries({1, 1, &previous, &entry, &names, &names}, true, there);
            CompareEntries({1, 1, &entry, &previous, &names, &names}, true, back);
            Check(there.size() == back.size(), "as many differences either way");
        }
        previous = entry;
    }
    return wellFormed && entries > 0;
}

// A well-formed report read from a file gives each thread's entries again,
// found by their offsets.
void ReadThreadsFromFile(const std::string &input) {
    static const std::string path = "/tmp/reader_fuzzer." + std::to_string(getpid());
    FILE *file = fopen(path.c_str(), "wb");
    Check(file != nullptr && fwrite(input.data(), 1, input.size(), file) == input.size(),
          "scratch file written");
    fclose(file);
    ReportInput report;
    std::string error;
    Check(OpenInput(report, path, error), "scratch file opened");
    remove(path.c_str()); // open, it stays readable
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
    // Files cost time: only well-formed reports, the ones whose threads are
    // read again, are written to one.
    if (ReadAll(data, input)) {
        ReadThreadsFromFile(input);
    }

    return 0;
}
