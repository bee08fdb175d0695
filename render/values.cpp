#include "render/values.h"
#include "flags/flag_names.h"
#include "text/face_name_text.h"

std::string Counted(uint64_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string HexText(uint32_t value) {
    char text[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Hex, value, text);
    return text;
}

std::string Place(const std::string &path, uint64_t line) {
    return line == 0 ? path : path + ":" + std::to_string(line);
}

static std::string HexBytes(const std::string &bytes) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : bytes) {
        text += {Hex[byte >> 4], Hex[byte & 0xF]};
    }
    return text;
}

ShownValue ShowValue(ValueKind kind, int member, uint32_t value, const char *faceName,
                     const HandleNames &names, int codePage) {
    ShownValue shown = {};
    char text[VALUE_TEXT_SIZE];
    switch (kind) {
    case ValueKind::Text:
        shown.faceName = true;
        shown.text = ShownFaceName(faceName, codePage);
        shown.quoted = QuotedFaceName(faceName, codePage);
        shown.bytes = HexBytes(faceName);
        return shown;
    case ValueKind::Handle:
        FormatValue(kind, value, text);
        if (const std::string *name = FindHandleName(names, value)) {
            shown.text = *name;
            shown.raw = text;
        } else {
            shown.text = text;
        }
        return shown;
    default:
        FormatValue(kind, value, text);
        shown.text = text;
        if (member >= 0) {
            shown.names = ValueNames(member, value);
        }
        return shown;
    }
}

ShownValue ShowSide(const DiffResult &result, const Difference &difference, bool sideB,
                    int codePage) {
    const DifferenceSide &side = sideB ? difference.b : difference.a;
    const Fact &fact = difference.fact;
    switch (fact.kind) {
    case FactKind::Sharing:
        return {SharingText(static_cast<int>(side.value)), "", {}, false, "", ""};
    case FactKind::Record:
        return {side.value != 0 ? "record" : REPORT_NULL_BLOCK, "", {}, false, "", ""};
    case FactKind::Entries:
        return {std::to_string(side.value), "", {}, false, "", ""};
    case FactKind::Header:
    case FactKind::Member:
        break;
    }
    int member = fact.kind == FactKind::Member ? fact.index : -1;
    return ShowValue(KindOf(fact), member, static_cast<uint32_t>(side.value), side.faceName,
                     sideB ? result.namesB : result.namesA, codePage);
}

ShownValue ShowGroupSide(const DiffResult &result, const DifferenceGroup &group, bool sideB,
                         int codePage) {
    Difference first = group.first;
    if (IsTextFact(first.fact)) {
        first.a.faceName = group.faceNames[0].c_str();
        first.b.faceName = group.faceNames[1].c_str();
    }
    return ShowSide(result, first, sideB, codePage);
}

std::string JoinedNames(const std::vector<std::string> &names) {
    std::string text;
    for (const std::string &name : names) {
        text += (text.empty() ? "" : " ") + name;
    }
    return text;
}

std::string InlineText(const ShownValue &value, bool withNames) {
    if (value.faceName) {
        return value.quoted;
    }
    std::string text = value.text;
    if (!value.raw.empty()) {
        text += " (" + value.raw + ")";
    }
    if (withNames && !value.names.empty()) {
        text += " (" + JoinedNames(value.names) + ")";
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

std::string SummaryValueText(int row, const CountedValue &value, const HandleNames &names,
                             int codePage) {
    std::string text;
    const int *members = RowMembers().members[row];
    int i = 0;
    for (const char *shape = SummaryRows[row].shape; *shape != '\0'; shape++) {
        if (*shape != '%') {
            text += *shape;
            continue;
        }
        int m = members[i];
        text += InlineText(ShowValue(BlockMembers[m].kind, m, value.values[i],
                                     value.faceName.c_str(), names, codePage),
                           true);
        i++;
    }
    return text;
}

ShownValue SummaryShownValue(int row, const CountedValue &value, const HandleNames &names,
                             int codePage) {
    ShownValue shown = {};
    shown.text = SummaryValueText(row, value, names, codePage);
    const int *members = RowMembers().members[row];
    for (int i = 0; i < SUMMARY_ROW_MEMBERS && members[i] >= 0; i++) {
        if (BlockMembers[members[i]].kind == ValueKind::Text) {
            ShownValue face =
                ShowValue(ValueKind::Text, members[i], 0, value.faceName.c_str(), names, codePage);
            shown.faceName = true;
            shown.quoted = face.quoted;
            shown.bytes = face.bytes;
        }
        for (std::string &name : ValueNames(members[i], value.values[i])) {
            shown.names.push_back(std::move(name));
        }
    }
    return shown;
}

std::string SampleRangeText(const DifferenceGroup &group, bool sideB) {
    int s = sideB ? 1 : 0;
    if (group.lowest[s] == group.highest[s]) {
        return HexText(group.lowest[s]);
    }
    return HexText(group.lowest[s]) + " to " + HexText(group.highest[s]);
}

static std::string ProblemText(const DiffResult &result, const RowProblem &problem) {
    const ReportFacts &facts = problem.inB ? result.b : result.a;
    return Place(facts.path, problem.problem.line) + ": " + problem.problem.reason;
}

std::vector<std::string> NotComparedTexts(const DiffResult &result) {
    std::vector<std::string> texts;
    for (const ReportFacts *facts : {&result.a, &result.b}) {
        if (facts->readable && facts->runs.empty() && !facts->problems.empty()) {
            texts.push_back("nothing compared: " + Place(facts->path, facts->problems[0].line) +
                            ": " + facts->problems[0].reason);
            return texts;
        }
    }
    for (size_t r = 0; r < result.rows.size(); r++) {
        const ThreadPair &row = result.rows[r];
        std::string thread = "thread " + std::to_string(r + 1);
        if (row.passedOver > 0) {
            std::string more = row.passedOver > 1
                                   ? " (and " +
                                         Counted(row.passedOver - 1, "more pair", "more pairs") +
                                         " with a bad value)"
                                   : "";
            texts.push_back(thread + ", entry " + std::to_string(row.firstPassedOver.entry) +
                            " not compared" + more + ": " +
                            ProblemText(result, row.firstPassedOver));
        }
        if (row.stopped) {
            texts.push_back((row.entries > 0 ? thread + " compared up to entry " +
                                                   std::to_string(row.stop.entry - 1)
                                             : thread + " not compared") +
                            ": " + ProblemText(result, row.stop));
        }
    }
    return texts;
}
