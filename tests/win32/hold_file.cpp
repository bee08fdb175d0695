// Holds a file open from another process, as an editor or a reader might:
// "hold_file PATH shared" opens it shared for reading, writing and deletion,
// "hold_file PATH exclusive" with no sharing. Creates PATH.held once the file
// is open, then keeps it open until PATH.release exists. Exits 0 if it held.
#include <windows.h>

#include <string>

int main(int argc, char **argv) {
    if (argc != 3) {
        return 2;
    }
    std::string path = argv[1];
    DWORD share = std::string(argv[2]) == "shared"
                      ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                      : 0;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    CloseHandle(CreateFileA((path + ".held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    for (int i = 0;
         i < 60000 && GetFileAttributesA((path + ".release").c_str()) == INVALID_FILE_ATTRIBUTES;
         i++) {
        Sleep(10);
    }
    CloseHandle(file);
    return 0;
}
