#!/usr/bin/env bash
# Intelligibility of the bundled voice against the espeak-made voice it replaced,
# paired on the same sentences, with the syllable recogniser in ../shared/tools/asr.
# Usage: bench/voice_intelligibility.sh [BIN_DIR] [meter options, e.g. --limit 8]
# Default: the meter's 43 sentences (a few minutes on 2 cores).
set -euo pipefail
bin=${1:-build/bin}
shift || true
meter=${EKOTO_ASR_METER:-../shared/tools/asr/intelligibility.sh}
[ -f "$meter" ] || meter=/work/shared/tools/asr/intelligibility.sh
[ -x "$bin/ekoto-say" ] || { echo "ekoto-say not found in $bin: build first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The espeak-made voice as it was last committed.
git show d544ea7:data/50on.pa > "$work/espeak.pa"
bash "$meter" \
  --system espeak-units "$bin/ekoto-say --voice $work/espeak.pa -o {wav} {text}" \
  --system tohoku-units "$bin/ekoto-say --voice $bin/50on.pa -o {wav} {text}" "$@"
