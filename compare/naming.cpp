#include "compare/naming.h"

#include <cstdio>
#include <cstring>

static const char *const WindowRoles[3] = {"window", "button", "edit"};

static void Name(HandleNames &names, uint32_t handle, const std::string &name) {
    if (handle != 0 && names.names.size() < MAX_HANDLE_NAMES) {
        names.names.emplace(handle, name);
    }
}

// The thread's prefix and a role or a letter with its number: "T2.C1".
static std::string ThreadName(size_t thread, const char *role, int number) {
    char text[48];
    if (number > 0) {
        snprintf(text, sizeof text, "T%zu.%s%d", thread + 1, role, number);
    } else {
        snprintf(text, sizeof text, "T%zu.%s", thread + 1, role);
    }
    return text;
}

static void NameContext(HandleNames &names, uint32_t handle) {
    if (handle != 0 && names.names.count(handle) == 0) {
        Name(names, handle, ThreadName(names.thread, "C", ++names.contexts));
    }
}

static void NameOther(HandleNames &names, uint32_t handle) {
    if (handle != 0 && names.names.count(handle) == 0) {
        Name(names, handle, ThreadName(names.thread, "H", ++names.others));
    }
}

void NameEntryHandles(HandleNames &names, size_t thread, const ReadEntry &entry) {
    if (names.thread != thread) {
        names.thread = thread;
        names.contexts = 0;
        names.others = 0;
        for (bool &named : names.windowNamed) {
            named = false;
        }
    }
    for (int n = 0; n < 3; n++) {
        uint32_t window = entry.header[WindowField(n, 0)];
        if (window != 0 && names.names.count(window) == 0) {
            // A thread's second window of a role is only another handle.
            if (names.windowNamed[n]) {
                NameOther(names, window);
            } else {
                names.windowNamed[n] = true;
                Name(names, window, ThreadName(thread, WindowRoles[n], 0));
            }
        }
    }
    for (int n = 0; n < 3; n++) {
        NameContext(names, entry.header[WindowField(n, 1)]);
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

int SharingOf(const ReadEntry &entry) {
    int sharing = 0;
    for (int n = 0; n < 3; n++) {
        uint32_t context = entry.header[WindowField(n, 1)];
        int partner = -1;
        for (int other = 0; other <= n && context != 0 && partner < 0; other++) {
            if (entry.header[WindowField(other, 1)] == context) {
                partner = other;
            }
        }
        sharing |= (partner + 1) << (2 * n);
    }
    return sharing;
}

// For window, button or edit: 0 for no context, else 1 + the first of them
// with the same context.
static int Partner(int sharing, int n) {
    return sharing >> (2 * n) & 3;
}

std::string SharingText(int sharing) {
    std::string text;
    std::string without;
    for (int n = 0; n < 3; n++) {
        int partner = Partner(sharing, n);
        if (partner == 0) {
            without += std::string(without.empty() ? "" : ", ") + WindowRoles[n];
        } else if (partner == n + 1) {
            text += std::string(text.empty() ? "" : ", ") + WindowRoles[n];
            for (int other = n + 1; other < 3; other++) {
                if (Partner(sharing, other) == n + 1) {
                    text += std::string("=") + WindowRoles[other];
                }
            }
        }
    }
    if (!without.empty()) {
        text += (text.empty() ? "" : "; ") + std::string("no context: ") + without;
    }
    return text;
}
