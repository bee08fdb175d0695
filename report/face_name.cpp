#include "report/face_name.h"

void ConvertFaceName(const WCHAR *faceName, char *text) {
    int units = 0;
    while (units < LF_FACESIZE && faceName[units] != 0) {
        units++;
    }
    // An explicit length keeps the conversion inside the member even when no
    // NUL ends the name; the output then carries no NUL of its own.
    int length = 0;
    if (units > 0) {
        length = WideCharToMultiByte(CP_ACP, 0, faceName, units, text, FACE_NAME_TEXT_SIZE - 1,
                                     nullptr, nullptr);
    }
    text[length] = '\0';
    for (int i = 0; i < length; i++) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            text[i] = '?';
        }
    }
}
