// The platform operations the tool calls, under the platform's own names.
// On Windows this is the real API; elsewhere it is the scriptable fake that
// the unit tests link against.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <imm.h>
#include <process.h>
#else
#include "platform/fake_windows.h"
#endif

#include "platform/input_context.h"
