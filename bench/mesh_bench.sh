#!/usr/bin/env bash
# The 1,000,000-triangle face set: timings (medians of RUNS runs in one
# process) and memory (three fresh processes each for the face set and for
# the plain display list it is measured against).
# usage: bench/mesh_bench.sh [RUNS]   (run from the repository root after ./setup.sh)
set -euo pipefail
runs=${1:-5}
bench=build/bench/mesh_bench
"$bench" --runs "$runs"
for i in 1 2 3; do "$bench" --memory | tail -n 1; done
for i in 1 2 3; do "$bench" --memory-plain | tail -n 1; done
