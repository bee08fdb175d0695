// The facts two reports can differ in, and how they are named.
#pragma once

#include "report/report_format.h"

#include <cstdint>
#include <string>

// A header value (index into HeaderFields), which of window, button and
// edit share a context, a record against "(null)" (block), a block member
// (block, index into BlockMembers), or a thread's count of entries.
enum class FactKind : uint8_t { Header, Sharing, Record, Member, Entries };

struct Fact {
    FactKind kind;
    uint8_t block;
    uint8_t index;
};

inline bool operator==(const Fact &a, const Fact &b) {
    return a.kind == b.kind && a.block == b.block && a.index == b.index;
}

// The kind of a header or member fact's values; Hex for the others.
inline ValueKind KindOf(const Fact &fact) {
    return fact.kind == FactKind::Header   ? HeaderFields[fact.index].kind
           : fact.kind == FactKind::Member ? BlockMembers[fact.index].kind
                                           : ValueKind::Hex;
}

// Whether a difference's values are face names.
inline bool IsTextFact(const Fact &fact) {
    return fact.kind == FactKind::Member && BlockMembers[fact.index].kind == ValueKind::Text;
}

// A memory sample: it changes with every capture.
inline bool IsSampleFact(const Fact &fact) {
    return fact.kind == FactKind::Header && HeaderFields[fact.index].role == HeaderRole::Sample;
}

// Thread ids and memory samples change from run to run: they are compared
// only with --strict.
inline bool ComparedOnlyWhenStrict(const Fact &fact) {
    return fact.kind == FactKind::Header && (HeaderFields[fact.index].role == HeaderRole::Thread ||
                                             HeaderFields[fact.index].role == HeaderRole::Sample);
}

// The fact as the report names it: "hIMC1", "pic1->fOpen", "pic3",
// "shared contexts", "entries".
std::string FactName(const Fact &fact);

// One side of a difference. value: a header or member value, the sharing
// (SharingOf), 1 for a record and 0 for "(null)", or a count of entries;
// faceName: a face name's bytes, valid while the difference is pushed.
// line: 0 where the fact has no line.
struct DifferenceSide {
    uint64_t value;
    uint64_t line;
    const char *faceName;
};

struct Difference {
    size_t row;     // 1-based row of threads
    uint64_t entry; // 1-based within the thread; 0 for the thread as a whole
    Fact fact;
    DifferenceSide a;
    DifferenceSide b;
    uint64_t known; // the line of the known-differences file it matches; 0: new
};
