#include "known/known_file.h"
#include "files/input_file.h"
#include "files/owned_file.h"
#include "reader/read_window.h"

#include <cstring>

namespace {

bool Take(std::string_view &text, std::string_view literal) {
    if (text.substr(0, literal.size()) != literal) {
        return false;
    }
    text.remove_prefix(literal.size());
    return true;
}

// A number of at most nine digits, at least 1.
bool TakeNumber(std::string_view &text, uint64_t &number) {
    size_t digits = 0;
    number = 0;
    while (digits < text.size() && digits < 10 && text[digits] >= '0' && text[digits] <= '9') {
        number = number * 10 + static_cast<uint64_t>(text[digits] - '0');
        digits++;
    }
    text.remove_prefix(digits);
    return digits > 0 && digits < 10 && number > 0;
}

// Every fact a difference can be of, with its name.
struct NamedFact {
    std::string name;
    Fact fact;
};

const std::vector<NamedFact> &AllFacts() {
    static const std::vector<NamedFact> facts = [] {
        std::vector<Fact> all;
        for (int h = 0; h < HEADER_FIELD_COUNT; h++) {
            all.push_back({FactKind::Header, 0, static_cast<uint8_t>(h)});
        }
        all.push_back({FactKind::Sharing, 0, 0});
        for (uint8_t n = 0; n < 3; n++) {
            all.push_back({FactKind::Record, n, 0});
            for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
                all.push_back({FactKind::Member, n, static_cast<uint8_t>(m)});
            }
        }
        all.push_back({FactKind::Entries, 0, 0});
        std::vector<NamedFact> named;
        for (const Fact &fact : all) {
            named.push_back({FactName(fact), fact});
        }
        return named;
    }();
    return facts;
}

// A value: "*", a face name in double quotes (its own quotes and
// backslashes escaped), or text up to `end`. A handle's value in brackets
// after its name is left out.
bool TakeValue(std::string_view &text, std::string_view end, bool &any, std::string &value) {
    size_t length;
    if (!text.empty() && text[0] == '"') {
        length = 1;
        while (length < text.size() && text[length] != '"') {
            length += text[length] == '\\' ? 2 : 1;
        }
        if (length >= text.size()) {
            return false;
        }
        length++;
    } else {
        length = std::min(text.find(end), text.size());
    }
    value = std::string(text.substr(0, length));
    text.remove_prefix(length);
    size_t raw = value.size() > 11 ? value.size() - 11 : 0;
    if (raw > 0 && value.compare(raw, 2, " (") == 0 && value.back() == ')' &&
        value.find_first_not_of("0123456789ABCDEF", raw + 2) == value.size() - 1) {
        value.resize(raw);
    }
    any = value == "*";
    return !value.empty();
}

} // namespace

bool ParseKnownLine(std::string_view text, KnownLine &known, std::string &reason) {
    known = {};
    known.text = std::string(text);
    uint64_t row = 0;
    if (!Take(text, "thread ") || (!Take(text, "*") && !TakeNumber(text, row)) ||
        !Take(text, ", ")) {
        reason = "expected \"thread N, \" or \"thread *, \" first";
        return false;
    }
    known.anyThread = row == 0;
    known.row = static_cast<size_t>(row);
    if (Take(text, "entry ")) {
        known.entriesGiven = TakeNumber(text, known.firstEntry) && Take(text, ", ");
        known.lastEntry = known.firstEntry;
        if (!known.entriesGiven) {
            reason = "expected \"entry N, \"";
            return false;
        }
    } else if (Take(text, "entries ")) {
        known.entriesGiven = TakeNumber(text, known.firstEntry) && Take(text, "-") &&
                             TakeNumber(text, known.lastEntry) && Take(text, ", ") &&
                             known.firstEntry <= known.lastEntry;
        if (!known.entriesGiven) {
            reason = "expected \"entries N-M, \", N at most M";
            return false;
        }
    }
    size_t colon = text.find(": ");
    std::string name(text.substr(0, colon));
    const NamedFact *found = nullptr;
    for (const NamedFact &fact : AllFacts()) {
        if (fact.name == name) {
            found = &fact;
        }
    }
    if (colon == std::string_view::npos || found == nullptr) {
        reason =
            colon == std::string_view::npos ? "expected \"FACT: A | B\"" : "no such fact: " + name;
        return false;
    }
    known.fact = found->fact;
    text.remove_prefix(colon + 2);
    if (!TakeValue(text, " | ", known.any[0], known.value[0]) || !Take(text, " | ") ||
        !TakeValue(text, "  (", known.any[1], known.value[1])) {
        reason = "expected A's value, \" | \" and B's value after \"" + name + ": \"";
        return false;
    }
    // Brackets after B's value say what diff said beside it.
    while (Take(text, "  (")) {
        size_t close = text.find(')');
        text.remove_prefix(close == std::string_view::npos ? text.size() : close + 1);
        if (close == std::string_view::npos) {
            reason = "a bracket not closed after B's value";
            return false;
        }
    }
    if (!text.empty()) {
        reason = "unexpected text after B's value: \"" + std::string(text) + "\"";
        return false;
    }
    return true;
}

bool ReadKnownFile(const std::string &path, KnownFile &file, std::string &error) {
    file = {};
    file.path = path;
    File stream(OpenInputFile(path, false, error));
    if (stream == nullptr) {
        error = path + ": " + error;
        return false;
    }
    ReadWindow window;
    OpenFileWindow(window, stream.get());
    std::string_view line;
    for (LineStatus status; (status = NextLine(window, line)) != LineStatus::End;) {
        uint64_t number = window.lineNumber - (status == LineStatus::Unended ? 0 : 1);
        if (status == LineStatus::TooLong) {
            error = path + ":" + std::to_string(number) + ": line too long";
            return false;
        }
        if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") {
            line.remove_prefix(3);
        }
        file.lines.emplace_back(line);
        if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#') {
            continue;
        }
        KnownLine known;
        std::string reason;
        if (!ParseKnownLine(line, known, reason)) {
            error = path + ":" + std::to_string(number) + ": " + reason;
            return false;
        }
        known.line = number;
        file.known.push_back(std::move(known));
    }
    if (window.error != 0) {
        error = path + ": read error: " + strerror(window.error);
        return false;
    }
    return true;
}
