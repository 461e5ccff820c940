#!/usr/bin/env bash
# The shelf-plan aisle (20 fixtures, 200 subfixtures, 5,000 labelled
# products): read, first frame, rotate-drag frame and close-up frame
# (medians of RUNS runs in one process), and memory (three fresh processes).
# usage: bench/shelf_bench.sh [RUNS]   (run from the repository root after ./setup.sh)
set -euo pipefail
runs=${1:-5}
bench=build/bench/shelf_bench
"$bench" --runs "$runs"
for i in 1 2 3; do "$bench" --memory | tail -n 1; done
