// Report text made safe for the outputs. Face names are bytes of the
// platform's ANSI code page, which is not known here: a byte above 0x7F is
// shown as the character of the same number (U+0080 to U+00FF), unless it
// starts a whole UTF-8 sequence, as in a file name on Linux.
#pragma once

#include <string>

// A JSON string, quotes included.
std::string JsonString(const std::string &text);

// Text for an HTML page.
std::string HtmlText(const std::string &text);
