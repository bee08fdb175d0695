#include "compare/naming.h"

#include <cstdio>
#include <cstring>

// What a name says a handle is: window, button and edit first, in the
// order of their fields, then a context and any other handle.
static const char *const Roles[] = {"window", "button", "edit", "C", "H"};
static constexpr int CONTEXT = 3;
static constexpr int OTHER = 4;

static constexpr int SLOT_BITS = 13;
static_assert(size_t{1} << SLOT_BITS == 2 * MAX_HANDLE_NAMES);

// The slot that holds the handle, or the free one where it would go; the
// table is never more than half full.
static size_t SlotOf(const HandleNames &names, uint32_t handle) {
    size_t mask = names.slots.size() - 1;
    size_t slot = (handle * 0x9E3779B1u) >> (32 - SLOT_BITS);
    while (names.slots[slot] != 0 && names.slots[slot] != handle) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

// The index of a handle's name in `texts`, or -1 when it has none.
static int NameIndex(const HandleNames &names, uint32_t handle) {
    if (handle == 0 || names.slots.empty()) {
        return -1;
    }
    size_t slot = SlotOf(names, handle);
    return names.slots[slot] == handle ? names.nameOf[slot] : -1;
}

static bool Named(const HandleNames &names, uint32_t handle) {
    return NameIndex(names, handle) >= 0;
}

// A name, and a number that two names of two reports share when they are the
// same text: comparing handles compares these.
struct NewName {
    std::string text;
    uint64_t key;
};

static void Name(HandleNames &names, uint32_t handle, const NewName &name) {
    if (handle == 0 || names.texts.size() >= MAX_HANDLE_NAMES) {
        return;
    }
    if (names.slots.empty()) {
        names.slots.assign(size_t{1} << SLOT_BITS, 0);
        names.nameOf.assign(size_t{1} << SLOT_BITS, 0);
    }
    size_t slot = SlotOf(names, handle);
    names.slots[slot] = handle;
    names.nameOf[slot] = static_cast<uint16_t>(names.texts.size());
    names.texts.push_back(name.text);
    names.keys.push_back(name.key);
}

// The thread's prefix and a role (window, button, edit) or a letter (C, H)
// with its number: "T2.C1".
static NewName ThreadName(size_t thread, int role, int number) {
    char text[48];
    if (number > 0) {
        snprintf(text, sizeof text, "T%zu.%s%d", thread + 1, Roles[role], number);
    } else {
        snprintf(text, sizeof text, "T%zu.%s", thread + 1, Roles[role]);
    }
    return {text, (uint64_t{thread} + 1) << 32 | uint64_t(role) << 24 | uint64_t(number)};
}

static void NameContext(HandleNames &names, uint32_t handle) {
    if (handle != 0 && !Named(names, handle)) {
        Name(names, handle, ThreadName(names.thread, CONTEXT, ++names.contexts));
    }
}

static void NameOther(HandleNames &names, uint32_t handle) {
    if (handle != 0 && !Named(names, handle)) {
        Name(names, handle, ThreadName(names.thread, OTHER, ++names.others));
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
        if (window != 0 && !Named(names, window)) {
            // A thread's second window of a role is only another handle.
            if (names.windowNamed[n]) {
                NameOther(names, window);
            } else {
                names.windowNamed[n] = true;
                Name(names, window, ThreadName(thread, n, 0));
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
    int name = NameIndex(names, handle);
    return name >= 0 ? &names.texts[static_cast<size_t>(name)] : nullptr;
}

uint64_t HandleNameKey(const HandleNames &names, uint32_t handle) {
    int name = NameIndex(names, handle);
    return name >= 0 ? names.keys[static_cast<size_t>(name)] : 0;
}

std::string HandleName(const HandleNames &names, uint32_t handle) {
    if (const std::string *name = FindHandleName(names, handle)) {
        return *name;
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
            without += std::string(without.empty() ? "" : ", ") + Roles[n];
        } else if (partner == n + 1) {
            text += std::string(text.empty() ? "" : ", ") + Roles[n];
            for (int other = n + 1; other < 3; other++) {
                if (Partner(sharing, other) == n + 1) {
                    text += std::string("=") + Roles[other];
                }
            }
        }
    }
    if (!without.empty()) {
        text += (text.empty() ? "" : "; ") + std::string("no context: ") + without;
    }
    return text;
}
