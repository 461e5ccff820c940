#!/usr/bin/env bash
# Runs the fuzz targets, each for a fixed time, from the seed corpus in the
# tree (tests/fuzz/corpus/<target>, plus the example documents for the
# document target). New inputs that add coverage are kept in
# $BUILD_DIR/fuzz-work/<target>. A finding (a crash, a leak, a timeout, an
# out-of-memory, or a round trip that differs) stops with status 1 and prints
# the reproducer, which is also saved under $BUILD_DIR/fuzz-findings.
#
#   tools/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default: 60, all three)
#
# Build the targets first: LUMO_FUZZ=1 ./setup.sh (clang, into build-fuzz).
# Each input may take at most 10 s and the process at most 2 GB: a slow or
# large input is a finding, for the reader's bounds to refuse.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(document values launcher)
BUILD_DIR="${BUILD_DIR:-build-fuzz}"
bin="$BUILD_DIR/tests/fuzz"
findings="$BUILD_DIR/fuzz-findings"
mkdir -p "$findings"
status=0
for t in "${targets[@]}"; do
  exe="$bin/fuzz_$t"
  if [ ! -x "$exe" ]; then
    echo "fuzz.sh: $exe is not built (LUMO_FUZZ=1 ./setup.sh)" >&2
    exit 2
  fi
  work="$BUILD_DIR/fuzz-work/$t"
  mkdir -p "$work"
  seeds=("tests/fuzz/corpus/$t")
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536
           -artifact_prefix="$findings/$t-" -print_final_stats=1)
  if [ "$t" = document ]; then
    seeds+=(examples/data)
    options+=(-dict="$bin/document.dict")
  fi
  echo "== fuzz_$t for ${seconds}s"
  log="$BUILD_DIR/fuzz-$t.log"
  "$exe" "${options[@]}" "$work" "${seeds[@]}" > "$log" 2>&1
  rc=$?
  grep -E '^(stat::|#[0-9]+[[:space:]]+DONE)' "$log" | tail -8
  if [ $rc -ne 0 ]; then
    status=1
    echo "fuzz_$t: FINDING (exit $rc)"
    grep -E -A30 'ERROR:|finding:|Test unit written' "$log" | head -60
    for f in "$findings/$t-"*; do
      [ -f "$f" ] || continue
      echo "--- reproducer $f (base64):"
      base64 "$f" | head -40
    done
  fi
done
exit $status
