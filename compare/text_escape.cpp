#include "compare/text_escape.h"

#include <cstdio>

std::string JsonString(const std::string &text) {
    std::string json = "\"";
    for (unsigned char c : text) {
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
    for (unsigned char c : text) {
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
