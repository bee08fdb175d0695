#include "shell/main_window.h"
#include "capture/capture.h"

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
static BOOL OnCreate(HWND window);
static void OnCommand(HWND window, int id, HWND control, UINT notification);

BOOL RegisterMainClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = MAIN_CLASS_NAME;
    if (RegisterClassA(&windowClass) == 0) {
        MessageBoxA(nullptr, "RegisterClass failed", nullptr, MB_ICONERROR);
        return FALSE;
    }
    return TRUE;
}

HWND CreateMainWindow(LPCSTR title) {
    HWND window = CreateWindowExA(0, MAIN_CLASS_NAME, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    // Shown normally whatever show command the process was started with.
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

// Each message to its handler.
static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// WM_CREATE: the controls fill the bottom-right 200 by 50 pixels of the
// client area, the edit on the left; they are placed once and never moved.
// The window is then posted its first capture command.
static BOOL OnCreate(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    CreateWindowExA(0, "BUTTON", "BUTTON", WS_CHILD | WS_VISIBLE, client.right - 100,
                    client.bottom - 50, 100, 50, window, reinterpret_cast<HMENU>(ID_BUTTON),
                    instance, nullptr);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "EDIT", WS_CHILD | WS_VISIBLE, client.right - 200,
                    client.bottom - 50, 100, 50, window, reinterpret_cast<HMENU>(ID_EDIT), instance,
                    nullptr);
    // Dispatched once this thread's message loop runs, after the window is shown.
    PostMessageA(window, WM_COMMAND, ID_BUTTON, 0);
    return TRUE;
}

// WM_COMMAND: identifier 1 (the button, or the command posted at creation)
// captures; any other identifier does nothing.
static void OnCommand(HWND window, int id, HWND, UINT) {
    if (id == ID_BUTTON) {
        CaptureInputContexts(window);
    }
}
