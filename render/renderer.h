// The renderers: each writes a command's whole result in one format, and
// decides nothing about it.
#pragma once

#include "compare/results.h"

#include <cstdio>

struct Renderer {
    void (*check)(FILE *out, const CheckResult &result);
    void (*summary)(FILE *out, const SummaryResult &result);
    void (*diff)(FILE *out, const DiffResult &result);
};

extern const Renderer TextRenderer;
extern const Renderer JsonRenderer;

// The page shows a diff: the two reports side by side.
void WritePage(FILE *out, const DiffResult &result);

// A report's trouble as people read it on stderr, whatever the format: why
// it cannot be read, or its problems as "file:line: reason".
void WriteTrouble(FILE *err, const ReportFacts &facts);

// Where comparing stopped, in words: "threads 2 and later not compared:
// B.txt:610: reason"; empty when it did not stop.
std::string StopText(const DiffResult &result);
