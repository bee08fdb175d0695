// The report file: opened, written, flushed and closed for every entry, all
// under the report lock so that entries of the two threads never interleave.
#include "report/report.h"

CRITICAL_SECTION ReportLock;

void AppendReportEntry(const ReportEntry &entry) {
    EnterCriticalSection(&ReportLock);
    // Text mode: on Windows every line feed reaches the file as CR LF.
    FILE *report = fopen(REPORT_FILE_NAME, "a");
    if (report != nullptr) {
        char buffer[512];
        setvbuf(report, buffer, _IOFBF, sizeof buffer);
        WriteReportEntry(report, entry);
        fflush(report);
        fclose(report);
    }
    LeaveCriticalSection(&ReportLock);
}
