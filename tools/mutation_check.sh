#!/usr/bin/env bash
# Mutation check of the test suite: applies each patch in tools/mutations/ in
# turn, builds, runs the two test programs until their first failure, restores
# the tree and prints a table row: the mutation and the first test that failed
# (or the test that crashed or hung), else SURVIVED.
# Usage: tools/mutation_check.sh [BUILD_DIR] [PATCH...]  (BUILD_DIR default build, configured)
set -u
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
patches=("$@")
[ ${#patches[@]} -gt 0 ] || patches=(tools/mutations/*.patch)
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT
# What the suite runs: the two test programs and the tools the tool tests call.
targets=(--target ekoto_tests ekoto_gui_tests options_saver ekoto-say ekoto-pa)

first_failure() {  # binary; prints the first failing test, or nothing when all pass
  # Twenty rounds of the options kill test instead of 200 keep each run short.
  if EKOTO_KILL_ROUNDS=20 QT_QPA_PLATFORM=offscreen timeout 900 "$1" --gtest_fail_fast >"$log/test" 2>&1; then return; fi
  local failed
  failed=$(grep -m1 -oE '^\[  FAILED  \] [^ ]+' "$log/test" | cut -c14-)
  [ -n "$failed" ] && { echo "$failed"; return; }
  echo "$(grep -E '^\[ RUN      \]' "$log/test" | tail -n1 | cut -c14-) (crashed or hung)"
}

cmake --build "$build" -j2 "${targets[@]}" >"$log/build" 2>&1 || { echo "the unchanged tree does not build"; exit 1; }
for binary in ekoto_tests ekoto_gui_tests; do
  failed=$(first_failure "$build/bin/$binary")
  [ -z "$failed" ] || { echo "the unchanged tree fails $failed: nothing to measure"; exit 1; }
done
echo "| mutation | killed by |"
echo "|---|---|"
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  if ! git apply "$patch" 2>/dev/null; then echo "| $name | (does not apply) |"; continue; fi
  if ! cmake --build "$build" -j2 "${targets[@]}" >"$log/build" 2>&1; then
    result="(does not build)"
  else
    # The core test program links no GUI code: a fault in the GUI cannot reach it.
    result=""
    grep -q -E '^\+\+\+ b/src/(ui|controls)/' "$patch" || result=$(first_failure "$build/bin/ekoto_tests")
    [ -n "$result" ] || result=$(first_failure "$build/bin/ekoto_gui_tests")
    result=${result:-SURVIVED}
  fi
  git apply -R "$patch"
  echo "| $name | $result |"
done
cmake --build "$build" -j2 "${targets[@]}" >/dev/null 2>&1
