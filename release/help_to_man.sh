#!/bin/bash
# Writes vantorel-report(1) from the program's own --help, so that the
# manual page and --help are written once: the usage lines become the
# synopsis, paragraphs the description, "  word   text" items tagged
# paragraphs, deeper-indented lines (examples) literal lines.
# Usage: help_to_man.sh PROGRAM OUTPUT
set -euo pipefail
program=$1
out=$2
version=$("$program" --version | sed 's/^vantorel-report //')
# The page's date: the source's, when SOURCE_DATE_EPOCH says it.
date=$(date -u -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}" +%Y-%m-%d)
"$program" --help | awk -v version="$version" -v date="$date" '
function roff(text) {
    gsub(/\\/, "\\e", text)
    gsub(/-/, "\\-", text)
    if (text ~ /^[.'"'"']/) text = "\\&" text
    return text
}
function flush() {
    if (paragraph != "") print roff(paragraph)
    paragraph = ""
}
BEGIN {
    print ".TH VANTOREL-REPORT 1 \"" date "\" \"vantorel-report " version "\" \"User Commands\""
    print ".SH NAME"
    print "vantorel-report \\- check, summarise and compare input context reports"
    print ".SH SYNOPSIS"
    print ".nf"
    part = "usage"
}
part == "usage" {
    if ($0 == "") { print ".fi"; print ".SH DESCRIPTION"; part = "text"; next }
    line = $0
    sub(/^usage: /, "", line)
    more = line ~ /^        /
    sub(/^ +/, "", line)
    print (more ? "    " : "") roff(line)
    next
}
$0 == "" { flush(); print ".PP"; next }
/^                     / {
    # An example inside an item: a literal line.
    flush()
    line = $0
    sub(/^ +/, "", line)
    print ".nf"; print "  " roff(line); print ".fi"
    next
}
/^                   / {
    line = $0
    sub(/^ +/, "", line)
    paragraph = paragraph (paragraph == "" ? "" : " ") line
    next
}
/^  [^ ]/ {
    flush()
    line = $0
    sub(/^  /, "", line)
    split(line, parts, /  +/)
    print ".TP"
    print ".B " roff(parts[1])
    rest = substr(line, length(parts[1]) + 1)
    sub(/^ +/, "", rest)
    paragraph = rest
    next
}
{ paragraph = paragraph (paragraph == "" ? "" : " ") $0 }
END { flush() }
' >"$out.new"
mv "$out.new" "$out"
