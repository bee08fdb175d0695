// The Windows names the tool uses, for building it on Linux against the fake
// platform: the same 32-bit value widths, the records the tool reads, and
// only the operations it calls.
#pragma once

#include <cstdint>
#include <pthread.h>

typedef int32_t LONG, BOOL;
typedef uint32_t DWORD, UINT;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef char CHAR;
typedef char16_t WCHAR;
typedef const char *LPCSTR;
typedef char *LPSTR;
typedef const WCHAR *LPCWSTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM, LRESULT, INT_PTR;

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0

typedef struct HWND__ *HWND;
typedef struct HIMC__ *HIMC;
typedef struct HIMCC__ *HIMCC;
typedef struct HINSTANCE__ *HINSTANCE, *HMODULE;
typedef struct HICON__ *HICON, *HCURSOR;
typedef struct HBRUSH__ *HBRUSH;
typedef struct HMENU__ *HMENU;
typedef INT_PTR(WINAPI *FARPROC)();
typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define LOWORD(value) (static_cast<WORD>(static_cast<uintptr_t>(value) & 0xFFFF))
#define HIWORD(value) (static_cast<WORD>(static_cast<uintptr_t>(value) >> 16 & 0xFFFF))
#define IDI_APPLICATION (reinterpret_cast<LPCSTR>(32512))
#define IDC_ARROW (reinterpret_cast<LPCSTR>(32512))
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_CHAR 0x0102
#define WM_COMMAND 0x0111
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define COLOR_BTNFACE 15
#define WS_OVERLAPPEDWINDOW 0x00CF0000
#define WS_CHILD 0x40000000
#define WS_VISIBLE 0x10000000
#define WS_EX_CLIENTEDGE 0x00000200
#define CW_USEDEFAULT (static_cast<int>(0x80000000))
#define SW_SHOWNORMAL 1
#define MB_ICONERROR 0x00000010
#define LF_FACESIZE 32
#define CP_ACP 0

struct POINT {
    LONG x, y;
};
struct RECT {
    LONG left, top, right, bottom;
};
#define LOGFONT_MEMBERS(CharType)                                                                  \
    LONG lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;                                 \
    BYTE lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision,           \
        lfQuality, lfPitchAndFamily;                                                               \
    CharType lfFaceName[LF_FACESIZE];
struct LOGFONTA {
    LOGFONT_MEMBERS(CHAR)
};
struct LOGFONTW {
    LOGFONT_MEMBERS(WCHAR)
};
struct COMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};
struct CANDIDATEFORM {
    DWORD dwIndex, dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};
struct MEMORYSTATUS {
    DWORD dwLength, dwMemoryLoad, dwTotalPhys, dwAvailPhys, dwTotalPageFile, dwAvailPageFile,
        dwTotalVirtual, dwAvailVirtual;
};
// ready: whether InitializeCriticalSection set it up and nothing deleted it.
struct CRITICAL_SECTION {
    pthread_mutex_t mutex;
    bool ready;
};
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra, cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName, lpszClassName;
};

HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
void GlobalMemoryStatus(MEMORYSTATUS *status);
DWORD GetCurrentThreadId();
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text,
                        int size, LPCSTR defaultChar, BOOL *usedDefaultChar);
void InitializeCriticalSection(CRITICAL_SECTION *section);
void DeleteCriticalSection(CRITICAL_SECTION *section);
void EnterCriticalSection(CRITICAL_SECTION *section);
void LeaveCriticalSection(CRITICAL_SECTION *section);
uintptr_t _beginthreadex(void *security, unsigned stackSize, unsigned(WINAPI *start)(void *),
                         void *argument, unsigned flags, unsigned *threadId);
HIMC ImmGetContext(HWND window);
BOOL ImmReleaseContext(HWND window, HIMC context);
HWND GetDlgItem(HWND window, int id);
WORD RegisterClassA(const WNDCLASSA *windowClass);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void *parameter);
BOOL GetClientRect(HWND window, RECT *rect);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessageA(MSG *message, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG *message);
LRESULT DispatchMessageA(const MSG *message);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Operations whose answers no test looks at.
#define GetModuleHandleA(name) nullptr
#define LoadIconA(instance, name) nullptr
#define LoadCursorA(instance, name) nullptr
#define ShowWindow(window, showCommand) static_cast<void>(window)
#define UpdateWindow(window) static_cast<void>(window)
#define DefWindowProcA(window, message, wParam, lParam) 0
