#!/usr/bin/env bash
# Intelligibility of the bundled voice read at one pitch against the same voice
# read with the pitch of its accent (ekoto-say --flat against ekoto-say), paired
# on the same sentences, with the syllable recogniser in ../shared/tools/asr.
# Usage: bench/pitch_intelligibility.sh [BIN_DIR] [meter options, e.g. --limit 8]
set -euo pipefail
bin=${1:-build/bin}
shift || true
meter=${EKOTO_ASR_METER:-../shared/tools/asr/intelligibility.sh}
[ -f "$meter" ] || meter=/work/shared/tools/asr/intelligibility.sh
[ -x "$bin/ekoto-say" ] || { echo "ekoto-say not found in $bin: build first" >&2; exit 1; }
bash "$meter" \
  --system one-pitch "$bin/ekoto-say --flat -o {wav} {text}" \
  --system accent "$bin/ekoto-say -o {wav} {text}" "$@"
