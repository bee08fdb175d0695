#include "known/known_writer.h"
#include "files/output_file.h"
#include "known/known_check.h"
#include "render/values.h"

#include <cstdlib>
#include <ctime>

static const char HEADER[] = "# Known differences of vantorel-report diff, written ";

// A line that accepts any difference of its thread and fact.
static std::string AnyValueLine(const Difference &difference) {
    return "thread " + std::to_string(difference.row) + ", " + FactName(difference.fact) +
           ": * | *";
}

std::string KnownLineText(const DiffResult &result, const Difference &difference, int codePage) {
    if (ComparedOnlyWhenStrict(difference.fact)) {
        return AnyValueLine(difference);
    }
    std::string text =
        "thread " + std::to_string(difference.row) + ", " + FactName(difference.fact) + ": ";
    std::string change = ChangeText(difference);
    return text + KnownValueText(result, difference, false, codePage) + " | " +
           KnownValueText(result, difference, true, codePage) +
           (change.empty() ? "" : "  (" + change + ")");
}

// Where a line goes: by thread, then fact in the report's order.
static std::string SortKey(const Difference &difference) {
    char key[48];
    snprintf(key, sizeof key, "%09zu %u %u %03u ", difference.row,
             static_cast<unsigned>(difference.fact.kind), difference.fact.block,
             difference.fact.index);
    return key;
}

static void Begin(void *, const DiffResult &) {}
static void RowEnd(void *, const DiffResult &, size_t) {}

static void Pair(void *state, const DiffResult &result, const EntryPair &pair) {
    KnownWriter &writer = *static_cast<KnownWriter *>(state);
    for (size_t i = 0; i < pair.count; i++) {
        const Difference &difference = pair.differences[i];
        if (difference.known != 0) {
            continue;
        }
        std::string text = KnownLineText(result, difference, writer.codePage);
        std::string key = SortKey(difference);
        if (writer.lines.size() >= MAX_KNOWN_LINES_WRITTEN && !writer.lines.count(key + text)) {
            text = AnyValueLine(difference);
        }
        writer.lines.emplace(key + text, text);
    }
}

DiffSink KnownWriterSink(KnownWriter &writer) {
    return {&writer, Begin, Pair, RowEnd};
}

static std::string Today() {
    const char *fixed = getenv("SOURCE_DATE_EPOCH");
    time_t now =
        fixed != nullptr ? static_cast<time_t>(strtoll(fixed, nullptr, 10)) : time(nullptr);
    char date[16] = "";
    struct tm parts;
#ifdef _WIN32
    gmtime_s(&parts, &now);
#else
    gmtime_r(&now, &parts);
#endif
    strftime(date, sizeof date, "%Y-%m-%d", &parts);
    return date;
}

static std::string RunText(const ReportFacts &facts, size_t run) {
    return facts.path + ", run " + std::to_string(run + 1) + " of " +
           std::to_string(facts.runs.size());
}

// Whether line i of the old file is its header, which is written anew.
static bool IsOldHeader(const KnownFile &old, size_t i) {
    return old.lines[i].rfind(HEADER, 0) == 0 ||
           (i > 0 && IsOldHeader(old, i - 1) &&
            (old.lines[i].rfind("# A: ", 0) == 0 || old.lines[i].rfind("# B: ", 0) == 0));
}

bool WriteKnownFile(const std::string &path, const DiffResult &result, const KnownWriter &writer,
                    const KnownFile *old, std::string &error) {
    PendingOutput output;
    if (!BeginOutputFile(output.file, path, error)) {
        return false;
    }
    FILE *out = OutputStream(output.file);
    fprintf(out, "%s%s\n# A: %s\n# B: %s\n", HEADER, Today().c_str(),
            RunText(result.a, result.runA).c_str(), RunText(result.b, result.runB).c_str());
    if (old != nullptr) {
        size_t next = 0; // into old->known, which is in the order of its lines
        for (size_t i = 0; i < old->lines.size(); i++) {
            bool known = next < old->known.size() && old->known[next].line == i + 1;
            if ((known && old->known[next].matched > 0) || (!known && !IsOldHeader(*old, i))) {
                fprintf(out, "%s\n", old->lines[i].c_str());
            }
            next += known;
        }
    }
    for (const auto &line : writer.lines) {
        fprintf(out, "%s\n", line.second.c_str());
    }
    return CommitOutputFile(output.file, error);
}
