// The program entry, the second user-interface thread and their message loops.
#pragma once

#include "platform/platform.h"

#define MAIN_WINDOW_TITLE "ThreadInputContext #1"
#define SECOND_WINDOW_TITLE "ThreadInputContext #2"

// Creates the report lock and window #1, starts the second thread and runs
// the main loop. Returns 0 when window #1 is closed, 1 when start-up fails.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);
