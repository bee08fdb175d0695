// Which differences a known-differences file accepts, for diff --known.
#pragma once

#include "compare/diff.h"
#include "known/known_file.h"

#include <unordered_map>

struct KnownMatching {
    KnownFile file;
    int codePage; // face names are shown so to be matched
    std::unordered_map<uint32_t, std::vector<size_t>> linesOfFact; // into file.known
};

// The check diff asks of each difference; matching must outlive the diff.
KnownCheck KnownMatchingCheck(KnownMatching &matching);

// A difference's side as a known line gives it: a face name quoted, a
// handle by its name, any other value as diff shows it.
std::string KnownValueText(const DiffResult &result, const Difference &difference, bool sideB,
                           int codePage);
