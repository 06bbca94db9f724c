#!/usr/bin/env bash
# Intelligibility of the bundled voice read at one pitch against the same voice
# read with a pitch contour (the accent estimator's plans when it is built in,
# else the stand-in pattern of bench_say_file), paired on the same sentences,
# with the syllable recogniser in ../shared/tools/asr.
# Usage: bench/pitch_intelligibility.sh [BIN_DIR] [meter options, e.g. --limit 8]
set -euo pipefail
bin=${1:-build/bin}
shift || true
meter=${EKOTO_ASR_METER:-../shared/tools/asr/intelligibility.sh}
[ -f "$meter" ] || meter=/work/shared/tools/asr/intelligibility.sh
for program in ekoto-say bench_say_file; do
  [ -x "$bin/$program" ] || { echo "$program not found in $bin: build first" >&2; exit 1; }
done
bash "$meter" \
  --system one-pitch "$bin/ekoto-say -o {wav} {text}" \
  --system contour "$bin/bench_say_file --wav {wav} {text}" "$@"
