#!/bin/sh
# Prints the sample chart as a PDF page with x3d-render and checks the file
# with poppler's pdfinfo and pdftotext: one A4 page holding the header and
# footer texts.
#   print_pdf.sh X3D_RENDER PROJECT_DIR OUT_DIR [--pdf]
# Exits 77 (skipped) when poppler-utils is not installed.
set -eu
renderer=$1 project=$2 out=$3 flag=${4:-}
command -v pdfinfo >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1 || {
    echo "poppler-utils is not installed; skipped"
    exit 77
}
mkdir -p "$out"
if [ "$flag" = --pdf ]; then target="$out/chart-page.out"; else target="$out/chart-page.pdf"; fi
rm -f "$target"
"$renderer" $flag "$project/examples/data/chart.x3d" "$target"
info=$(pdfinfo "$target")
echo "$info"
echo "$info" | grep -q '^Pages: *1$' || { echo "expected one page"; exit 1; }
echo "$info" | grep -q 'Page size: *595.276 x 841.89 pts (A4)' || { echo "expected an A4 page"; exit 1; }
text=$(pdftotext "$target" -)
echo "$text"
echo "$text" | grep -q 'chart.x3d printed by x3d-render' || { echo "header missing"; exit 1; }
echo "$text" | grep -q 'Page 1 of 1' || { echo "footer missing"; exit 1; }
echo "printed page: ok"
