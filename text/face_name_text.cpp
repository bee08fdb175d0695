#include "text/face_name_text.h"
#include "text/quoted_text.h"

#include "files/wide_text.h"
#include "text/code_page.h"

namespace {

// Controls, surrogates and values past Unicode have no place in a name: shown
// as U+FFFD, which also keeps each output's line whole.
char32_t Shown(char32_t code) {
    bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
    bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return control || surrogate || code > 0x10FFFF ? U'\uFFFD' : code;
}

// The bytes of one character at `at`: the shortest run that decodes whole;
// 0 when none does, as for a byte the code page does not hold or a
// double-byte sequence cut at the end.
size_t DecodeNext(const CodePage &codePage, const std::string &bytes, size_t at,
                  std::u32string &characters) {
    for (size_t length = 1; length <= codePage.longestCharacter && at + length <= bytes.size();
         length++) {
        if (DecodeCharacter(codePage, bytes.data() + at, length, characters)) {
            return length;
        }
    }
    return 0;
}

} // namespace

bool CanDecode(int codePage, std::string &error) {
    CodePage opened;
    if (!OpenCodePage(codePage, opened)) {
        error = "code page " + std::to_string(codePage) + " is not available here";
        return false;
    }
    CloseCodePage(opened);
    return true;
}

std::string DecodeFaceName(const std::string &bytes, int codePage) {
    CodePage opened;
    if (!OpenCodePage(codePage, opened)) {
        return RawFaceName(bytes);
    }
    std::u32string characters;
    for (size_t at = 0; at < bytes.size();) {
        size_t length = DecodeNext(opened, bytes, at, characters);
        if (length == 0) {
            characters += U'\uFFFD';
            length = 1;
        }
        at += length;
    }
    CloseCodePage(opened);
    std::string text;
    for (char32_t code : characters) {
        AppendUtf8(text, Shown(code));
    }
    return text;
}

std::string RawFaceName(const std::string &bytes) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string text;
    for (char byte : bytes) {
        unsigned value = static_cast<unsigned char>(byte);
        if (value >= 0x20 && value < 0x7F) {
            text += byte;
        } else {
            text += {'\\', 'x', Hex[value >> 4], Hex[value & 0xF]};
        }
    }
    return text;
}

std::string ShownFaceName(const std::string &bytes, int codePage) {
    return codePage != 0 ? DecodeFaceName(bytes, codePage) : RawFaceName(bytes);
}

std::string QuotedFaceName(const std::string &bytes, int codePage) {
    return QuotedText(codePage != 0 ? DecodeFaceName(bytes, codePage) : bytes, codePage != 0);
}
