// diff --write-known: the differences found, written as a known-differences
// file that a later diff --known accepts.
#pragma once

#include "compare/diff.h"
#include "known/known_file.h"

#include <map>
#include <string>

// Distinct lines kept at most; a difference past them is written as
// "thread N, FACT: * | *", which accepts it with every other of its fact.
inline constexpr size_t MAX_KNOWN_LINES_WRITTEN = 4096;

struct KnownWriter {
    int codePage;
    std::map<std::string, std::string> lines; // by where they go: thread, fact, text
};

// Collects the new differences (those no known line accepts).
DiffSink KnownWriterSink(KnownWriter &writer);

// A difference as a known line: "thread 1, pic1->fOpen: 1 | 0"; thread ids
// and memory samples, which change from run to run, as "* | *".
std::string KnownLineText(const DiffResult &result, const Difference &difference, int codePage);

// Replaces the file at path, once whole: a comment naming the reports, their
// runs and the date (SOURCE_DATE_EPOCH's when set), then, when `old` is the
// file --known read, its comments and the lines that still accept a
// difference, in their order, then the new lines in a stable order.
bool WriteKnownFile(const std::string &path, const DiffResult &result, const KnownWriter &writer,
                    const KnownFile *old, std::string &error);
