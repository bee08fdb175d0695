#include "compare/comparer.h"

#include <cstring>

std::string FactName(const Fact &fact) {
    switch (fact.kind) {
    case FactKind::Header:
        return HeaderFields[fact.index].label;
    case FactKind::Sharing:
        return "shared contexts";
    case FactKind::Record:
        return BlockLabels[fact.block];
    case FactKind::Member:
        return std::string(BlockLabels[fact.block]) + "->" + BlockMembers[fact.index].path;
    case FactKind::Entries:
        break;
    }
    return "entries";
}

namespace {

struct Comparing {
    const HandleNames &namesA;
    const HandleNames &namesB;
    size_t row;
    uint64_t entry;
    std::vector<Difference> &differences;
};

// Two handles stand for the same thing when their names are the same; a
// handle left unnamed is compared by its value.
bool SameHandle(const Comparing &comparing, uint32_t a, uint32_t b) {
    uint64_t nameA = HandleNameKey(comparing.namesA, a);
    uint64_t nameB = HandleNameKey(comparing.namesB, b);
    return nameA == nameB && (nameA != 0 || a == b);
}

void Differ(Comparing &comparing, Fact fact, DifferenceSide a, DifferenceSide b) {
    comparing.differences.push_back({comparing.row, comparing.entry, fact, a, b, 0});
}

void CompareBlocks(Comparing &comparing, const ReadBlock &blockA, const ReadBlock &blockB, int n) {
    uint8_t block = static_cast<uint8_t>(n);
    if (blockA.present != blockB.present) {
        Differ(comparing, {FactKind::Record, block, 0}, {blockA.present, blockA.line, nullptr},
               {blockB.present, blockB.line, nullptr});
        return;
    }
    if (!blockA.present) {
        return;
    }
    for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
        Fact fact = {FactKind::Member, block, static_cast<uint8_t>(m)};
        uint32_t valueA = blockA.values[m];
        uint32_t valueB = blockB.values[m];
        uint64_t lineA = blockA.line + static_cast<uint64_t>(m);
        uint64_t lineB = blockB.line + static_cast<uint64_t>(m);
        switch (BlockMembers[m].kind) {
        case ValueKind::Handle:
            if (!SameHandle(comparing, valueA, valueB)) {
                Differ(comparing, fact, {valueA, lineA, nullptr}, {valueB, lineB, nullptr});
            }
            break;
        case ValueKind::Text:
            if (strcmp(blockA.faceName, blockB.faceName) != 0) {
                Differ(comparing, fact, {0, lineA, blockA.faceName}, {0, lineB, blockB.faceName});
            }
            break;
        default:
            if (valueA != valueB) {
                Differ(comparing, fact, {valueA, lineA, nullptr}, {valueB, lineB, nullptr});
            }
        }
    }
}

uint64_t HeaderLine(const ReadEntry &entry, int h) {
    return entry.line + 1 + static_cast<uint64_t>(HeaderFields[h].line);
}

} // namespace

void CompareEntries(const HandleNames &namesA, const HandleNames &namesB, bool strict, size_t row,
                    uint64_t entry, const ReadEntry &a, const ReadEntry &b,
                    std::vector<Difference> &differences) {
    Comparing comparing = {namesA, namesB, row, entry, differences};
    auto header = [&](int h) {
        Fact fact = {FactKind::Header, 0, static_cast<uint8_t>(h)};
        if (ComparedOnlyWhenStrict(fact) && !strict) {
            return;
        }
        bool same = HeaderFields[h].kind == ValueKind::Handle
                        ? SameHandle(comparing, a.header[h], b.header[h])
                        : a.header[h] == b.header[h];
        if (!same) {
            Differ(comparing, fact, {a.header[h], HeaderLine(a, h), nullptr},
                   {b.header[h], HeaderLine(b, h), nullptr});
        }
    };
    header(THREAD_ID_FIELD);
    // Sharing is a fact of the window line on, shown before its values.
    int sharingA = SharingOf(a);
    int sharingB = SharingOf(b);
    if (sharingA != sharingB) {
        int h = WindowField(0, 0);
        Differ(comparing, {FactKind::Sharing, 0, 0},
               {static_cast<uint64_t>(sharingA), HeaderLine(a, h), nullptr},
               {static_cast<uint64_t>(sharingB), HeaderLine(b, h), nullptr});
    }
    for (int h = THREAD_ID_FIELD + 1; h < HEADER_FIELD_COUNT; h++) {
        header(h);
    }
    for (int n = 0; n < 3; n++) {
        CompareBlocks(comparing, a.blocks[n], b.blocks[n], n);
    }
}
