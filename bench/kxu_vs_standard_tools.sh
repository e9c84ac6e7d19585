#!/usr/bin/env bash
# kxu beside the standard tools on the same input, in one run: wall time, CPU
# time (user + system, steadier on a shared machine) and peak memory, the
# median of RUNS runs each, of
#   kxu convert --from utf-16le --to utf-8   and   iconv -f UTF-16LE -t UTF-8
#   kxu freq                                 and   sort | uniq -c
#   kxu csv                                  and   (no anchor: time and memory only)
# Usage: bench/kxu_vs_standard_tools.sh [KXU] [MEGABYTES] [RUNS]
#   KXU defaults to build/default/tools/kxu/kxu, MEGABYTES to 460, RUNS to 3.
# The input is made in a temporary folder and removed at the end.
set -euo pipefail
kxu=$(realpath "${1:-build/default/tools/kxu/kxu}")
megabytes=${2:-460}
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

# The median of the runs of the command line $2, named $1: seconds of wall
# and CPU time, and peak KiB.
measure() {
  local name=$1 command=$2 walls=() cpus=() peaks=()
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" bash -c "$command" > /dev/null
    read -r wall user system kib < "$work/time"
    walls+=("$wall")
    cpus+=("$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')")
    peaks+=("$kib")
  done
  local middle=$(((runs + 1) / 2)) wall cpu peak
  wall=$(printf '%s\n' "${walls[@]}" | sort -n | sed -n "${middle}p")
  cpu=$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n "${middle}p")
  peak=$(printf '%s\n' "${peaks[@]}" | sort -n | sed -n "${middle}p")
  printf '%-34s %8.2f s wall %8.2f s CPU %10d KiB\n' "$name" "$wall" "$cpu" "$peak"
  echo "$wall $cpu $peak" > "$work/last"
}

# Measures a kxu command line beside its anchor and prints their ratios.
compare() {
  measure "$1" "$2"
  read -r kxu_wall kxu_cpu kxu_peak < "$work/last"
  measure "$3" "$4"
  read -r anchor_wall anchor_cpu anchor_peak < "$work/last"
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
measure "kxu csv" "'$kxu' csv '$work/utf8.txt'"
