// The tool's window class, its top-level windows and their window procedure.
#pragma once

#include "platform/platform.h"

#define MAIN_CLASS_NAME "Vantorel test window"
#define MAIN_WINDOW_WIDTH 450
#define MAIN_WINDOW_HEIGHT 250

// Registers the class; on failure shows "RegisterClass failed" and returns
// FALSE.
BOOL RegisterMainClass(HINSTANCE instance);

// Creates, shows and paints one top-level window; returns null on failure.
HWND CreateMainWindow(LPCSTR title);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_CREATE: adds the button and the edit control along the bottom edge and
// posts the window its first capture command.
BOOL OnCreate(HWND window);

// WM_COMMAND: identifier 1 (the button, or the command posted at creation)
// captures; any other identifier does nothing.
void OnCommand(HWND window, int id, HWND control, UINT notification);
