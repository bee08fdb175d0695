// The capture of one window's input contexts into one report entry.
#pragma once

#include "platform/platform.h"

// Control identifiers of the window's push button and edit control.
#define ID_BUTTON 1
#define ID_EDIT 2

// Takes the contexts of the window, its button and its edit control, locks
// their records and appends one entry to the report. Every context it takes
// is unlocked and released, and the IMM module freed, before it returns.
void CaptureInputContexts(HWND window);
