#include "files/temporary_file.h"

#ifdef _WIN32
#include "files/system_error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

FILE *OpenTemporaryFile(std::string &error) {
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        error = SystemErrorText(GetLastError());
        return nullptr;
    }
    static unsigned made = 0;
    HANDLE handle = INVALID_HANDLE_VALUE;
    // A name of our own that no other file has: CREATE_NEW says when it is taken.
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; attempt++) {
        std::wstring name = folder;
        name += L"vantorel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(made++) + L".tmp";
        handle =
            CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        error = SystemErrorText(GetLastError());
        return nullptr;
    }
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (descriptor < 0) {
        error = strerror(errno);
        CloseHandle(handle);
        return nullptr;
    }
    FILE *file = _fdopen(descriptor, "w+b");
    if (file == nullptr) {
        error = strerror(errno);
        _close(descriptor);
    }
    return file;
}
#else
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

FILE *OpenTemporaryFile(std::string &error) {
    const char *folder = getenv("TMPDIR");
    std::string name =
        std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/vantorel-XXXXXX";
    int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        error = strerror(errno);
        return nullptr;
    }
    unlink(name.c_str());
    FILE *file = fdopen(descriptor, "w+b");
    if (file == nullptr) {
        error = strerror(errno);
        close(descriptor);
    }
    return file;
}
#endif
