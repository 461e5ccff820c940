#!/usr/bin/env bash
# Whole-process cost of the console launcher passing a child's output on:
# a child writes SIZE_MB of text; it is timed alone (output to /dev/null)
# and through the launcher (echo to /dev/null, log to a file), RUNS times
# each, and the median wall times are printed.
#
#   bench/launcher_bench.sh [LAUNCHER] [SIZE_MB] [RUNS]
#
# LAUNCHER defaults to build/launcher/launcher; pass another build's program
# to compare.
set -euo pipefail

launcher=$(realpath "${1:-build/launcher/launcher}")
size_mb=${2:-100}
runs=${3:-5}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$launcher" "$work/bench_console"
cat > "$work/child" <<CHILD
#!/bin/sh
yes 'INFO the deployment application writes one line of its progress' | head -c $((size_mb * 1048576))
CHILD
chmod +x "$work/child"
printf '[default]\nlaunchercmd=%s\n' "$work/child" > "$work/bench.ini"
export XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data"

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.4f", b - a }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

alone=()
through=()
for ((i = 0; i < runs; i++)); do
  start=$(now)
  "$work/child" > /dev/null
  alone+=("$(since "$start")")

  rm -f "$work/bench.log"
  start=$(now)
  "$work/bench_console" -applogloc "$work/bench.log" > /dev/null
  through+=("$(since "$start")")
  logged=$(stat -c %s "$work/bench.log")
  if [ "$logged" -lt $((size_mb * 1048576)) ]; then
    echo "the log holds only $logged bytes" >&2
    exit 1
  fi
done

a=$(printf '%s\n' "${alone[@]}" | median)
t=$(printf '%s\n' "${through[@]}" | median)
printf 'launcher:         %s\n' "$launcher"
printf 'output:           %s MB, %s runs, median wall time\n' "$size_mb" "$runs"
printf 'child alone:      %.3f s\n' "$a"
printf 'through launcher: %.3f s (%.1f times the child alone)\n' "$t" "$(awk -v t="$t" -v a="$a" 'BEGIN { print t / a }')"
