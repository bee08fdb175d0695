// Known-differences files: lines read or refused, and which differences each
// line accepts.
#include "known/known_check.h"

#include <gtest/gtest.h>

namespace {

// A fact by the name diff gives it.
Fact FactNamed(const std::string &name) {
    KnownLine line;
    std::string reason;
    EXPECT_TRUE(ParseKnownLine("thread 1, " + name + ": * | *", line, reason)) << name;
    return line.fact;
}

TEST(Known, LinesReadOrRefused) {
    const struct {
        const char *text;
        const char *read; // the line as read, or "error: " and why not
    } cases[] = {
        {"thread 2, pic1->fOpen: 1 | 0", "row 2; pic1->fOpen; 1 | 0"},
        {"thread *, hIMC3: T2.C1 | *", "any thread; hIMC3; T2.C1 | *"},
        {"thread 1, entry 4, pic3: record | (null)", "row 1; entries 4-4; pic3; record | (null)"},
        {"thread 1, entries 2-9, shared contexts: window=button=edit | window=button, edit",
         "row 1; entries 2-9; shared contexts; window=button=edit | window=button, edit"},
        {"thread 1, pic2->lfFont.W.lfFaceName: \"A | \\\"B\\\"\" | \"C\"  (x)",
         "row 1; pic2->lfFont.W.lfFaceName; \"A | \\\"B\\\"\" | \"C\""},
        {"thread 2, pic1->fdwConversion: 0x00000019 | 0x00000009  (-ROMAN)  (a.txt:3, b.txt:3)",
         "row 2; pic1->fdwConversion; 0x00000019 | 0x00000009"},
        {"thread 2, pic1->hWnd: T2.window (00020012) | 00000000",
         "row 2; pic1->hWnd; T2.window | 00000000"},
        {"thread 2, entries: 2 | 3", "row 2; entries; 2 | 3"},
        {"thread 0, pic1->fOpen: 1 | 0", "error: expected \"thread N, \" or \"thread *, \" first"},
        {"thread 1, entries 5-2, pic1->fOpen: 1 | 0",
         "error: expected \"entries N-M, \", N at most M"},
        {"thread 1, entry x, pic1->fOpen: 1 | 0", "error: expected \"entry N, \""},
        {"thread 1, pic1->fOpn: 1 | 0", "error: no such fact: pic1->fOpn"},
        {"thread 1, pic1->fOpen: 1 0",
         "error: expected A's value, \" | \" and B's value after \"pic1->fOpen: \""},
        {"thread 1, pic1->fOpen: 1 | ",
         "error: expected A's value, \" | \" and B's value after \"pic1->fOpen: \""},
        {"thread 1, pic2->lfFont.W.lfFaceName: \"A\" | \"B\" x",
         "error: unexpected text after B's value: \" x\""},
        {"thread 1, pic1->fOpen: 1 | 0  (-X", "error: a bracket not closed after B's value"},
    };
    for (const auto &c : cases) {
        KnownLine line;
        std::string reason;
        std::string read;
        if (!ParseKnownLine(c.text, line, reason)) {
            read = "error: " + reason;
        } else {
            read = line.anyThread ? "any thread" : "row " + std::to_string(line.row);
            if (line.entriesGiven) {
                read += "; entries " + std::to_string(line.firstEntry) + "-" +
                        std::to_string(line.lastEntry);
            }
            read += "; " + FactName(line.fact) + "; " + (line.any[0] ? "*" : line.value[0]) +
                    " | " + (line.any[1] ? "*" : line.value[1]);
        }
        EXPECT_EQ(read, c.read) << c.text;
    }
}

TEST(Known, LinesAcceptDifferences) {
    Fact fOpen = FactNamed("pic1->fOpen");
    Fact face = FactNamed("pic2->lfFont.W.lfFaceName");
    Fact context = FactNamed("hIMC3");
    Difference opened = {2, 3, fOpen, {1, 10, nullptr}, {0, 10, nullptr}, 0};
    Difference faces = {1, 1, face, {0, 5, "MS Shell Dlg"}, {0, 5, "Tahoma"}, 0};
    Difference contexts = {1, 2, context, {0x10070, 5, nullptr}, {0x1006A, 5, nullptr}, 0};
    const struct {
        const char *line;
        const Difference &difference;
        bool accepted;
    } cases[] = {
        {"thread 2, pic1->fOpen: 1 | 0", opened, true},
        {"thread 1, pic1->fOpen: 1 | 0", opened, false},
        {"thread 2, pic1->fOpen: * | 0", opened, true},
        {"thread 2, pic1->fOpen: 1 | *", opened, true},
        {"thread 2, pic1->fOpen: 0 | *", opened, false},
        {"thread 2, pic1->fOpen: * | 1", opened, false},
        {"thread 2, pic2->fOpen: 1 | 0", opened, false},
        {"thread 2, entries 3-5, pic1->fOpen: 1 | 0", opened, true},
        {"thread 2, entries 1-2, pic1->fOpen: 1 | 0", opened, false},
        {"thread 2, entries 1-3, pic1->fOpen: 1 | 0", opened, true},
        {"thread 2, entry 4, pic1->fOpen: 1 | 0", opened, false},
        {"thread 1, pic2->lfFont.W.lfFaceName: \"MS Shell Dlg\" | \"Tahoma\"", faces, true},
        {"thread 1, pic2->lfFont.W.lfFaceName: MS Shell Dlg | Tahoma", faces, false},
        {"thread 1, pic2->lfFont.W.lfFaceName: \"MS Shell Dlg\" | \"Arial\"", faces, false},
        {"thread 1, hIMC3: 00010070 | 0001006A", contexts, true},
        {"thread 1, hIMC3: 00010070 (00010070) | *", contexts, true},
    };
    for (const auto &c : cases) {
        KnownMatching matching = {};
        KnownLine line;
        std::string reason;
        ASSERT_TRUE(ParseKnownLine(c.line, line, reason)) << c.line << ": " << reason;
        line.line = 7;
        matching.file.known.push_back(line);
        KnownCheck check = KnownMatchingCheck(matching);
        DiffResult result = {};
        EXPECT_EQ(check.lineOf(check.state, result, c.difference), c.accepted ? 7u : 0u) << c.line;
        EXPECT_EQ(check.left(check.state).size(), c.accepted ? 0u : 1u) << c.line;
    }
}

} // namespace
