#include "report/value_text.h"

#include <cstdio>

int FormatValue(ValueKind kind, uint32_t value, char *text) {
    unsigned long bits = value;
    switch (kind) {
    case ValueKind::Handle:
        return snprintf(text, VALUE_TEXT_SIZE, "%08lX", bits);
    case ValueKind::Hex:
        return snprintf(text, VALUE_TEXT_SIZE, "0x%08lX", bits);
    case ValueKind::Signed:
        return snprintf(text, VALUE_TEXT_SIZE, "%ld",
                        static_cast<long>(static_cast<int32_t>(value)));
    case ValueKind::Byte:
        return snprintf(text, VALUE_TEXT_SIZE, "%lu", bits & 0xFF);
    case ValueKind::Text:
        break;
    }
    text[0] = '\0';
    return 0;
}
