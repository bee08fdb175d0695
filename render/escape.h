// Text made safe for the JSON and page outputs. Whole UTF-8 sequences (file
// names, face names decoded) stay as they are; any other byte above 0x7F is
// shown as the character of the same number (U+0080 to U+00FF).
#pragma once

#include <string>

// A JSON string, quotes included.
std::string JsonString(const std::string &text);

// Text for an HTML page.
std::string HtmlText(const std::string &text);
