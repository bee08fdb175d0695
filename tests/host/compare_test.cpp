// The comparison where the report tool's transcript cannot reach it.
#include "compare/commands.h"

#include <gtest/gtest.h>

namespace {

// Past the names given, a handle named on one side only is compared as
// different from the same value unnamed on the other.
TEST(Compare, HandleNamedOnOneSideOnly) {
    DiffResult result = {};
    ReadEntry a = {};
    ReadEntry b = {};
    a.header[WindowField(0, 1)] = b.header[WindowField(0, 1)] = 0x00010058;
    result.namesA.names.emplace(0x00010058, "T1.C1");
    CompareEntries(result, 1, 1, a, b);
    EXPECT_EQ(result.differences.size(), 1u);
}

} // namespace
