// Text in double quotes, as problems and face names are shown.
#pragma once

#include <string>
#include <string_view>

// A quote or a backslash escaped by a backslash, any other byte outside
// printable ASCII as \xNN, but for bytes above 0x7F of text decoded to
// UTF-8 (keepUtf8).
std::string QuotedText(std::string_view text, bool keepUtf8 = false);
