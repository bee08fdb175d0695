// (placeholder until the files branch lands)
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
FILE *OpenInputFile(const std::string &path, bool mustSeek, std::string &error);
bool SeekInputFile(FILE *file, uint64_t offset);
bool IsSameFile(const std::string &path, FILE *file);
