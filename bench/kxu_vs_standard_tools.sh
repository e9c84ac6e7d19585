#!/usr/bin/env bash
# kxu beside the standard tools on the same input, in one run: wall time, CPU
# time (user + system, steadier on a shared machine) and peak memory, the
# median of RUNS runs each, of
#   kxu convert --from utf-16le --to utf-8   and   iconv -f UTF-16LE -t UTF-8
#   kxu freq                                 and   sort | uniq -c
#   kxu sort --numeric                       and   sort -n
#   kxu csv                                  and   Python's csv module
#   kxu copy-dir -r (10,000 small files)     and   cp -r
# Usage: bench/kxu_vs_standard_tools.sh [KXU] [MEGABYTES] [RUNS]
#   KXU defaults to build/default/tools/kxu/kxu, MEGABYTES (of UTF-8; the
#   UTF-16 form is about twice as long) to 230, RUNS to 3.
# The inputs are made in a temporary folder and removed at the end.
set -euo pipefail
kxu=$(realpath "${1:-build/default/tools/kxu/kxu}")
megabytes=${2:-230}
runs=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CSV-like UTF-8 lines with non-ASCII text and repeated keys, MEGABYTES long.
awk -v bytes=$((megabytes * 1024 * 1024)) 'BEGIN {
  srand(7)
  while (written < bytes) {
    line = sprintf("%d,\"caf\xc3\xa9 %d\",r\xc3\xa9sum\xc3\xa9,%.3f,(x,y)", int(rand() * 5000), NR++, rand())
    print line
    written += length(line) + 1
  }
}' > "$work/utf8.txt"
"$kxu" convert --to utf-16le "$work/utf8.txt" > "$work/utf16.txt"

# Runs the command line $1 once; prints its seconds of wall and CPU time
# (user + system) and its peak KiB.
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" bash -c "$1" > /dev/null
  read -r wall user system kib < "$work/time"
  echo "$wall $(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }') $kib"
}

# The median of each column of the arguments, texts "WALL CPU KIB".
medians() {
  local column middle=$((($# + 1) / 2))
  for column in 1 2 3; do
    printf '%s\n' "$@" | awk -v c=$column '{ print $c }' | sort -n | sed -n "${middle}p"
  done | paste -sd ' '
}

# Prints the line of the command named $1: wall, CPU, KiB.
report() {
  printf '%-34s %8.2f s wall %8.2f s CPU %10d KiB\n' "$1" "$2" "$3" "$4"
}

# Measures a kxu command line beside its anchor and prints their ratios. The
# two take turns, run by run, so that a change of the machine's load falls
# on both.
compare() {
  local kxu_times=() anchor_times=()
  for ((round = 0; round < runs; round++)); do
    kxu_times+=("$(measure "$2")")
    anchor_times+=("$(measure "$4")")
  done
  read -r kxu_wall kxu_cpu kxu_peak <<< "$(medians "${kxu_times[@]}")"
  read -r anchor_wall anchor_cpu anchor_peak <<< "$(medians "${anchor_times[@]}")"
  report "$1" "$kxu_wall" "$kxu_cpu" "$kxu_peak"
  report "$3" "$anchor_wall" "$anchor_cpu" "$anchor_peak"
  awk -v a="$kxu_wall" -v b="$anchor_wall" -v c="$kxu_cpu" -v d="$anchor_cpu" \
    -v e="$kxu_peak" -v f="$anchor_peak" 'BEGIN {
      printf "%-34s %8.2fx wall %7.2fx CPU %11.3fx\n", "  kxu / anchor", a / b, c / d, e / f }'
}

echo "input: $(stat -c %s "$work/utf16.txt") bytes of UTF-16LE, $(stat -c %s "$work/utf8.txt") of UTF-8; median of $runs runs"
compare "kxu convert utf-16le -> utf-8" "'$kxu' convert --from utf-16le --to utf-8 '$work/utf16.txt'" \
  "iconv -f UTF-16LE -t UTF-8" "iconv -f UTF-16LE -t UTF-8 '$work/utf16.txt'"
cut -d, -f1 "$work/utf8.txt" > "$work/keys.txt"
compare "kxu freq (first column)" "'$kxu' freq '$work/keys.txt'" \
  "sort | uniq -c" "sort '$work/keys.txt' | uniq -c"
compare "kxu sort --numeric (first column)" "'$kxu' sort --numeric '$work/keys.txt'" \
  "sort -n" "sort -n '$work/keys.txt'"
compare "kxu csv" "'$kxu' csv '$work/utf8.txt'" \
  "python3 csv module" "python3 -c 'import csv, sys
out = sys.stdout.write
for row in csv.reader(open(sys.argv[1], newline=\"\", encoding=\"utf-8\")):
    out(\"\\t\".join(row) + \"\\n\")' '$work/utf8.txt'"

# A tree of 100 folders of 100 small files each, copied into a new folder
# each run.
for ((d = 0; d < 100; d++)); do
  mkdir -p "$work/tree/d$d"
  for ((f = 0; f < 100; f++)); do echo "file $d $f" > "$work/tree/d$d/f$f.txt"; done
done
mkdir "$work/copies"
compare "kxu copy-dir -r (10,000 files)" "'$kxu' copy-dir -r '$work/tree' \$(mktemp -d -p '$work/copies')/c" \
  "cp -r" "cp -r '$work/tree' \$(mktemp -d -p '$work/copies')/c"
