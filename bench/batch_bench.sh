#!/usr/bin/env bash
# Batch rendering against one process per image: 200 variations of the
# sample chart at 800x600 to PNG, rendered by one x3d-render run (with 1 and
# with 2 job threads) and by one x3d-render run per document. Prints images
# per second and the peak memory of a run (GNU time's maximum resident size).
#
# usage: bench/batch_bench.sh [DOCUMENTS]   (from the repository root, after
# ./setup.sh; needs GNU time: apt-get install time)
set -euo pipefail
count=${1:-200}
render=$PWD/build/examples/x3d-render
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Variations of the sample chart: every bar gets another height.
for i in $(seq "$count"); do
  awk -v seed="$i" '
    /<Box size="0.8 / || /<Cylinder/ {
      k++; h = 0.5 + ((seed * 7 + k * 3) % 30) / 10
      if ($0 ~ /Box/) sub(/size="0.8 [0-9.]+ 0.8"/, "size=\"0.8 " h " 0.8\"")
      else sub(/height="[0-9.]+"/, "height=\"" h "\"")
    }
    { print }' examples/data/chart.x3d > "$work/chart$i.x3d"
  echo "$work/chart$i.x3d $work/chart$i.png" >> "$work/list"
done

measure() { # label command...
  local label=$1
  shift
  /usr/bin/time -f '%e %M' -o "$work/t" "$@" > /dev/null
  read -r wall peak < "$work/t"
  awk -v l="$label" -v n="$count" -v w="$wall" -v p="$peak" \
    'BEGIN { printf "%-34s %6.2f s  %6.1f images/s  peak %6.1f MiB\n", l, w, n / w, p / 1024 }'
}

measure "one run, 1 job" "$render" --list "$work/list"
measure "one run, 2 jobs" "$render" --jobs 2 --list "$work/list"
# One process per image; GNU time reports the largest single process.
cat > "$work/each.sh" << 'SCRIPT'
#!/usr/bin/env bash
while read -r input output; do "$1" "$input" "$output" > /dev/null; done < "$2"
SCRIPT
chmod +x "$work/each.sh"
measure "one process per image" "$work/each.sh" "$render" "$work/list"
