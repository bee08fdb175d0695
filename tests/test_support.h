// Helpers shared by the tests of both builds.
#pragma once

#include "report/report.h"

#include <string>

// The hand-written text of the entry that SampleEntry() describes.
extern const char FullEntryText[];

// An entry whose three records are present, with edge values in every kind of
// field; its text is FullEntryText.
ReportEntry SampleEntry();

// The text WriteReportEntry gives for an entry, through a real C stream.
std::string EntryText(const ReportEntry &entry);

// Makes a new empty directory the current one, so that the report file of a
// test starts absent; returns its path.
std::string EnterFreshDirectory();
