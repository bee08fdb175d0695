// The form of a report entry: its lines, their labels and order, and how each
// value is written. The tool's writer, the report reader and the comparison
// all follow this one description, so they cannot drift apart.
//
// An entry is a separator line, the thread line, three header lines (window,
// button, edit: each with its context and memory samples), then one block per
// context: either "<label>: (null)" or one line "<label>-><member>: <value>"
// for each member below, in order.
#pragma once

#include "report/value_text.h"

#define REPORT_SEPARATOR "---------------------------------------------------------------------"
#define REPORT_NULL_BLOCK "(null)"

// What a value of the header says.
enum class HeaderRole { Thread, Window, Context, Sample };

struct HeaderField {
    const char *label;
    ValueKind kind;
    HeaderRole role;
    int line; // 0: the thread line; 1 to 3: the window's, the button's, the edit's
};

// The header's values in the order they are written, each as "<label>:<value>",
// those of one line joined by ", ": the thread id; then for each of window,
// button and edit its handle, its context and the memory sample (dwAvailPhys,
// dwAvailVirtual) taken just before that context was retrieved.
inline constexpr HeaderField HeaderFields[] = {
    {"ThreadID", ValueKind::Hex, HeaderRole::Thread, 0},
    {"hwnd", ValueKind::Handle, HeaderRole::Window, 1},
    {"hIMC1", ValueKind::Handle, HeaderRole::Context, 1},
    {"dwAP1", ValueKind::Hex, HeaderRole::Sample, 1},
    {"dwAV1", ValueKind::Hex, HeaderRole::Sample, 1},
    {"hButton", ValueKind::Handle, HeaderRole::Window, 2},
    {"hIMC2", ValueKind::Handle, HeaderRole::Context, 2},
    {"dwAP2", ValueKind::Hex, HeaderRole::Sample, 2},
    {"dwAV2", ValueKind::Hex, HeaderRole::Sample, 2},
    {"hEdit", ValueKind::Handle, HeaderRole::Window, 3},
    {"hIMC3", ValueKind::Handle, HeaderRole::Context, 3},
    {"dwAP3", ValueKind::Hex, HeaderRole::Sample, 3},
    {"dwAV3", ValueKind::Hex, HeaderRole::Sample, 3},
};
inline constexpr int HEADER_FIELD_COUNT = sizeof HeaderFields / sizeof HeaderFields[0];
// The header lines after the separator: the thread line and three others.
inline constexpr int HEADER_VALUE_LINES = 4;
inline constexpr int ENTRY_HEADER_LINES = 1 + HEADER_VALUE_LINES;
inline constexpr int THREAD_ID_FIELD = 0;

// Header field f (0 the handle, 1 the context, 2 and 3 the memory samples) of
// window n (0 the window, 1 the button, 2 the edit).
constexpr int WindowField(int n, int f) {
    return 1 + 4 * n + f;
}

// The members of a locked input-context record that a block prints, in
// order, as MEMBER(kind, path); the path is also the member's expression.
#define REPORT_BLOCK_MEMBERS(MEMBER)                                                               \
    MEMBER(Handle, hWnd)                                                                           \
    MEMBER(Signed, fOpen)                                                                          \
    MEMBER(Signed, ptStatusWndPos.x)                                                               \
    MEMBER(Signed, ptStatusWndPos.y)                                                               \
    MEMBER(Signed, ptSoftKbdPos.x)                                                                 \
    MEMBER(Signed, ptSoftKbdPos.y)                                                                 \
    MEMBER(Hex, fdwConversion)                                                                     \
    MEMBER(Hex, fdwSentence)                                                                       \
    MEMBER(Signed, lfFont.W.lfHeight)                                                              \
    MEMBER(Signed, lfFont.W.lfWidth)                                                               \
    MEMBER(Signed, lfFont.W.lfEscapement)                                                          \
    MEMBER(Signed, lfFont.W.lfOrientation)                                                         \
    MEMBER(Signed, lfFont.W.lfWeight)                                                              \
    MEMBER(Byte, lfFont.W.lfItalic)                                                                \
    MEMBER(Byte, lfFont.W.lfUnderline)                                                             \
    MEMBER(Byte, lfFont.W.lfStrikeOut)                                                             \
    MEMBER(Byte, lfFont.W.lfCharSet)                                                               \
    MEMBER(Byte, lfFont.W.lfOutPrecision)                                                          \
    MEMBER(Byte, lfFont.W.lfClipPrecision)                                                         \
    MEMBER(Byte, lfFont.W.lfQuality)                                                               \
    MEMBER(Byte, lfFont.W.lfPitchAndFamily)                                                        \
    MEMBER(Text, lfFont.W.lfFaceName)                                                              \
    MEMBER(Hex, cfCompForm.dwStyle)                                                                \
    MEMBER(Signed, cfCompForm.ptCurrentPos.x)                                                      \
    MEMBER(Signed, cfCompForm.ptCurrentPos.y)                                                      \
    MEMBER(Signed, cfCompForm.rcArea.left)                                                         \
    MEMBER(Signed, cfCompForm.rcArea.top)                                                          \
    MEMBER(Signed, cfCompForm.rcArea.right)                                                        \
    MEMBER(Signed, cfCompForm.rcArea.bottom)                                                       \
    MEMBER(Hex, cfCandForm[0].dwIndex)                                                             \
    MEMBER(Hex, cfCandForm[0].dwStyle)                                                             \
    MEMBER(Signed, cfCandForm[0].ptCurrentPos.x)                                                   \
    MEMBER(Signed, cfCandForm[0].ptCurrentPos.y)                                                   \
    MEMBER(Signed, cfCandForm[0].rcArea.left)                                                      \
    MEMBER(Signed, cfCandForm[0].rcArea.top)                                                       \
    MEMBER(Signed, cfCandForm[0].rcArea.right)                                                     \
    MEMBER(Signed, cfCandForm[0].rcArea.bottom)                                                    \
    MEMBER(Signed, cfCandForm[1].rcArea.left)                                                      \
    MEMBER(Signed, cfCandForm[1].rcArea.top)                                                       \
    MEMBER(Signed, cfCandForm[1].rcArea.right)                                                     \
    MEMBER(Signed, cfCandForm[1].rcArea.bottom)                                                    \
    MEMBER(Signed, cfCandForm[2].rcArea.left)                                                      \
    MEMBER(Signed, cfCandForm[2].rcArea.top)                                                       \
    MEMBER(Signed, cfCandForm[2].rcArea.right)                                                     \
    MEMBER(Signed, cfCandForm[2].rcArea.bottom)                                                    \
    MEMBER(Signed, cfCandForm[3].rcArea.left)                                                      \
    MEMBER(Signed, cfCandForm[3].rcArea.top)                                                       \
    MEMBER(Signed, cfCandForm[3].rcArea.right)                                                     \
    MEMBER(Signed, cfCandForm[3].rcArea.bottom)                                                    \
    MEMBER(Handle, hCompStr)                                                                       \
    MEMBER(Handle, hCandInfo)                                                                      \
    MEMBER(Handle, hGuideLine)                                                                     \
    MEMBER(Hex, dwNumMsgBuf)                                                                       \
    MEMBER(Handle, hMsgBuf)                                                                        \
    MEMBER(Hex, fdwInit)                                                                           \
    MEMBER(Hex, dwReserve[0])                                                                      \
    MEMBER(Hex, dwReserve[1])                                                                      \
    MEMBER(Hex, dwReserve[2])

struct BlockMember {
    const char *path;
    ValueKind kind;
};

#define REPORT_BLOCK_MEMBER_FORM(kind, member) {#member, ValueKind::kind},
inline constexpr BlockMember BlockMembers[] = {REPORT_BLOCK_MEMBERS(REPORT_BLOCK_MEMBER_FORM)};
#undef REPORT_BLOCK_MEMBER_FORM

inline constexpr int BLOCK_MEMBER_COUNT = sizeof BlockMembers / sizeof BlockMembers[0];

// Block n (0 to 2) holds the record of context n + 1.
inline constexpr const char *BlockLabels[3] = {"pic1", "pic2", "pic3"};
