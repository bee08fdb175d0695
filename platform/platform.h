// The platform operations the tool calls, under the platform's own names.
// On Windows this is the real API; elsewhere it is the tests' fake
// (tests/fake/), which the host unit tests drive.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <imm.h>
#include <process.h>
#else
#include "fake_windows.h"
#endif

#include "platform/input_context.h"
