// A face name's bytes, as a report holds them, turned into text (UTF-8) for
// the text, JSON and page outputs.
#pragma once

#include <string>

// Whether names in this ANSI code page (932, 936, 949, 950, 874, 1250-1258,
// 65001...) can be decoded here: with the C library's iconv on Linux, with
// MultiByteToWideChar on Windows. False with a reason in error otherwise, e.g.
// "code page 1234 is not available here".
bool CanDecode(int codePage, std::string &error);

// The bytes decoded from the code page to UTF-8. Each byte that starts no
// character of the code page, such as a double-byte sequence cut at the end,
// becomes U+FFFD and the next byte is read afresh; so does a control
// character, which is never part of a name. Only the bytes given are read.
// A code page CanDecode refuses gives RawFaceName(bytes).
std::string DecodeFaceName(const std::string &bytes, int codePage);

// The bytes without a code page, the same in every output: printable ASCII as
// it is and every other byte as "\xNN" (upper-case hex), so that nothing is
// hidden or guessed. Quoting '"' and '\' is left to each output's format.
std::string RawFaceName(const std::string &bytes);

// The face name as every output shows it: decoded when a code page is given
// (codePage not 0), else RawFaceName's form.
std::string ShownFaceName(const std::string &bytes, int codePage);

// That in double quotes, as the text output and problems quote: a quote or a
// backslash escaped, bytes above 0x7F as \xNN unless decoded.
std::string QuotedFaceName(const std::string &bytes, int codePage);
