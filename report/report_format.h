// The form of a report entry: its lines, their labels and order, and how each
// value is written. The tool's writer and the report reader both follow this
// one description, so they cannot drift apart.
//
// An entry is a separator line, a thread line, three header lines (window,
// button, edit: each with its context and memory sample), then one block per
// context: either "<label>: (null)" or one line "<label>-><member>: <value>"
// for each member below, in order.
#pragma once

#include <cstdint>

#define REPORT_SEPARATOR "---------------------------------------------------------------------"
#define REPORT_THREAD_LABEL "ThreadID"
#define REPORT_NULL_BLOCK "(null)"

// How a value is written: Handle "0001005E", Hex "0x0000001A", Signed "-1",
// Byte "0" to "255", Text the face name as its ANSI bytes.
enum class ValueKind { Handle, Hex, Signed, Byte, Text };

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
inline constexpr int ENTRY_HEADER_LINES = 5;

// Header line n (0 to 2) reads "<WindowLabels[n]>:<handle>, hIMC<n+1>:<handle>,
// dwAP<n+1>:0x<hex>, dwAV<n+1>:0x<hex>"; block n is labelled BlockLabels[n].
inline constexpr const char *WindowLabels[3] = {"hwnd", "hButton", "hEdit"};
inline constexpr const char *BlockLabels[3] = {"pic1", "pic2", "pic3"};

// The longest face-name text: what 32 UTF-16 units can become in a double-byte
// code page.
#define FACE_NAME_TEXT_MAX 64

// Room for any value but a face name, with its NUL.
#define VALUE_TEXT_SIZE 16

// Writes a value of any kind but Text in its form; returns the text's length.
int FormatValue(ValueKind kind, uint32_t value, char *text);
