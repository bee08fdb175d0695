#include "files/output_file.h"
#include <cerrno>
#include <cstring>
bool BeginOutputFile(OutputFile &output, const std::string &path, std::string &error) {
    output.path = path;
    output.file = fopen(path.c_str(), "wb");
    if (output.file == nullptr) {
        error = strerror(errno);
    }
    return output.file != nullptr;
}
FILE *OutputStream(const OutputFile &output) {
    return output.file;
}
bool CommitOutputFile(OutputFile &output, std::string &error) {
    bool ok = fclose(output.file) == 0;
    if (!ok) {
        error = strerror(errno);
    }
    return ok;
}
void AbandonOutputFile(OutputFile &output) {
    fclose(output.file);
}
