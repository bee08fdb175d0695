// File names and arguments between UTF-8 (the tool's own text) and UTF-16
// (Windows' names). A UTF-16 unit that pairs with nothing is kept as its own
// three-byte sequence and comes back as it was, so that every name Windows
// can give round-trips, even one that is not valid Unicode.
#pragma once

#include <string>

// Each wchar_t holds one UTF-16 unit.
std::string Utf8FromWide(const std::wstring &wide);

// Appends one code point as UTF-8.
void AppendUtf8(std::string &text, char32_t code);
// Bytes that form no sequence come back as U+FFFD each.
std::wstring WideFromUtf8(const std::string &text);
