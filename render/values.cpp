#include "render/values.h"

std::string Counted(uint64_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string HexText(uint32_t value) {
    char text[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Hex, value, text);
    return text;
}

ValueText HandleText(const HandleNames &names, uint32_t handle) {
    char raw[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Handle, handle, raw);
    const std::string *name = FindHandleName(names, handle);
    if (name == nullptr) {
        return {raw, ""};
    }
    return {*name, raw};
}

bool IsTextFact(const Fact &fact) {
    return fact.kind == FactKind::Member && BlockMembers[fact.index].kind == ValueKind::Text;
}

ValueText SideText(const DiffResult &result, const Difference &difference, bool sideB) {
    const DifferenceSide &side = sideB ? difference.b : difference.a;
    const Fact &fact = difference.fact;
    uint32_t value = static_cast<uint32_t>(side.value);
    ValueKind kind = ValueKind::Hex;
    switch (fact.kind) {
    case FactKind::Sharing:
        return {SharingText(static_cast<int>(side.value)), ""};
    case FactKind::Record:
        return {side.value != 0 ? "record" : REPORT_NULL_BLOCK, ""};
    case FactKind::Entries:
        return {std::to_string(side.value), ""};
    case FactKind::Header:
        kind = HeaderFields[fact.index].kind;
        break;
    case FactKind::Member:
        kind = BlockMembers[fact.index].kind;
        break;
    }
    if (kind == ValueKind::Text) {
        return {result.texts[side.value], ""};
    }
    if (kind == ValueKind::Handle) {
        return HandleText(sideB ? result.namesB : result.namesA, value);
    }
    char text[VALUE_TEXT_SIZE];
    FormatValue(kind, value, text);
    return {text, ""};
}

std::string DifferencePlace(const Difference &difference) {
    std::string place = "thread " + std::to_string(difference.thread);
    if (difference.entry > 0) {
        place += ", entry " + std::to_string(difference.entry);
    }
    return place;
}

std::string RowName(const DiffResult &result, size_t t) {
    const ThreadPair &row = result.threads[t];
    std::string name = "thread " + std::to_string(t + 1);
    if (row.b != t && row.b != NO_THREAD) {
        name += " with B's thread " + std::to_string(row.b + 1);
    }
    return name;
}
