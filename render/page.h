// The diff page: one self-contained HTML file, the two reports side by side.
#pragma once

#include "render/page_sample.h"

#include <cstdio>

void WritePage(FILE *out, const DiffResult &result, const PageSample &sample, int codePage);
