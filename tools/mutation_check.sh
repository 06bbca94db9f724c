#!/usr/bin/env bash
# Mutation check of the test suite: applies each patch in tools/mutations/ in
# turn, builds, runs the suite until its first failure, restores the tree and
# prints a table row: the mutation and the first test that failed, or SURVIVED.
# Usage: tools/mutation_check.sh [BUILD_DIR] (default build, already configured).
set -u
cd "$(dirname "$0")/.."
build=${1:-build}
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT
echo "| mutation | killed by |"
echo "|---|---|"
for patch in tools/mutations/*.patch; do
  name=$(basename "$patch" .patch)
  if ! git apply "$patch" 2>/dev/null; then echo "| $name | (does not apply) |"; continue; fi
  if ! cmake --build "$build" -j2 >"$log/build" 2>&1; then
    result="(does not build)"
  else
    # A mutant that hangs a test is killed by the timeout.
    (cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j2 --timeout 120 --stop-on-failure >"$log/test" 2>&1)
    result=$(grep -m1 -E '\*\*\*(Failed|Exception|Timeout)|Not Run' "$log/test" | sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/\1/')
    result=${result:-SURVIVED}
  fi
  git apply -R "$patch"
  echo "| $name | $result |"
done
cmake --build "$build" -j2 >/dev/null 2>&1
