// The IMM's published input-context record, as returned by ImmLockIMC.
// Debian's mingw-w64 headers do not declare it, so it is declared here,
// member for member, from the public documentation.
#pragma once

typedef struct tagINPUTCONTEXT {
    HWND hWnd;
    BOOL fOpen;
    POINT ptStatusWndPos;
    POINT ptSoftKbdPos;
    DWORD fdwConversion;
    DWORD fdwSentence;
    union {
        LOGFONTA A;
        LOGFONTW W;
    } lfFont;
    COMPOSITIONFORM cfCompForm;
    CANDIDATEFORM cfCandForm[4];
    HIMCC hCompStr;
    HIMCC hCandInfo;
    HIMCC hGuideLine;
    HIMCC hPrivate;
    DWORD dwNumMsgBuf;
    HIMCC hMsgBuf;
    DWORD fdwInit;
    DWORD dwReserve[3];
} INPUTCONTEXT, *PINPUTCONTEXT, *LPINPUTCONTEXT;

// The layout the public headers give: handles are pointer-sized, each at its
// natural alignment; the rest are 32-bit members and 4-byte aligned records.
#if defined(_WIN64)
#include <stddef.h>
static_assert(sizeof(INPUTCONTEXT) == 352);
static_assert(offsetof(INPUTCONTEXT, fOpen) == 8);
static_assert(offsetof(INPUTCONTEXT, lfFont) == 36);
static_assert(offsetof(INPUTCONTEXT, cfCompForm) == 128);
static_assert(offsetof(INPUTCONTEXT, cfCandForm) == 156);
static_assert(offsetof(INPUTCONTEXT, hCompStr) == 288);
static_assert(offsetof(INPUTCONTEXT, dwNumMsgBuf) == 320);
static_assert(offsetof(INPUTCONTEXT, hMsgBuf) == 328);
static_assert(offsetof(INPUTCONTEXT, fdwInit) == 336);
static_assert(offsetof(INPUTCONTEXT, dwReserve) == 340);
#elif defined(_WIN32)
#include <stddef.h>
static_assert(sizeof(INPUTCONTEXT) == 320);
static_assert(offsetof(INPUTCONTEXT, lfFont) == 32);
static_assert(offsetof(INPUTCONTEXT, cfCompForm) == 124);
static_assert(offsetof(INPUTCONTEXT, cfCandForm) == 152);
static_assert(offsetof(INPUTCONTEXT, hCompStr) == 280);
static_assert(offsetof(INPUTCONTEXT, dwNumMsgBuf) == 296);
static_assert(offsetof(INPUTCONTEXT, fdwInit) == 304);
static_assert(offsetof(INPUTCONTEXT, dwReserve) == 308);
#endif

// ImmLockIMC and ImmUnlockIMC are looked up by name at run time.
typedef LPINPUTCONTEXT(WINAPI *ImmLockIMCProc)(HIMC);
typedef BOOL(WINAPI *ImmUnlockIMCProc)(HIMC);
