// The capture's calls, in their order, and the entry it writes, for each way
// the platform can answer: one golden transcript.
#include "capture/capture.h"
#include "fake_platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

const uint32_t WINDOW = 0x1000, BUTTON = 0x2001, EDIT = 0x2002;

// The calls, then the report's lines but for the block members other than
// fdwConversion, which tells the three records apart.
std::string Transcript(const std::string &name, void (*change)()) {
    EnterFreshDirectory();
    FakeReset();
    static INPUTCONTEXT records[3];
    fake.children[WINDOW] = {{1, FakeHandle<HWND>(BUTTON)}, {2, FakeHandle<HWND>(EDIT)}};
    const uint32_t windows[3] = {WINDOW, BUTTON, EDIT};
    for (uint32_t n = 0; n < 3; n++) {
        records[n] = INPUTCONTEXT{};
        records[n].fdwConversion = 0x101 + n;
        fake.contexts[windows[n]] = FakeHandle<HIMC>(0xC001 + n);
        fake.records[0xC001 + n] = &records[n];
    }
    change();
    CaptureInputContexts(FakeHandle<HWND>(WINDOW));

    std::string text = "== " + name + "\n";
    for (const std::string &call : fakeLog) {
        text += call + "\n";
    }
    std::istringstream report(FileBytes(REPORT_FILE_NAME));
    for (std::string line; std::getline(report, line);) {
        if (line.find("->") == std::string::npos || line.find("->fdwConversion") != line.npos) {
            text += "| " + line.substr(0, line.size() - 1) + "\n";
        }
    }
    return text;
}

TEST(Capture, TakesGivesBackAndWritesInItsOrder) {
    const std::pair<const char *, void (*)()> cases[] = {
        {"three contexts", [] {}},
        {"one context for all three",
         [] { fake.contexts[BUTTON] = fake.contexts[EDIT] = fake.contexts[WINDOW]; }},
        {"no edit control", [] { fake.children[WINDOW].erase(2); }},
        {"no imm32.dll", [] { fake.failLoadLibrary = true; }},
        {"no ImmLockIMC", [] { fake.missingLockEntry = true; }},
        {"no ImmUnlockIMC", [] { fake.missingUnlockEntry = true; }},
        {"a folder named like the report",
         [] { std::filesystem::create_directory(REPORT_FILE_NAME); }},
    };
    std::string text;
    for (const auto &[name, change] : cases) {
        text += Transcript(name, change);
    }
    ExpectGolden("capture.txt", text);
}

} // namespace
