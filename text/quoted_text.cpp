#include "text/quoted_text.h"

#include <cstdio>

std::string QuotedText(std::string_view text, bool keepUtf8) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if ((c >= 0x20 && c < 0x7F) || (keepUtf8 && c >= 0x80)) {
            quoted += static_cast<char>(c);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", c);
            quoted += escaped;
        }
    }
    return quoted + "\"";
}
