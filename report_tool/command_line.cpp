#include "report_tool/command_line.h"
#include "text/face_name_text.h"

#include <algorithm>

namespace {

// A positive number of at most six digits; 0 when it is not one.
size_t PositiveNumber(const std::string &text) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return std::stoul(text);
}

// "2,1": B's threads to pair with A's threads 1, 2...
std::string ParseThreadList(const std::string &text, std::vector<size_t> &threads) {
    threads.clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find(',', start), text.size());
        std::string number = text.substr(start, end - start);
        size_t thread = PositiveNumber(number);
        if (thread == 0) {
            return "--match-threads takes thread numbers of B, e.g. 2,1";
        }
        if (std::find(threads.begin(), threads.end(), thread - 1) != threads.end()) {
            return "--match-threads: thread " + number + " is named twice";
        }
        threads.push_back(thread - 1);
        start = end + 1;
    }
    return "";
}

// "2" or "1,3": the runs to compare, of A and of B.
bool ParseRuns(const std::string &text, size_t (&runs)[2]) {
    size_t comma = text.find(',');
    std::string numbers[2] = {text.substr(0, comma),
                              comma == std::string::npos ? text : text.substr(comma + 1)};
    for (int s = 0; s < 2; s++) {
        runs[s] = PositiveNumber(numbers[s]);
        if (runs[s] == 0) {
            return false;
        }
    }
    return true;
}

Command CommandNamed(const std::string &word) {
    return word == "check"     ? Command::Check
           : word == "summary" ? Command::Summary
           : word == "diff"    ? Command::Diff
                               : Command::None;
}

// Whether an argument is an option taking a value, as "--name VALUE" or
// "--name=VALUE"; Missing when nothing follows "--name".
enum class OptionWord { Not, Missing, Given };

OptionWord ValueOf(const std::vector<std::string> &arguments, size_t &i, const char *name,
                   std::string &value, bool &inWord) {
    const std::string &word = arguments[i];
    std::string joined = std::string(name) + "=";
    inWord = word.rfind(joined, 0) == 0;
    if (inWord) {
        value = word.substr(joined.size());
        return OptionWord::Given;
    }
    if (word != name) {
        return OptionWord::Not;
    }
    if (i + 1 >= arguments.size()) {
        return OptionWord::Missing;
    }
    value = arguments[++i];
    return OptionWord::Given;
}

std::string CodePageError(const std::string &value, int &codePage) {
    if (value.empty() || value.size() > 5 ||
        value.find_first_not_of("0123456789") != std::string::npos) {
        return "--code-page takes the number of the report's ANSI code page, e.g. 932";
    }
    codePage = std::stoi(value);
    std::string error;
    return CanDecode(codePage, error) ? "" : "--code-page: " + error;
}

// Why the value of an option taking FILE is none: missing, empty, a
// command's name that followed the option, or "-" where standard input or
// output cannot serve (why not: notDash; null where "-" is a file name).
std::string FileError(const char *name, OptionWord option, const std::string &value, bool inWord,
                      const char *notDash) {
    if (option == OptionWord::Missing || value.empty() ||
        (!inWord && CommandNamed(value) != Command::None)) {
        return std::string(name) + " needs FILE";
    }
    if (value == "-" && notDash != nullptr) {
        return std::string(name) + " needs FILE: " + notDash;
    }
    return "";
}

// The options, and the words that are not options; a usage error's message.
std::string ReadOptions(const std::vector<std::string> &arguments, CommandLine &line,
                        std::vector<std::string> &words) {
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); i++) {
        const std::string &word = arguments[i];
        std::string value;
        bool inWord;
        OptionWord option;
        std::string error;
        if (optionsEnded || word.empty() || word[0] != '-' || word == "-") {
            words.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            line.help = true;
        } else if (word == "--version") {
            line.version = true;
        } else if (word == "--json") {
            line.json = true;
        } else if (word == "--strict") {
            line.strict = true;
        } else if (word == "--every-entry") {
            line.everyEntry = true;
        } else if ((option = ValueOf(arguments, i, "--code-page", value, inWord)) !=
                   OptionWord::Not) {
            error = option == OptionWord::Missing ? "--code-page needs a number, e.g. 932"
                                                  : CodePageError(value, line.codePage);
        } else if ((option = ValueOf(arguments, i, "--runs", value, inWord)) != OptionWord::Not) {
            error = option == OptionWord::Missing ? "--runs needs A[,B], e.g. 2 or 1,3"
                    : !ParseRuns(value, line.runs)
                        ? "--runs takes a run of A and one of B, e.g. 1,3, or one for both"
                        : "";
        } else if ((option = ValueOf(arguments, i, "--html", value, inWord)) != OptionWord::Not) {
            line.page = value;
            line.pageAsked = true;
            error = FileError("--html", option, value, inWord,
                              "the page does not go to standard output");
        } else if ((option = ValueOf(arguments, i, "--known", value, inWord)) != OptionWord::Not) {
            line.known = value;
            error = FileError("--known", option, value, inWord, nullptr);
        } else if ((option = ValueOf(arguments, i, "--write-known", value, inWord)) !=
                   OptionWord::Not) {
            line.writeKnown = value;
            error = FileError("--write-known", option, value, inWord, "it is replaced once whole");
        } else if ((option = ValueOf(arguments, i, "--match-threads", value, inWord)) !=
                   OptionWord::Not) {
            error = option == OptionWord::Missing ? "--match-threads needs LIST, e.g. 2,1"
                                                  : ParseThreadList(value, line.threadsOfB);
        } else {
            error = "unknown option " + word;
        }
        if (!error.empty()) {
            return error;
        }
    }
    return "";
}

// Whether the command takes that many reports; why not.
std::string ReportCountError(Command command, size_t count) {
    if (command == Command::Check) {
        return count == 0 ? "check takes one report or more, got 0" : "";
    }
    size_t wanted = command == Command::Diff ? 2 : 1;
    if (count == wanted) {
        return "";
    }
    return std::string(command == Command::Diff ? "diff takes 2 reports"
                                                : "summary takes 1 report") +
           ", got " + std::to_string(count);
}

std::string CheckedCommand(CommandLine &line, const std::vector<std::string> &words) {
    if (words.empty()) {
        return "no command";
    }
    line.command = CommandNamed(words[0]);
    if (line.command == Command::None) {
        return "unknown command " + words[0];
    }
    line.reports.assign(words.begin() + 1, words.end());
    bool diffOptions = line.strict || line.pageAsked || !line.threadsOfB.empty() ||
                       line.runs[0] != 0 || line.everyEntry || !line.known.empty() ||
                       !line.writeKnown.empty();
    if (diffOptions && line.command != Command::Diff) {
        return "--strict, --html, --match-threads, --runs, --every-entry, --known and "
               "--write-known go with diff";
    }
    std::string error = ReportCountError(line.command, line.reports.size());
    if (error.empty() &&
        std::count(line.reports.begin(), line.reports.end(), "-") + (line.known == "-") > 1) {
        error = "standard input (-) can be read only once";
    }
    return error;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string> &arguments) {
    CommandLine line = {};
    std::vector<std::string> words;
    line.error = ReadOptions(arguments, line, words);
    if (line.error.empty() && !line.help && !line.version) {
        line.error = CheckedCommand(line, words);
    }
    return line;
}
