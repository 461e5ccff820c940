#!/usr/bin/env bash
# The 1000 x 1000 elevation grid with 8 colour bands and contour lines:
# timings (medians of RUNS runs in one process, against a plain display list
# of as many triangles) and memory (three fresh processes).
# usage: bench/grid_bench.sh [RUNS]   (run from the repository root after ./setup.sh)
set -euo pipefail
runs=${1:-5}
bench=build/bench/grid_bench
"$bench" --runs "$runs"
for i in 1 2 3; do "$bench" --memory | tail -n 1; done
