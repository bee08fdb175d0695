// Symbolic names for the handles of one report, given in the order the
// handles first appear when the report is read thread by thread. Two runs on
// one platform then name their handles alike although the values differ.
// A handle is named in the thread where it first appears: thread 1's window,
// button and edit are T1.window, T1.button, T1.edit; its input contexts
// T1.C1, T1.C2...; any other handle T1.H1, T1.H2.... Numbering within the
// thread keeps a context that only one report has from renaming every
// context of the later threads. A null handle keeps its eight zeros.
#pragma once

#include "reader/report_reader.h"

#include <cstdint>
#include <string>
#include <vector>

// Past this many names, handles are shown by value, so that a report made
// of ever new handles cannot make the table grow without bound.
inline constexpr size_t MAX_HANDLE_NAMES = 1 << 12;

// Handles are looked up for every handle of every entry compared, so they
// are kept in an open-addressed table of twice MAX_HANDLE_NAMES slots: a slot
// holds a handle (0 when free) and its name's index in `texts`.
struct HandleNames {
    std::vector<uint32_t> slots;
    std::vector<uint16_t> nameOf;
    std::vector<std::string> texts;
    std::vector<uint64_t> keys; // as texts: the same key, the same text
    size_t thread;              // the thread named last: its counts follow
    int contexts;
    int others;
    bool windowNamed[3]; // its window, button and edit
};

// Names every handle of an entry of thread number `thread` (0-based) that
// has no name yet. Threads come in order, all entries of one before the next.
void NameEntryHandles(HandleNames &names, size_t thread, const ReadEntry &entry);

// The name of a handle, or null when it has none.
const std::string *FindHandleName(const HandleNames &names, uint32_t handle);

// A number for the name of a handle, the same for the same name in any
// report; 0 when it has none.
uint64_t HandleNameKey(const HandleNames &names, uint32_t handle);

// The name of a handle; its value when it was never named.
std::string HandleName(const HandleNames &names, uint32_t handle);

// Which of window, button and edit share a context, as a small number that
// two entries share when they share alike.
int SharingOf(const ReadEntry &entry);

// That as words: "window=button, edit" or "window=button; no context: edit".
std::string SharingText(int sharing);
