// (placeholder until the files branch lands)
#pragma once
#include <cstdio>
#include <string>
struct OutputFile {
    std::string path;
    FILE *file;
};
bool BeginOutputFile(OutputFile &output, const std::string &path, std::string &error);
FILE *OutputStream(const OutputFile &output);
bool CommitOutputFile(OutputFile &output, std::string &error);
void AbandonOutputFile(OutputFile &output);
