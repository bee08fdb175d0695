// Windows' own words for its error codes.
#pragma once

#include <string>

// The message of a GetLastError code, on one line without its final period.
std::string SystemErrorText(unsigned long code);
