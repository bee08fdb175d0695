// The report lock exists before any test runs, as it does in the tool before
// any window is created.
#include "report/report.h"

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    InitializeCriticalSection(&ReportLock);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
