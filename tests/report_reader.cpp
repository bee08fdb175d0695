#include "report_reader.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

enum ValueForm { HANDLE8, HEX8, SIGNED, BYTE, TEXT };

struct MemberForm {
    std::string path;
    ValueForm form;
};

// The 58 lines of a present block, in order, written out here independently
// of the code that writes them.
std::vector<MemberForm> BlockForms() {
    std::vector<MemberForm> forms = {
        {"hWnd", HANDLE8},
        {"fOpen", SIGNED},
        {"ptStatusWndPos.x", SIGNED},
        {"ptStatusWndPos.y", SIGNED},
        {"ptSoftKbdPos.x", SIGNED},
        {"ptSoftKbdPos.y", SIGNED},
        {"fdwConversion", HEX8},
        {"fdwSentence", HEX8},
        {"lfFont.W.lfHeight", SIGNED},
        {"lfFont.W.lfWidth", SIGNED},
        {"lfFont.W.lfEscapement", SIGNED},
        {"lfFont.W.lfOrientation", SIGNED},
        {"lfFont.W.lfWeight", SIGNED},
        {"lfFont.W.lfItalic", BYTE},
        {"lfFont.W.lfUnderline", BYTE},
        {"lfFont.W.lfStrikeOut", BYTE},
        {"lfFont.W.lfCharSet", BYTE},
        {"lfFont.W.lfOutPrecision", BYTE},
        {"lfFont.W.lfClipPrecision", BYTE},
        {"lfFont.W.lfQuality", BYTE},
        {"lfFont.W.lfPitchAndFamily", BYTE},
        {"lfFont.W.lfFaceName", TEXT},
        {"cfCompForm.dwStyle", HEX8},
        {"cfCompForm.ptCurrentPos.x", SIGNED},
        {"cfCompForm.ptCurrentPos.y", SIGNED},
        {"cfCompForm.rcArea.left", SIGNED},
        {"cfCompForm.rcArea.top", SIGNED},
        {"cfCompForm.rcArea.right", SIGNED},
        {"cfCompForm.rcArea.bottom", SIGNED},
        {"cfCandForm[0].dwIndex", HEX8},
        {"cfCandForm[0].dwStyle", HEX8},
        {"cfCandForm[0].ptCurrentPos.x", SIGNED},
        {"cfCandForm[0].ptCurrentPos.y", SIGNED},
    };
    for (const char *form : {"[0]", "[1]", "[2]", "[3]"}) {
        for (const char *side : {"left", "top", "right", "bottom"}) {
            forms.push_back({std::string("cfCandForm") + form + ".rcArea." + side, SIGNED});
        }
    }
    std::vector<MemberForm> tail = {
        {"hCompStr", HANDLE8},  {"hCandInfo", HANDLE8}, {"hGuideLine", HANDLE8},
        {"dwNumMsgBuf", HEX8},  {"hMsgBuf", HANDLE8},   {"fdwInit", HEX8},
        {"dwReserve[0]", HEX8}, {"dwReserve[1]", HEX8}, {"dwReserve[2]", HEX8},
    };
    forms.insert(forms.end(), tail.begin(), tail.end());
    return forms;
}

bool IsUpperHex(const std::string &text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

bool IsDecimal(const std::string &digits, unsigned long long limit) {
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) {
        return false;
    }
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return std::stoull(digits) <= limit;
}

bool HasForm(const std::string &value, ValueForm form) {
    switch (form) {
    case HANDLE8:
        return value.size() == 8 && IsUpperHex(value);
    case HEX8:
        return value.size() == 10 && value.compare(0, 2, "0x") == 0 && IsUpperHex(value.substr(2));
    case SIGNED:
        if (!value.empty() && value[0] == '-') {
            return value != "-0" && IsDecimal(value.substr(1), 2147483648ULL);
        }
        return IsDecimal(value, 2147483647ULL);
    case BYTE:
        return IsDecimal(value, 255);
    case TEXT:
        for (unsigned char c : value) {
            if (c < 0x20 || c == 0x7F) {
                return false;
            }
        }
        return value.size() <= 64;
    }
    return false;
}

// Matches "<name><8 hex>" at position, advancing it; stores the value.
bool TakeHex(const std::string &line, size_t &position, const std::string &name, uint32_t &value) {
    if (line.compare(position, name.size(), name) != 0) {
        return false;
    }
    std::string digits = line.substr(position + name.size(), 8);
    if (digits.size() != 8 || !IsUpperHex(digits)) {
        return false;
    }
    value = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
    position += name.size() + 8;
    return true;
}

bool ReadHeaderLine(const std::string &line, const std::string &window, int n, ReadEntry &entry,
                    uint32_t &handle) {
    std::string number = std::to_string(n + 1);
    size_t position = 0;
    return TakeHex(line, position, window + ":", handle) &&
           TakeHex(line, position, ", hIMC" + number + ":", entry.hIMC[n]) &&
           TakeHex(line, position, ", dwAP" + number + ":0x", entry.dwAP[n]) &&
           TakeHex(line, position, ", dwAV" + number + ":0x", entry.dwAV[n]) &&
           position == line.size();
}

const std::string Separator(69, '-');

void Fail(ReadReportResult &result, size_t entry, size_t line, const std::string &what) {
    result.errors.push_back("entry " + std::to_string(entry) + ", line " +
                            std::to_string(line + 1) + ": " + what);
}

// Reads one entry's lines; returns false with an error recorded on a bad form.
bool ReadEntryLines(ReadReportResult &result, size_t index, ReadEntry &entry) {
    const std::vector<std::string> &lines = entry.lines;
    if (lines.size() < 8) {
        Fail(result, index, lines.size(), "entry cut short");
        return false;
    }
    size_t position = 0;
    if (!TakeHex(lines[1], position, "ThreadID:0x", entry.threadId) ||
        position != lines[1].size()) {
        Fail(result, index, 1, "bad thread line: " + lines[1]);
        return false;
    }
    const char *windows[3] = {"hwnd", "hButton", "hEdit"};
    uint32_t *handles[3] = {&entry.window, &entry.button, &entry.edit};
    for (int n = 0; n < 3; n++) {
        if (!ReadHeaderLine(lines[2 + n], windows[n], n, entry, *handles[n])) {
            Fail(result, index, 2 + n, "bad header line: " + lines[2 + n]);
            return false;
        }
    }
    static const std::vector<MemberForm> forms = BlockForms();
    size_t line = 5;
    for (int n = 0; n < 3; n++) {
        std::string label = "pic" + std::to_string(n + 1);
        ReadBlock &block = entry.blocks[n];
        if (line < lines.size() && lines[line] == label + ": (null)") {
            block.present = false;
            line++;
            continue;
        }
        block.present = true;
        for (const MemberForm &form : forms) {
            std::string prefix = label + "->" + form.path + ": ";
            if (line >= lines.size() || lines[line].compare(0, prefix.size(), prefix) != 0) {
                Fail(result, index, line, "expected " + prefix);
                return false;
            }
            std::string value = lines[line].substr(prefix.size());
            if (!HasForm(value, form.form)) {
                Fail(result, index, line, "bad value: " + lines[line]);
                return false;
            }
            block.members.emplace_back(form.path, value);
            line++;
        }
    }
    if (line != lines.size()) {
        Fail(result, index, line, "unexpected line: " + lines[line]);
        return false;
    }
    return true;
}

} // namespace

ReadReportResult ReadReport(const std::string &bytes, const std::string &lineEnd) {
    ReadReportResult result;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find(lineEnd, start);
        if (end == std::string::npos) {
            result.errors.push_back("the report does not end in a line end");
            return result;
        }
        std::string line = bytes.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos) {
            result.errors.push_back("a stray line-end byte in: " + line);
            return result;
        }
        lines.push_back(line);
        start = end + lineEnd.size();
    }
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i] == Separator) {
            result.entries.push_back(ReadEntry{});
        } else if (result.entries.empty()) {
            result.errors.push_back("text before the first entry: " + lines[i]);
            return result;
        }
        result.entries.back().lines.push_back(lines[i]);
    }
    for (size_t i = 0; i < result.entries.size(); i++) {
        ReadEntryLines(result, i, result.entries[i]);
    }
    return result;
}

std::string BlockValue(const ReadEntry &entry, int block, const std::string &member) {
    for (const auto &[path, value] : entry.blocks[block].members) {
        if (path == member) {
            return value;
        }
    }
    return "";
}

std::string ReadFileBytes(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}
