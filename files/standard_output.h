// The end of what the tool writes to standard output.
#pragma once

#include <string>

// Flushes standard output and says whether every write to it succeeded; on
// failure a reason such as "write error: No space left on device" (as GNU
// diff says it).
bool FinishStandardOutput(std::string &error);
