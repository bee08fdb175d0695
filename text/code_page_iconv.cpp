#include "text/code_page.h"

#include <iconv.h>

namespace {

const size_t Failed = static_cast<size_t>(-1);

void AppendUtf32(std::u32string &characters, const char *from, const char *to) {
    for (; from + 4 <= to; from += 4) {
        const unsigned char *bytes = reinterpret_cast<const unsigned char *>(from);
        characters += static_cast<char32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                            static_cast<char32_t>(bytes[3]) << 24);
    }
}

} // namespace

// glibc knows the Windows code pages as "CP" and the number, UTF-8 by name.
bool OpenCodePage(int number, CodePage &codePage) {
    std::string name = number == 65001 ? "UTF-8" : "CP" + std::to_string(number);
    iconv_t converter = iconv_open("UTF-32LE", name.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    codePage = {number, 4, converter};
    return true;
}

void CloseCodePage(CodePage &codePage) {
    iconv_close(static_cast<iconv_t>(codePage.converter));
    codePage.converter = nullptr;
}

// The final call writes out a character the converter may still hold back
// (1255 and 1258 wait for a combining mark).
bool DecodeCharacter(const CodePage &codePage, const char *bytes, size_t length,
                     std::u32string &characters) {
    iconv_t converter = static_cast<iconv_t>(codePage.converter);
    char *in = const_cast<char *>(bytes);
    size_t inLeft = length;
    char buffer[64];
    char *out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == Failed || inLeft != 0 ||
        iconv(converter, nullptr, nullptr, &out, &outLeft) == Failed || out == buffer) {
        return false;
    }
    AppendUtf32(characters, buffer, out);
    return true;
}
