#!/bin/sh
# Runs the URL-cache tests in a network namespace of their own, where not even
# the loopback interface is up: tests that need a local server must skip,
# saying why, and the others must pass. Exit 77 (skipped) where no such
# namespace can be made.
tests="$1"
if unshare -rn true 2> /dev/null; then
  isolate="unshare -rn"
elif unshare -n true 2> /dev/null; then
  isolate="unshare -n"
else
  echo "no network namespace can be made here"
  exit 77
fi
out=$($isolate "$tests" --gtest_filter='SearchPathTest.*' 2>&1)
rc=$?
echo "$out"
[ $rc -eq 0 ] || exit 1
echo "$out" | grep -q "no local server: " || { echo "no test skipped for the missing server"; exit 1; }
echo "$out" | grep -q "SKIPPED.* 4 tests" || { echo "expected 4 skipped tests"; exit 1; }
