// The diff page: both reports side by side, entry by entry.
#include "compare/diff.h"
#include "compare/text_escape.h"

void BeginHtmlPage(FILE *page, const ReportInput &a, const ReportInput &b) {
    fprintf(page,
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s | "
            "%s</title></head><body>\n",
            HtmlText(a.path).c_str(), HtmlText(b.path).c_str());
}

void WriteHtmlEntryPair(FILE *page, const EntryPair &pair,
                        const std::vector<Difference> &differences) {
    fprintf(page, "<h2>thread %zu, entry %llu</h2>\n<ul>\n", pair.thread,
            static_cast<unsigned long long>(pair.entry));
    for (const Difference &difference : differences) {
        fprintf(page, "<li>%s: %s | %s</li>\n", HtmlText(difference.member).c_str(),
                HtmlText(difference.a.value).c_str(), HtmlText(difference.b.value).c_str());
    }
    fprintf(page, "</ul>\n");
}

void EndHtmlPage(FILE *page, const std::vector<Difference> &, uint64_t differenceCount) {
    fprintf(page, "<p>%llu differences</p></body></html>\n",
            static_cast<unsigned long long>(differenceCount));
}
