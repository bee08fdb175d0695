#include "files/system_error.h"
#include "files/wide_text.h"

#include <windows.h>

std::string SystemErrorText(unsigned long code) {
    wchar_t *buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'.' || text.back() == L'\r' || text.back() == L'\n' ||
                             text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(code) : Utf8FromWide(text);
}
