// How the report writes each kind of value, and how it is read back:
// ParseValue takes exactly the texts that FormatValue gives (and, for a face
// name, the bytes the tool prints), so the writer and the reader cannot drift.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Handle "0001005E", Hex "0x0000001A", Signed "-1", Byte "0" to "255", Text a
// face name as its ANSI bytes.
enum class ValueKind { Handle, Hex, Signed, Byte, Text };

// The longest face-name text: what 32 UTF-16 units can become in a double-byte
// code page.
#define FACE_NAME_TEXT_MAX 64

// Room for any value but a face name, with its NUL.
#define VALUE_TEXT_SIZE 16

// Writes a value of any kind but Text in its form; returns the text's length.
int FormatValue(ValueKind kind, uint32_t value, char *text);

// The parsers read one value from text, up to the first byte that cannot
// belong to it or to limit. Each returns where it stopped, or null when what
// it read is no such value. They are inline: a report holds millions of values.

// Eight upper-case hex digits, as every handle and flag word is written,
// taken as one word: text[0], the highest digit, in its lowest byte.
inline const char *ParseHex8(const char *text, const char *limit, uint32_t &value) {
    static_assert(std::endian::native == std::endian::little);
    if (limit - text < 8) {
        return nullptr;
    }
    constexpr uint64_t ones = 0x0101010101010101;
    constexpr uint64_t high = 0x80 * ones;
    uint64_t word;
    memcpy(&word, text, sizeof word);
    // Adding 0x80 - byte to each byte below 0x80 sets its high bit when it is
    // at least that byte, with no carry into the next one.
    auto atLeast = [word](uint64_t byte) { return word + (0x80 - byte) * ones; };
    uint64_t digits = atLeast('0') & ~atLeast('9' + 1);
    uint64_t letters = atLeast('A') & ~atLeast('F' + 1);
    if (((digits | letters) & ~word & high) != high) {
        return nullptr;
    }
    // Each byte's value: its low four bits, plus 9 for a letter (bit 6 set).
    uint64_t nibbles = (word & 0x0F * ones) + (word >> 6 & ones) * 9;
    // Bytes 0, 2, 4 and 6 take two digits each, highest first.
    uint64_t pairs = (nibbles << 4 | nibbles >> 8) & 0x00FF00FF00FF00FF;
    value = static_cast<uint32_t>((pairs & 0xFF) << 24 | (pairs >> 16 & 0xFF) << 16 |
                                  (pairs >> 32 & 0xFF) << 8 | pairs >> 48);
    return text + 8;
}

// A decimal as the tool writes it: no sign but '-', no leading zero, no "-0",
// at most `largest` (one more when negative).
inline const char *ParseDecimal(const char *text, const char *limit, bool negativeAllowed,
                                uint64_t largest, uint32_t &value) {
    bool negative = negativeAllowed && text < limit && *text == '-';
    const char *digits = negative ? text + 1 : text;
    // An eleventh digit is read only to be refused.
    const char *end = limit - digits > 11 ? digits + 11 : limit;
    const char *stop = digits;
    uint64_t result = 0;
    while (stop < end && static_cast<unsigned char>(*stop - '0') < 10) {
        result = result * 10 + static_cast<uint64_t>(*stop - '0');
        stop++;
    }
    size_t count = static_cast<size_t>(stop - digits);
    if (count == 0 || count > 10 || (*digits == '0' && (count > 1 || negative)) ||
        result > largest + (negative ? 1 : 0)) {
        return nullptr;
    }
    value = static_cast<uint32_t>(negative ? 0 - result : result);
    return stop;
}

// A face name: printable bytes only, at most FACE_NAME_TEXT_MAX of them,
// copied to faceName with a NUL.
inline const char *ParseFaceName(const char *text, const char *limit, char *faceName) {
    const char *stop = text;
    while (stop < limit && stop - text < FACE_NAME_TEXT_MAX &&
           static_cast<unsigned char>(*stop) >= 0x20 && *stop != 0x7F) {
        stop++;
    }
    memcpy(faceName, text, static_cast<size_t>(stop - text));
    faceName[stop - text] = '\0';
    return stop;
}

// A value of any kind; faceName receives a Text value.
inline const char *ParseValue(ValueKind kind, const char *text, const char *limit, uint32_t &value,
                              char *faceName) {
    switch (kind) {
    case ValueKind::Handle:
        return ParseHex8(text, limit, value);
    case ValueKind::Hex:
        if (limit - text < 2 || text[0] != '0' || text[1] != 'x') {
            return nullptr;
        }
        return ParseHex8(text + 2, limit, value);
    case ValueKind::Signed:
        return ParseDecimal(text, limit, true, 2147483647, value);
    case ValueKind::Byte:
        return ParseDecimal(text, limit, false, 255, value);
    case ValueKind::Text:
        value = 0;
        return ParseFaceName(text, limit, faceName);
    }
    return nullptr;
}
