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
