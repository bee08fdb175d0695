// A known-differences file: the differences between two platforms that a
// person has accepted for now, one a line, in the form diff prints a group
// without its entries and line numbers:
//
//   # the edit control keeps a context of its own on this platform
//   thread 2, hIMC3: T2.C1 | T2.C2
//   thread *, pic1->fdwConversion: 0x00000019 | *  (-ROMAN)
//   thread 1, entries 2-4, pic2->lfFont.W.lfFaceName: "MS Shell Dlg" | "Tahoma"
//
// "*" stands for any value on its side, "thread *" for any thread; the
// entries, when given, are the only ones the line accepts. What follows B's
// value in brackets (the flags' change, the lines diff printed) is passed
// over, and so is a handle's value in brackets after its name. Lines that
// begin with '#' and blank lines are comments.
#pragma once

#include "compare/fact.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct KnownLine {
    uint64_t line; // in its file
    std::string text;
    bool anyThread;
    size_t row; // 1-based, unless anyThread
    bool entriesGiven;
    uint64_t firstEntry;
    uint64_t lastEntry;
    Fact fact;
    bool any[2];          // "*" on A's side, on B's
    std::string value[2]; // as diff shows them: a face name quoted
    uint64_t matched;     // differences it matched
};

struct KnownFile {
    std::string path;
    std::vector<std::string> lines; // every line as written, comments too
    std::vector<KnownLine> known;
};

// Reads a line; false with the reason when it means nothing.
bool ParseKnownLine(std::string_view text, KnownLine &known, std::string &reason);

// Reads a known-differences file (a path, or "-"). False with the error as
// people read it ("known.txt:12: reason", or why it cannot be read).
bool ReadKnownFile(const std::string &path, KnownFile &file, std::string &error);
