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
