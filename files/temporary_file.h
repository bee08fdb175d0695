// Scratch files that leave nothing behind.
#pragma once

#include <cstdio>
#include <string>

// Opens an empty file for reading and writing in binary that the system
// removes when it is closed, at exit and when the program is interrupted or
// killed (Linux: unlinked at once, in $TMPDIR or /tmp; Windows: in the
// folder GetTempPathW names, deleted on close). Returns null with the
// system's reason in error on failure.
FILE *OpenTemporaryFile(std::string &error);
