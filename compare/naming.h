// Symbolic names for the handles of one report, given in the order the
// handles first appear when the report is read thread by thread. Two runs on
// one platform then name their handles alike although the values differ:
// thread 1's window, button and edit are T1.window, T1.button, T1.edit;
// input contexts are C1, C2...; any other handle is H1, H2...; a null
// handle keeps its eight zeros.
#pragma once

#include "reader/report_reader.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

struct HandleNames {
    std::unordered_map<uint32_t, std::string> names;
    std::unordered_set<std::string> windowNames; // the T<n>.<role> names given
    int contexts;
    int others;
};

// Names every handle of an entry of thread number `thread` (0-based) that
// has no name yet.
void NameEntryHandles(HandleNames &names, size_t thread, const ReadEntry &entry);

// The name of a handle, or null when it has none.
const std::string *FindHandleName(const HandleNames &names, uint32_t handle);

// The name of a handle; its value when it was never named.
std::string HandleName(const HandleNames &names, uint32_t handle);

// Which of window, button and edit share a context, e.g. "window=button, edit"
// or "window=button; no context: edit".
std::string SharedContexts(const ReadEntry &entry);

// Whether window, button and edit share their contexts alike in both entries.
bool SameSharing(const ReadEntry &a, const ReadEntry &b);
