#!/usr/bin/env bash
# Draws the README's gallery images from the example documents.
# usage: tools/make-gallery.sh   (from the repository root, after ./setup.sh)
set -euo pipefail
render=build/examples/x3d-render
mkdir -p docs/gallery
"$render" --shadows --png-level 9 --size 640x480 examples/data/chart.x3d docs/gallery/chart.png
for name in surface ribbon shelf; do
    "$render" --png-level 9 --size 640x480 "examples/data/$name.x3d" "docs/gallery/$name.png"
done
