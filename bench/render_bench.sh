#!/usr/bin/env bash
# Times the example renderer (whole process, 800x600 to PNG): median wall time
# and peak memory of several runs, on the primitives sample and on a
# 2,000-shape grid made by the scene generator.
# usage: bench/render_bench.sh [RUNS]   (run from the repository root after ./setup.sh;
# needs python3 and GNU time: apt-get install python3 time)
set -euo pipefail
runs=${1:-7}
render=build/examples/x3d-render
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 ../shared/tools/gen-scene grid 2000 "$work/grid.x3d"
for doc in ../shared/samples/web3d/GeometryPrimitiveNodes.x3d "$work/grid.x3d"; do
  for i in $(seq "$runs"); do
    /usr/bin/time -f '%e %M' -o "$work/t" "$render" "$doc" "$work/out.png" > /dev/null
    cat "$work/t"
  done > "$work/runs"
  wall=$(cut -d' ' -f1 "$work/runs" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  peak=$(cut -d' ' -f2 "$work/runs" | sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1024 }')
  printf '%-28s median wall %s s, median peak %s MiB (%s runs)\n' "$(basename "$doc")" "$wall" "$peak" "$runs"
done
