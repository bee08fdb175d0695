#include "render/escape.h"

#include <cstdio>

// The length of the UTF-8 sequence at text[i], or 0 when none starts there.
static size_t Utf8Length(const std::string &text, size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (c >= 0xF5 || length == 0 || i + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; k++) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Copies a whole UTF-8 sequence at text[i] as it is (a file name, a face name
// decoded), moving i to its last byte; false when none starts there.
static bool KeepUtf8(const std::string &text, size_t &i, std::string &out) {
    size_t sequence = static_cast<unsigned char>(text[i]) >= 0x80 ? Utf8Length(text, i) : 0;
    if (sequence == 0) {
        return false;
    }
    out.append(text, i, sequence);
    i += sequence - 1;
    return true;
}

std::string JsonString(const std::string &text) {
    std::string json = "\"";
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (KeepUtf8(text, i, json)) {
            continue;
        }
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04X", c);
            json += escaped;
        } else {
            json += static_cast<char>(c);
        }
    }
    return json + "\"";
}

std::string HtmlText(const std::string &text) {
    std::string html;
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (KeepUtf8(text, i, html)) {
            continue;
        }
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                html += "&#" + std::to_string(c) + ";";
            } else {
                html += static_cast<char>(c);
            }
        }
    }
    return html;
}
