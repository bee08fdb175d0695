// Reads the version resource of each program named, through the system's
// GetFileVersionInfo, and fails unless it carries the project's version,
// a description and the product's name.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static std::wstring Wide(const char *text) {
    return std::wstring(text, text + strlen(text));
}

static std::wstring Value(std::vector<BYTE> &info, const wchar_t *name) {
    wchar_t *value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void **>(&value), &length) ||
        length == 0) {
        return L"";
    }
    return value;
}

static bool Check(const char *program) {
    std::wstring path = Wide(program);
    DWORD handle = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), &handle));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    std::wstring version = Wide(VANTOREL_VERSION);
    bool good =
        !info.empty() && GetFileVersionInfoW(path.c_str(), 0, info.size(), info.data()) &&
        VerQueryValueW(info.data(), L"\\", reinterpret_cast<void **>(&fixed), &length) &&
        fixed->dwFileVersionMS == (VANTOREL_VERSION_MAJOR << 16 | VANTOREL_VERSION_MINOR) &&
        fixed->dwFileVersionLS == (VANTOREL_VERSION_PATCH << 16) &&
        Value(info, L"FileVersion") == version && Value(info, L"ProductVersion") == version &&
        Value(info, L"ProductName") == L"Vantorel" && !Value(info, L"FileDescription").empty();
    if (!good) {
        printf("%s: no version resource of version %s\n", program, VANTOREL_VERSION);
    }
    return good;
}

int main(int argc, char **argv) {
    bool good = argc > 1;
    for (int i = 1; i < argc; i++) {
        good = Check(argv[i]) && good;
    }
    return good ? 0 : 1;
}
