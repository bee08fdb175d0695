// diff's engine on reports made in memory: runs, pairing, naming, groups and
// their bounds, where comparing stops, verdicts; what the result's fields
// say, not how they are shown.
#include "compare/comparer.h"
#include "compare/diff.h"
#include "fake_platform.h"
#include "report/report.h"

#include <gtest/gtest.h>

#include <list>

namespace {

// An entry as the tests make it: a thread with its window (button and edit
// follow it), the one context all three share, its conversion mode and its
// memory sample.
struct Made {
    uint32_t thread;
    uint32_t window;
    uint32_t context;
    uint32_t conversion;
    uint32_t sample;
};

std::string EntryText(const Made &made) {
    // The conversion mode in the window's record only.
    static INPUTCONTEXT record;
    static INPUTCONTEXT others;
    record = others = INPUTCONTEXT{};
    record.hWnd = others.hWnd = FakeHandle<HWND>(made.window);
    record.fdwConversion = made.conversion;
    HIMC context = FakeHandle<HIMC>(made.context);
    ReportEntry entry = {made.thread,
                         FakeHandle<HWND>(made.window),
                         FakeHandle<HWND>(made.window + 2),
                         FakeHandle<HWND>(made.window + 4),
                         context,
                         context,
                         context,
                         made.sample,
                         made.sample,
                         made.sample,
                         made.sample,
                         made.sample,
                         made.sample,
                         &record,
                         &others,
                         &others};
    char *text = nullptr;
    size_t size = 0;
    FILE *stream = open_memstream(&text, &size);
    WriteReportEntry(stream, entry);
    fclose(stream);
    std::string written(text, size);
    free(text);
    return written;
}

// A run of two threads (ids 0x24 and 0x28), `entries` entries each in turn,
// conversion(thread, entry) giving each one's mode.
template <typename Conversion>
std::string RunText(uint32_t windowBase, uint64_t entries, Conversion conversion) {
    std::string text;
    for (uint32_t e = 1; e <= entries; e++) {
        for (uint32_t t = 0; t < 2; t++) {
            text += EntryText({0x24 + 4 * t, windowBase + 0x100 * t, windowBase + 0x100 * t + 0x50,
                               conversion(t + 1, e), 0x7FF00000 + e});
        }
    }
    return text;
}

// Where entry n (1-based) starts.
size_t EntryStart(const std::string &text, int n) {
    size_t at = 0;
    while (--n > 0) {
        at = text.find(REPORT_SEPARATOR, at + 1);
    }
    return at;
}

std::string PlainRun(uint32_t windowBase, uint64_t entries) {
    return RunText(windowBase, entries, [](uint32_t, uint32_t) { return 9u; });
}

// Reports indexed from text that the list keeps alive.
std::list<std::string> texts;

IndexedReport Indexed(const std::string &text, const char *path) {
    texts.push_back(text);
    FILE *stream = fmemopen(texts.back().data(), texts.back().size(), "rb");
    return IndexOpenReport(File(stream), path, ReadFor::Diff);
}

DiffResult Diff(const std::string &a, const std::string &b, DiffOptions options = {},
                const std::vector<DiffSink> &sinks = {}) {
    IndexedReport reportA = Indexed(a, "A");
    IndexedReport reportB = Indexed(b, "B");
    return DiffReports(reportA, reportB, options, sinks);
}

// The text with `from` replaced by `to` at its n-th occurrence (1-based).
std::string Replaced(std::string text, const std::string &from, const std::string &to, int n) {
    size_t at = std::string::npos;
    while (n-- > 0) {
        at = text.find(from, at + 1);
    }
    return text.replace(at, from.size(), to);
}

TEST(Diff, Verdicts) {
    const std::string base = PlainRun(0x1000, 3);
    const std::string badValue = Replaced(base, "pic2->fOpen: 0", "pic2->fOpen: x", 3);
    const struct {
        const char *what;
        std::string b;
        DiffVerdict verdict;
        uint64_t differences;
    } cases[] = {
        {"the same", base, DiffVerdict::Same, 0},
        {"other handles, the same roles", PlainRun(0x9000, 3), DiffVerdict::Same, 0},
        {"one mode differs",
         Replaced(base, "pic1->fdwConversion: 0x00000009", "pic1->fdwConversion: 0x00000019", 4),
         DiffVerdict::Different, 1},
        {"a bad value", badValue, DiffVerdict::Partial, 0},
        {"a bad value, then a difference",
         Replaced(badValue, "pic1->fdwConversion: 0x00000009", "pic1->fdwConversion: 0x00000001",
                  5),
         DiffVerdict::Partial, 1},
        {"one entry more", base + EntryText({0x24, 0x1000, 0x1050, 9, 1}), DiffVerdict::Different,
         1},
    };
    for (const auto &c : cases) {
        DiffResult result = Diff(base, c.b);
        EXPECT_EQ(result.verdict, c.verdict) << c.what;
        EXPECT_EQ(result.differenceCount, c.differences) << c.what;
    }
    IndexedReport a = Indexed(base, "A");
    IndexedReport missing = IndexReport("no/such/report.txt", ReadFor::Facts);
    EXPECT_EQ(DiffReports(a, missing, {}, {}).verdict, DiffVerdict::Trouble);
}

// A whole entry with a bad value is passed over; its row goes on. A cut
// entry stops its row only.
TEST(Diff, WhereComparingStops) {
    const std::string base = PlainRun(0x1000, 3);
    // Entry 2 of thread 2 (the fourth entry) with a bad value, or cut short.
    std::string bad = Replaced(base, "pic1->fOpen: 0", "pic1->fOpen: x", 4);
    std::string cut =
        base.substr(0, EntryStart(base, 4) + 300) + "\r\n" + base.substr(EntryStart(base, 5));
    DiffResult passed = Diff(base, bad);
    ASSERT_EQ(passed.rows.size(), 2u);
    EXPECT_EQ(passed.rows[0].compared, Compared::Whole);
    EXPECT_EQ(passed.rows[1].compared, Compared::Partly);
    EXPECT_FALSE(passed.rows[1].stopped);
    EXPECT_EQ(passed.rows[1].passedOver, 1u);
    EXPECT_EQ(passed.rows[1].firstPassedOver.entry, 2u);
    EXPECT_TRUE(passed.rows[1].firstPassedOver.inB);
    EXPECT_EQ(passed.rows[1].entries, 3u);
    DiffResult stopped = Diff(base, cut);
    EXPECT_EQ(stopped.rows[0].compared, Compared::Whole);
    EXPECT_TRUE(stopped.rows[1].stopped);
    EXPECT_EQ(stopped.rows[1].stop.entry, 2u);
    EXPECT_EQ(stopped.rows[1].compared, Compared::Partly);
    EXPECT_EQ(stopped.differenceCount, 0u) << "no count of entries past a stop";
    EXPECT_EQ(stopped.verdict, DiffVerdict::Partial);
}

// The runs compared, and their problems counted once whatever run is asked.
TEST(Diff, Runs) {
    const std::string one = PlainRun(0x1000, 2);
    const std::string two =
        RunText(0x3000, 2, [](uint32_t t, uint32_t) { return t == 1 ? 1u : 9u; });
    const std::string report = one + Replaced(two, "pic1->fOpen: 0", "pic1->fOpen: x", 2);
    const struct {
        size_t runs[2];
        size_t runA;
        uint64_t differences;
        bool failed;
    } cases[] = {
        {{0, 0}, 1, 2, false}, // the last by default
        {{1, 1}, 0, 0, false},
        {{2, 1}, 1, 2, false},
        {{3, 1}, 0, 0, true},
    };
    for (const auto &c : cases) {
        DiffResult result = Diff(report, one, {false, {}, {c.runs[0], c.runs[1]}});
        EXPECT_EQ(result.failure.empty(), !c.failed) << c.runs[0];
        if (!c.failed) {
            EXPECT_EQ(result.runA, c.runA) << c.runs[0];
            EXPECT_EQ(result.differenceCount, c.differences) << c.runs[0];
            EXPECT_EQ(result.a.runs.size(), 2u);
            EXPECT_EQ(result.a.problemCount, 1u) << "counted once, whatever run";
            EXPECT_EQ(result.verdict, DiffVerdict::Partial) << c.runs[0];
        } else {
            EXPECT_EQ(result.verdict, DiffVerdict::Trouble);
        }
    }
}

TEST(Diff, Pairing) {
    const std::string a = RunText(0x1000, 2, [](uint32_t t, uint32_t) { return t; });
    // B's threads come in the other order: the first entry is thread 2's.
    std::string b = a.substr(a.find(REPORT_SEPARATOR, 1));
    b = b.substr(0, b.rfind(REPORT_SEPARATOR)) + a.substr(0, a.find(REPORT_SEPARATOR, 1)) +
        b.substr(b.rfind(REPORT_SEPARATOR));
    const struct {
        std::vector<size_t> asked;
        Pairing pairing;
        size_t bOfRow1;
        bool same;
    } cases[] = {
        {{}, Pairing::Content, 1, true},
        {{0}, Pairing::Asked, 0, false},
        {{1, 0}, Pairing::Asked, 1, true},
    };
    for (const auto &c : cases) {
        DiffResult result = Diff(a, b, {false, c.asked, {0, 0}});
        EXPECT_EQ(result.pairing, c.pairing);
        EXPECT_EQ(result.rows[0].b, c.bOfRow1);
        EXPECT_EQ(result.verdict == DiffVerdict::Same, c.same);
    }
    EXPECT_FALSE(Diff(a, b, {false, {2}, {0, 0}}).failure.empty()) << "no thread 3";
}

// Handles by their names: a handle new in one report is not the same as a
// handle named before in the other.
TEST(Diff, Naming) {
    const std::string a = PlainRun(0x1000, 2);
    const struct {
        const char *what;
        std::string b;
        uint64_t differences;
    } cases[] = {
        {"every handle other, alike", PlainRun(0x7000, 2), 0},
        // Thread 1's second entry has a new button; A keeps its own.
        {"a new button", Replaced(PlainRun(0x7000, 2), "hButton:00007002", "hButton:00007AAA", 2),
         1},
        // Both contexts of B's thread 1 are one handle in A's.
        // ...and the window no longer shares the button's.
        {"a new context", Replaced(PlainRun(0x7000, 2), "hIMC1:00007050", "hIMC1:00007EEE", 2), 2},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Diff(a, c.b).differenceCount, c.differences) << c.what;
    }
}

// Past MAX_GROUPS, differences are counted as ungrouped; past
// MAX_RANGES_KEPT, a group's ranges as left out.
TEST(Diff, Groups) {
    const uint64_t entries = MAX_GROUPS + 50;
    std::string a = RunText(0x1000, entries, [](uint32_t, uint32_t) { return 0u; });
    std::string everyValue =
        RunText(0x1000, entries, [](uint32_t t, uint32_t e) { return t == 1 ? e : 0; });
    std::string everyOther =
        RunText(0x1000, entries, [](uint32_t t, uint32_t e) { return t == 1 ? e % 2 : 0; });
    DiffResult many = Diff(a, everyValue);
    EXPECT_EQ(many.differenceCount, entries);
    EXPECT_EQ(many.groups.groups.size(), MAX_GROUPS);
    EXPECT_EQ(many.rows[0].ungrouped, entries - MAX_GROUPS);
    DiffResult ranges = Diff(a, everyOther);
    ASSERT_EQ(ranges.groups.groups.size(), 1u);
    const DifferenceGroup &group = ranges.groups.groups[0];
    EXPECT_EQ(group.count, (entries + 1) / 2);
    EXPECT_EQ(group.entries.size(), MAX_RANGES_KEPT);
    EXPECT_EQ(group.entries[1].first, 3u);
    EXPECT_EQ(group.rangesLeftOut, group.count - MAX_RANGES_KEPT);
    EXPECT_EQ(FactName(group.first.fact), "pic1->fdwConversion");
}

} // namespace
