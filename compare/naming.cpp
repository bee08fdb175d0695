#include "compare/naming.h"

#include <cstdio>
#include <cstring>

// Past this many names, handles are shown by value, so that a report made
// of ever new handles cannot make the table grow without bound.
static const size_t MAX_NAMES = 1 << 16;

static const char *const WindowRoles[3] = {"window", "button", "edit"};

static void Name(HandleNames &names, uint32_t handle, const std::string &name) {
    if (handle != 0 && names.names.size() < MAX_NAMES) {
        names.names.emplace(handle, name);
    }
}

// A letter and a number, e.g. "C2".
static std::string Numbered(char letter, int number) {
    char text[16];
    snprintf(text, sizeof text, "%c%d", letter, number);
    return text;
}

static void NameContext(HandleNames &names, uint32_t handle) {
    if (handle != 0 && names.names.count(handle) == 0) {
        Name(names, handle, Numbered('C', ++names.contexts));
    }
}

static void NameOther(HandleNames &names, uint32_t handle) {
    if (handle != 0 && names.names.count(handle) == 0) {
        Name(names, handle, Numbered('H', ++names.others));
    }
}

void NameEntryHandles(HandleNames &names, size_t thread, const ReadEntry &entry) {
    for (int n = 0; n < 3; n++) {
        uint32_t window = entry.windows[n];
        if (window != 0 && names.names.count(window) == 0) {
            std::string name = Numbered('T', static_cast<int>(thread + 1)) + "." + WindowRoles[n];
            // A thread's second window of a role is only another handle.
            if (names.windowNames.insert(name).second) {
                Name(names, window, name);
            } else {
                NameOther(names, window);
            }
        }
    }
    for (int n = 0; n < 3; n++) {
        NameContext(names, entry.contexts[n]);
    }
    for (const ReadBlock &block : entry.blocks) {
        if (!block.present) {
            continue;
        }
        for (int m = 0; m < BLOCK_MEMBER_COUNT; m++) {
            if (BlockMembers[m].kind == ValueKind::Handle) {
                NameOther(names, block.values[m]);
            }
        }
    }
}

const std::string *FindHandleName(const HandleNames &names, uint32_t handle) {
    auto found = names.names.find(handle);
    return found == names.names.end() ? nullptr : &found->second;
}

std::string HandleName(const HandleNames &names, uint32_t handle) {
    auto found = names.names.find(handle);
    if (found != names.names.end()) {
        return found->second;
    }
    char text[VALUE_TEXT_SIZE];
    FormatValue(ValueKind::Handle, handle, text);
    return text;
}

std::string SharedContexts(const ReadEntry &entry) {
    std::string text;
    std::string without;
    bool listed[3] = {};
    for (int n = 0; n < 3; n++) {
        if (entry.contexts[n] == 0) {
            without += std::string(without.empty() ? "" : ", ") + WindowRoles[n];
            continue;
        }
        if (listed[n]) {
            continue;
        }
        text += std::string(text.empty() ? "" : ", ") + WindowRoles[n];
        for (int other = n + 1; other < 3; other++) {
            if (entry.contexts[other] == entry.contexts[n]) {
                listed[other] = true;
                text += std::string("=") + WindowRoles[other];
            }
        }
    }
    if (!without.empty()) {
        text += (text.empty() ? "" : "; ") + std::string("no context: ") + without;
    }
    return text;
}

// For each of window, button and edit: the first of them with the same
// context, or -1 for none.
static void Sharing(const ReadEntry &entry, int partner[3]) {
    for (int n = 0; n < 3; n++) {
        partner[n] = -1;
        for (int other = 0; other <= n && entry.contexts[n] != 0 && partner[n] < 0; other++) {
            if (entry.contexts[other] == entry.contexts[n]) {
                partner[n] = other;
            }
        }
    }
}

bool SameSharing(const ReadEntry &a, const ReadEntry &b) {
    int partnerA[3];
    int partnerB[3];
    Sharing(a, partnerA);
    Sharing(b, partnerB);
    return memcmp(partnerA, partnerB, sizeof partnerA) == 0;
}
