// The font face name of a context record, as the report prints it.
#pragma once

#include "platform/platform.h"
#include "report/report_format.h"

// Room for the converted name and its terminating NUL.
#define FACE_NAME_TEXT_SIZE (FACE_NAME_TEXT_MAX + 1)

// Converts the LF_FACESIZE code units at faceName, up to the first NUL or all
// of them, to the ANSI code page, writing a NUL-terminated text of at most 64
// bytes. Reads nothing past the LF_FACESIZE units. A failed conversion gives
// the empty text; a control byte, which would break the report's lines,
// becomes '?'.
void ConvertFaceName(const WCHAR *faceName, char *text);
