#include "render/values.h"
#include "flags/flag_names.h"

std::string Counted(uint64_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string HexText(uint32_t value) {
    char text[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Hex, value, text);
    return text;
}

std::string DifferencePlace(const Difference &difference) {
    std::string place = "thread " + std::to_string(difference.thread);
    if (difference.entry > 0) {
        place += ", entry " + std::to_string(difference.entry);
    }
    return place;
}

std::string NamesText(int m, uint32_t value) {
    std::string text;
    for (const std::string &name : ValueNames(m, value)) {
        text += (text.empty() ? "" : " ") + name;
    }
    return text;
}

std::string ChangeText(const Difference &difference) {
    if (difference.fact.kind != FactKind::Member) {
        return "";
    }
    return ChangedNames(difference.fact.index, static_cast<uint32_t>(difference.a.value),
                        static_cast<uint32_t>(difference.b.value));
}
