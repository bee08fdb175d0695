#include "known/known_check.h"
#include "render/values.h"

static uint32_t FactKey(const Fact &fact) {
    return static_cast<uint32_t>(fact.kind) << 16 | static_cast<uint32_t>(fact.block) << 8 |
           fact.index;
}

std::string KnownValueText(const DiffResult &result, const Difference &difference, bool sideB,
                           int codePage) {
    ShownValue shown = ShowSide(result, difference, sideB, codePage);
    return shown.faceName ? shown.quoted : shown.text;
}

// The first line that accepts the difference; every line that does counts it.
static uint64_t LineOf(void *state, const DiffResult &result, const Difference &difference) {
    KnownMatching &matching = *static_cast<KnownMatching *>(state);
    auto lines = matching.linesOfFact.find(FactKey(difference.fact));
    if (lines == matching.linesOfFact.end()) {
        return 0;
    }
    std::string values[2];
    bool shown[2] = {false, false};
    uint64_t first = 0;
    for (size_t i : lines->second) {
        KnownLine &known = matching.file.known[i];
        bool accepts = (known.anyThread || known.row == difference.row) &&
                       (!known.entriesGiven || (difference.entry >= known.firstEntry &&
                                                difference.entry <= known.lastEntry));
        for (int s = 0; s < 2 && accepts; s++) {
            if (!known.any[s] && !shown[s]) {
                values[s] = KnownValueText(result, difference, s == 1, matching.codePage);
                shown[s] = true;
            }
            accepts = known.any[s] || values[s] == known.value[s];
        }
        if (accepts) {
            known.matched++;
            first = first == 0 ? known.line : first;
        }
    }
    return first;
}

static std::vector<KnownLineLeft> Left(void *state) {
    const KnownMatching &matching = *static_cast<const KnownMatching *>(state);
    std::vector<KnownLineLeft> left;
    for (const KnownLine &known : matching.file.known) {
        if (known.matched == 0) {
            left.push_back({known.line, known.text});
        }
    }
    return left;
}

KnownCheck KnownMatchingCheck(KnownMatching &matching) {
    matching.linesOfFact.clear();
    for (size_t i = 0; i < matching.file.known.size(); i++) {
        matching.linesOfFact[FactKey(matching.file.known[i].fact)].push_back(i);
    }
    return {&matching, LineOf, Left};
}
