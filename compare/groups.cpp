#include "compare/groups.h"

#include <algorithm>
#include <cstring>

// What tells groups apart: the row, the fact, the known line it matches
// and, but for memory samples, both values as compared (a handle's value
// stands for its name, as one report gives one handle one name).
static std::string GroupKey(const Difference &difference) {
    std::string key(sizeof difference.row + sizeof difference.fact + sizeof difference.known, '\0');
    memcpy(key.data(), &difference.row, sizeof difference.row);
    memcpy(key.data() + sizeof difference.row, &difference.fact, sizeof difference.fact);
    memcpy(key.data() + sizeof difference.row + sizeof difference.fact, &difference.known,
           sizeof difference.known);
    if (IsSampleFact(difference.fact)) {
        return key;
    }
    for (const DifferenceSide *side : {&difference.a, &difference.b}) {
        if (side->faceName != nullptr) {
            key += side->faceName;
            key += '\0';
        } else {
            key.append(reinterpret_cast<const char *>(&side->value), sizeof side->value);
        }
    }
    return key;
}

bool GroupDifference(DifferenceGroups &groups, const Difference &difference) {
    std::string key = GroupKey(difference);
    auto found = groups.groupOf.find(key);
    if (found == groups.groupOf.end()) {
        if (groups.groups.size() >= MAX_GROUPS) {
            return false;
        }
        found = groups.groupOf.emplace(std::move(key), groups.groups.size()).first;
        DifferenceGroup group = {};
        group.first = difference;
        const DifferenceSide *sides[2] = {&difference.a, &difference.b};
        for (int s = 0; s < 2; s++) {
            if (sides[s]->faceName != nullptr) {
                group.faceNames[s] = sides[s]->faceName;
            }
            group.lowest[s] = group.highest[s] = static_cast<uint32_t>(sides[s]->value);
        }
        group.first.a.faceName = group.first.b.faceName = nullptr;
        group.sampleRange = IsSampleFact(difference.fact);
        groups.groups.push_back(std::move(group));
    }
    DifferenceGroup &group = groups.groups[found->second];
    group.count++;
    if (group.sampleRange) {
        const uint32_t values[2] = {static_cast<uint32_t>(difference.a.value),
                                    static_cast<uint32_t>(difference.b.value)};
        for (int s = 0; s < 2; s++) {
            group.lowest[s] = std::min(group.lowest[s], values[s]);
            group.highest[s] = std::max(group.highest[s], values[s]);
        }
    }
    std::vector<EntryRange> &ranges = group.entries;
    bool goesOn = group.count > 1 && group.lastEntry + 1 == difference.entry;
    if (goesOn && group.rangesLeftOut == 0) {
        ranges.back().last = difference.entry;
    } else if (!goesOn && ranges.size() < MAX_RANGES_KEPT) {
        ranges.push_back({difference.entry, difference.entry});
    } else if (!goesOn) {
        group.rangesLeftOut++;
    }
    group.lastEntry = difference.entry;
    return true;
}
