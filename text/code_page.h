// A code page opened for decoding with the system's own tables: iconv on
// Linux, MultiByteToWideChar on Windows.
#pragma once

#include <cstddef>
#include <string>

struct CodePage {
    int number = 0;
    size_t longestCharacter = 1; // in bytes
    void *converter = nullptr;   // iconv's, on Linux
};

// False when the code page is not available here.
bool OpenCodePage(int number, CodePage &codePage);
void CloseCodePage(CodePage &codePage);

// Appends the characters that exactly these bytes decode to, read from the
// code page's initial state; false, appending nothing, when they are not
// whole characters of the code page.
bool DecodeCharacter(const CodePage &codePage, const char *bytes, size_t length,
                     std::u32string &characters);
