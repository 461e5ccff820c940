#!/usr/bin/env bash
# x3d-render as a batch renderer: a list with a broken document renders the
# others and fails; the same document first and last in a batch (with other
# documents, lights and shadows between) comes out the same; one job thread
# and two give the same images.
#   batch_render.sh X3D_RENDER SOURCE_DIR WORK_DIR
set -u
render=$1 src=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }

cat > "$work/list" << LIST
$src/examples/data/chart.x3d $work/first.png
$src/tests/data/unclosed.x3d $work/broken.png
# a comment, then an empty line

$src/tests/data/lit-shadowed.x3d $work/lit.png 320x200
$src/examples/data/chart.x3d $work/last.png
LIST
"$render" --shadows --list "$work/list" > "$work/out" 2> "$work/err"
rc=$?
[ $rc -ne 0 ] || fail "a list with a broken document exited 0"
grep -q "unclosed.x3d: expected end of tag" "$work/err" || fail "the broken document was not reported: $(cat "$work/err")"
for f in first lit last; do [ -s "$work/$f.png" ] || fail "$f.png was not written"; done
[ ! -e "$work/broken.png" ] || fail "the broken document left an image"
grep -q "wrote $work/lit.png (320x200)" "$work/out" || fail "the list's own size was not used"
cmp -s "$work/first.png" "$work/last.png" || fail "the same document came out differently first and last"

grep -v unclosed "$work/list" | sed "s#$work/#$work/two-#" > "$work/list2"
"$render" --shadows --jobs 2 --list - < "$work/list2" > /dev/null || fail "two job threads failed"
for f in first lit last; do
  cmp -s "$work/$f.png" "$work/two-$f.png" || fail "$f.png differs between one and two job threads"
done
echo "batch rendering: ok"
