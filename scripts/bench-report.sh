#!/bin/bash
# Benchmark of vantorel-report on Linux: check, diff and summary of 1 GiB
# reports against wc -l over the same files in the same run (medians of RUNS
# runs, interleaved); peak memory of check, summary and diff on 1 MiB and
# 1 GiB reports, diff with few and with dense differences in every format,
# and on bad input; the time to diff's first line. Prints figures; it fails
# only if something does not run.
# The reports are written to build/bench/reports and deleted at the end
# unless --keep is given.
# Usage: scripts/bench-report.sh [RUNS] [--keep]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=5
keep=false
for word in "$@"; do
    case "$word" in
    --keep) keep=true ;;
    *) runs=$word ;;
    esac
done

# No file of this benchmark grows past 4 GiB, whatever goes wrong.
ulimit -f $((4 << 20))
build="$root/build/bench"
cmake --preset host -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTOREL_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target vantorel-report report_gen >/dev/null
tool="$build/vantorel-report"
work="$build/reports"
rm -rf "$work"
mkdir -p "$work"
if ! $keep; then
    trap 'rm -rf "$work"' EXIT
fi

echo
echo "# Report tool ($(date -u +%Y-%m-%d), $(nproc) cores, $(sed -n "s/^model name\t*: //p" /proc/cpuinfo | head -1), load $(cut -d' ' -f1-3 /proc/loadavg))"
"$build/tests/report_gen" 1048576 "$work/small-a.txt" "$work/small-b.txt" >/dev/null
planted=$("$build/tests/report_gen" 1073741824 "$work/a.txt" "$work/b.txt")
echo "${planted//planted:/b.txt differs from a.txt in}"
a="$work/a.txt"
b="$work/b.txt"
echo "a.txt: $(stat -c %s "$a") bytes, $(wc -l <"$a") lines; $("$tool" check "$a" | head -1 | cut -d' ' -f2-)"

now() { date +%s%N; }
# Milliseconds that a command takes, its output dropped.
took() {
    local start
    start=$(now)
    "$@" >/dev/null 2>&1 || true
    echo $((($(now) - start) / 1000000))
}
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# One untimed pass so that both reports are in the page cache.
wc -l "$a" "$b" >/dev/null
wc_one_times=()
check_times=()
wc_two_times=()
diff_times=()
summary_times=()
for _ in $(seq "$runs"); do
    wc_one_times+=("$(took wc -l "$a")")
    check_times+=("$(took "$tool" check "$a")")
    wc_two_times+=("$(took wc -l "$a" "$b")")
    diff_times+=("$(took "$tool" diff "$a" "$b")")
    summary_times+=("$(took "$tool" summary "$a")")
done
wc_one=$(median "${wc_one_times[@]}")
check=$(median "${check_times[@]}")
wc_two=$(median "${wc_two_times[@]}")
diff=$(median "${diff_times[@]}")
summary=$(median "${summary_times[@]}")
echo "medians of $runs runs:"
echo "wc -l a.txt:                  $wc_one ms"
echo "check a.txt:                  $check ms"
echo "ratio check / wc -l:          $(ratio "$check" "$wc_one")"
echo "wc -l a.txt b.txt:            $wc_two ms"
echo "diff a.txt b.txt:             $diff ms"
echo "ratio diff / wc -l of both:   $(ratio "$diff" "$wc_two")"
echo "summary a.txt:                $summary ms"
echo "ratio summary / wc -l:        $(ratio "$summary" "$wc_one")"
echo "diff found: $("$tool" diff "$a" "$b" | tail -1) ($(grep -c . <<<"$planted") planted)"

# Peak memory in KiB and exit status of a command, its output dropped.
peak() {
    /usr/bin/time -o "$work/peak" -f "%M %x" "$@" >/dev/null 2>&1 || true
    tail -1 "$work/peak" | awk '{ printf "%6d KiB, exit status %s", $1, $2 }'
}
echo
echo "max RSS:"
echo "check 1 MiB:                  $(peak "$tool" check "$work/small-a.txt")"
echo "check 1 GiB:                  $(peak "$tool" check "$a")"
echo "diff 1 MiB:                   $(peak "$tool" diff "$work/small-a.txt" "$work/small-b.txt")"
echo "diff 1 GiB:                   $(peak "$tool" diff "$a" "$b")"
echo "summary 1 GiB:                $(peak "$tool" summary "$a")"

# B made to differ densely: one fact in every entry (pic1->fOpen), and about
# a hundred (every member whose value is 0); --strict adds the memory
# samples, which differ in every entry of these two runs.
dense() { # SIZE_NAME A B
    sed -e 's/^pic1->fOpen: [01]\r$/pic1->fOpen: 7\r/' "$3" >"$work/$1-one.txt"
    sed -e 's/: 0\r$/: 5\r/' "$3" >"$work/$1-hundred.txt"
}
dense small "$work/small-a.txt" "$work/small-b.txt"
dense big "$a" "$b"
echo
echo "diff, max RSS at 1 MiB and at 1 GiB:"
for kind in planted one hundred strict; do
    for format in text --every-entry --json --html; do
        line="$kind, $format:"
        for size in small big; do
            left=$([ $size = small ] && echo "$work/small-a.txt" || echo "$a")
            right=$([ $size = small ] && echo "$work/small-b.txt" || echo "$b")
            options=()
            case $kind in
            one | hundred) right="$work/$size-$kind.txt" ;;
            strict) options+=(--strict) ;;
            esac
            case $format in
            text) ;;
            --html) options+=(--html "$work/page.html") ;;
            *) options+=("$format") ;;
            esac
            line="$line $(peak "$tool" "${options[@]}" diff "$left" "$right")"
        done
        printf '%-28s %s\n' "${line%%:*}:" "${line#*: }"
    done
done
echo "differences: one $("$tool" diff "$a" "$work/big-one.txt" | tail -1 | cut -d' ' -f1)," \
    "hundred $("$tool" diff "$a" "$work/big-hundred.txt" | tail -1 | cut -d' ' -f1)," \
    "strict $("$tool" --strict diff "$a" "$b" | tail -1 | cut -d' ' -f1)"
first=$(took bash -c "'$tool' --every-entry diff '$a' '$work/big-hundred.txt' | head -1")
whole=$(took "$tool" --every-entry diff "$a" "$work/big-hundred.txt")
echo "first line of --every-entry, hundred: $first ms (the whole: $whole ms)"

head -c 100000000 /dev/zero | tr '\0' '-' >"$work/hyphens.txt"
head -c 1073741824 /dev/zero | tr '\0' 'x' >"$work/one-line.txt"
echo
echo "bad input:"
cd "$work"
echo "check, 10^8 hyphens:          $(peak "$tool" check hyphens.txt)"
echo "  $("$tool" check hyphens.txt 2>&1 >/dev/null | head -1)"
echo "check, 1 GiB line, no end:    $(peak "$tool" check one-line.txt)"
echo "  $("$tool" check one-line.txt 2>&1 >/dev/null | head -1)"
echo "diff of these two:            $(peak "$tool" diff hyphens.txt one-line.txt)"
