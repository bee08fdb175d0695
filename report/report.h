// One capture's report entry, its text, and the report file it is appended to.
#pragma once

#include "platform/platform.h"

#include <cstdio>

// Everything one capture hands to the report. Sample n (dwAPn, dwAVn) was
// taken just before context n was retrieved; a record may be null.
struct ReportEntry {
    DWORD threadId;
    HWND window;
    HWND button;
    HWND edit;
    HIMC hIMC1;
    HIMC hIMC2;
    HIMC hIMC3;
    DWORD dwAP1;
    DWORD dwAV1;
    DWORD dwAP2;
    DWORD dwAV2;
    DWORD dwAP3;
    DWORD dwAV3;
    const INPUTCONTEXT *pic1;
    const INPUTCONTEXT *pic2;
    const INPUTCONTEXT *pic3;
};

// Serializes the writing of entries by the threads of this process. Created by
// the program's entry before any window exists.
extern CRITICAL_SECTION ReportLock;

// The report file, relative to the current directory at each capture.
#define REPORT_FILE_NAME "Vantorel.txt"

// Writes the five header lines and the three context blocks.
void WriteReportEntry(FILE *sink, const ReportEntry &entry);

// Writes one record's block under the label ("pic1", "pic2" or "pic3"): one
// "(null)" line for a null record, otherwise 58 lines.
void WriteContextBlock(FILE *sink, const INPUTCONTEXT *record, const char *label);

// Appends one whole entry to the report file under the report lock. A file
// that cannot be opened gets nothing; the next call tries again.
void AppendReportEntry(const ReportEntry &entry);
