#include "files/wide_text.h"

static bool IsLeadSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

static bool IsTrailSurrogate(unsigned unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::string Utf8FromWide(const std::wstring &wide) {
    std::string text;
    for (size_t i = 0; i < wide.size(); i++) {
        unsigned code = static_cast<unsigned>(wide[i]) & 0xFFFF;
        if (IsLeadSurrogate(code) && i + 1 < wide.size() &&
            IsTrailSurrogate(static_cast<unsigned>(wide[i + 1]) & 0xFFFF)) {
            code = 0x10000 + ((code - 0xD800) << 10) +
                   ((static_cast<unsigned>(wide[++i]) & 0xFFFF) - 0xDC00);
        }
        AppendUtf8(text, code);
    }
    return text;
}

std::wstring WideFromUtf8(const std::string &text) {
    // The smallest code of a sequence of 1 to 4 bytes: a smaller one is overlong.
    static const unsigned Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    std::wstring wide;
    for (size_t i = 0; i < text.size();) {
        unsigned byte = static_cast<unsigned char>(text[i]);
        size_t length = byte < 0x80       ? 1
                        : byte >> 5 == 6  ? 2
                        : byte >> 4 == 14 ? 3
                        : byte >> 3 == 30 ? 4
                                          : 0;
        unsigned code = length == 1 ? byte : byte & (0x7F >> length);
        size_t n = 1;
        while (length > 1 && n < length && i + n < text.size() &&
               (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) {
            code = code << 6 | (static_cast<unsigned char>(text[i + n]) & 0x3F);
            n++;
        }
        if (length == 0 || n < length || code < Smallest[length] || code > 0x10FFFF) {
            wide += static_cast<wchar_t>(0xFFFD);
            i++;
            continue;
        }
        i += length;
        if (code >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(code);
        }
    }
    return wide;
}

void AppendUtf8(std::string &text, char32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | code >> 6);
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | code >> 12);
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | code >> 18);
        text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}
