#!/bin/bash
# The diff page in a real browser: headless Chromium renders the page of two
# fixture reports with known differences, and the rendered page must mark
# exactly those lines, each with both values. Then, without the browser, the
# page of a long report must stay within its limit of entry pairs.
# Usage: diff_page_test.sh VANTOREL_REPORT DATA_FOLDER WORK_FOLDER
set -euo pipefail
tool=$1 data=$2 work=$3
mkdir -p "$work"
work=$(cd "$work" && pwd) # for the file:// URL
fail() { echo "FAIL: $*"; exit 1; }

status=0
"$tool" diff --html "$work/page.html" "$data/html-a.txt" "$data/html-b.txt" >/dev/null || status=$?
[ "$status" -eq 1 ] || fail "diff exit status $status, not 1"
! grep -Eiq '<(script|link|img|iframe|object)|url\(|@import' "$work/page.html" ||
    fail "the page loads something"

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --disable-dev-shm-usage --user-data-dir="$profile" \
    --dump-dom "file://$work/page.html" >"$work/page.dom" 2>"$work/chromium.log" ||
    fail "chromium: $(tail -3 "$work/chromium.log")"

# The marked rows as the browser parsed them: cells joined by "|".
sed -n 's/^<tr class="d">//p' "$work/page.dom" |
    sed -E 's#</td><td[^>]*>#|#g; s#</?t[dr]>##g; s#</?span[^>]*>##g' >"$work/marked.txt"
diff -u "$data/html-marked.txt" "$work/marked.txt" || fail "marked lines differ"
# Thread ids and memory samples are not compared: 7 grey lines in each of the
# 3 pairs with both sides, and their values grey in the pair on one side.
[ "$(grep -c '^<tr class="i">' "$work/page.dom")" -eq 21 ] &&
    [ "$(grep -o '<tr class="o"><td>[0-9]*</td><td class="i">' "$work/page.dom" | wc -l)" -eq 7 ] ||
    fail "lines not compared"
# The threads table links each thread's first pair that differs; the list
# below it each entry pair that differs, the one only in A too.
[ "$(grep -o 'href="#t[0-9]*e[0-9]*"' "$work/page.dom" | tr '\n' ' ')" = \
    'href="#t1e1" href="#t2e1" href="#t1e1" href="#t1e2" href="#t2e1" href="#t2e2" ' ] ||
    fail "links to the entries"
grep -q '<h2>Thread 2 · entry 2</h2> <span class="badge">only in A</span>' "$work/page.dom" ||
    fail "entry only in A"

# 2,000 copies of each thread against 2,000 of B's, every pair differing, in
# 4,000 pairs: the page stays within its bound of pairs and of bytes, shares
# the pairs that differ out between the threads (the first thread's first
# 10 whole), says what it left out, and links the second thread's first
# difference.
copies() { # FILE FIRST_LINE_OF_THREAD_2 LAST_LINE_OF_THREAD_2
    awk -v from="$2" -v to="$3" 'NR < 180 { one = one $0 "\n" } NR >= from && NR <= to { two = two $0 "\n" }
        END { for (i = 0; i < 2000; i++) printf "%s", one; for (i = 0; i < 2000; i++) printf "%s", two }' "$1"
}
copies "$data/html-a.txt" 359 537 >"$work/long-a.txt"
copies "$data/html-b.txt" 302 999 >"$work/long-b.txt"
"$tool" diff --html "$work/long.html" "$work/long-a.txt" "$work/long-b.txt" >/dev/null || true
[ "$(grep -c '^<details class="pair.*id="t1e' "$work/long.html")" -eq 110 ] &&
    [ "$(grep -c '^<details class="pair.*id="t2e' "$work/long.html")" -eq 101 ] || fail "pairs on the long page"
[ "$(stat -c %s "$work/long.html")" -le $((4 << 20)) ] || fail "the long page is over 4 MiB"
grep -q '3,789 more entry pairs were left out\|3789 more entry pairs were left out' "$work/long.html" ||
    fail "no word of the pairs left out"
grep -q '<a href="#t2e1">' "$work/long.html" || fail "no link to thread 2"
rm -f "$work/long-a.txt" "$work/long-b.txt"
echo "diff page: ok"
