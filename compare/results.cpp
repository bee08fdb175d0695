#include "compare/results.h"

bool ComparedOnlyWhenStrict(const Fact &fact) {
    if (fact.kind != FactKind::Header) {
        return false;
    }
    HeaderRole role = HeaderFields[fact.index].role;
    return role == HeaderRole::Thread || role == HeaderRole::Sample;
}

std::string FactName(const Fact &fact) {
    switch (fact.kind) {
    case FactKind::Header:
        return HeaderFields[fact.index].label;
    case FactKind::Sharing:
        return "shared contexts";
    case FactKind::Record:
        return BlockLabels[fact.block];
    case FactKind::Member:
        return std::string(BlockLabels[fact.block]) + "->" + BlockMembers[fact.index].path;
    case FactKind::Entries:
        break;
    }
    return "entries";
}

int CheckStatus(const CheckResult &result) {
    int status = 0;
    for (const ReportFacts &report : result.reports) {
        status = !report.readable ? 2 : report.problemCount > 0 && status == 0 ? 1 : status;
    }
    return status;
}

int SummaryStatus(const SummaryResult &result) {
    return IsWellFormed(result.report) ? 0 : 2;
}

int DiffStatus(const DiffResult &result) {
    if (!IsWellFormed(result.a) || !IsWellFormed(result.b) || !result.failure.empty() ||
        (!result.pagePath.empty() && !result.pageWritten)) {
        return 2;
    }
    return result.differences.empty() ? 0 : 1;
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

size_t ThreadInRun(const ReportFacts &facts, size_t thread) {
    return thread - facts.runs[facts.threads[thread].run].firstThread + 1;
}

bool IsTextFact(const Fact &fact) {
    return fact.kind == FactKind::Member && BlockMembers[fact.index].kind == ValueKind::Text;
}
