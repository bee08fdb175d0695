// (placeholder until the files branch lands)
#pragma once
#include <string>
bool FinishStandardOutput(std::string &error);
