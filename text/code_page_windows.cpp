#include "text/code_page.h"

#include <windows.h>

// Code pages 0 to 3 stand for this machine's own, not the report's. The few
// that refuse MB_ERR_INVALID_CHARS (UTF-7, ISO 2022, symbol) cannot tell
// which bytes they do not hold, so they are not offered.
bool OpenCodePage(int number, CodePage &codePage) {
    WCHAR wide[2];
    CPINFO info;
    if (number <= CP_THREAD_ACP ||
        MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, "A", 1, wide, 2) <= 0 ||
        !GetCPInfo(number, &info)) {
        return false;
    }
    codePage = {number, info.MaxCharSize, nullptr};
    return true;
}

void CloseCodePage(CodePage &) {}

bool DecodeCharacter(const CodePage &codePage, const char *bytes, size_t length,
                     std::u32string &characters) {
    WCHAR wide[8];
    int units = MultiByteToWideChar(codePage.number, MB_ERR_INVALID_CHARS, bytes,
                                    static_cast<int>(length), wide, 8);
    for (int i = 0; i < units; i++) {
        char32_t unit = wide[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (wide[++i] - 0xDC00);
        }
        characters += unit;
    }
    return units > 0;
}
