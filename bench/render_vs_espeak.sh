#!/usr/bin/env bash
# Offline rendering speed: seconds of audio made per second of CPU, for
# `ekoto-say -o` and for `espeak-ng -v ja -w` on the same ~100 KB Japanese text.
# Usage: bench/render_vs_espeak.sh [BIN_DIR]   (needs espeak-ng and sox installed)
set -euo pipefail
bin=${1:-build/bin}
data=${EKOTO_SENTENCES:-../shared/data/readings_dev.tsv}
[ -f "$data" ] || data=/work/shared/data/readings_dev.tsv
command -v espeak-ng >/dev/null || { echo "espeak-ng is not installed (apt-get install espeak-ng)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# About 100 KB of ordinary Japanese text from the sentence set.
while [ "$(stat -c %s "$work/text.txt" 2>/dev/null || echo 0)" -lt 100000 ]; do
  cut -f2 "$data" | tail -n +2 >> "$work/text.txt"
done
head -c 100000 "$work/text.txt" | { iconv -f UTF-8 -t UTF-8 -c 2>/dev/null || true; } > "$work/input.txt"
echo "text: $(stat -c %s "$work/input.txt") bytes"

# CPU seconds (user + system) of one command.
cpu_seconds() {
  /usr/bin/time -f "%U %S" -o "$work/time" "$@" > /dev/null 2>&1
  awk '{ print $1 + $2 }' "$work/time"
}

ekoto_cpu=$(cpu_seconds "$bin/ekoto-say" -f "$work/input.txt" -o "$work/ekoto.wav")
ekoto_audio=$(soxi -D "$work/ekoto.wav")
espeak_cpu=$(cpu_seconds espeak-ng -v ja -f "$work/input.txt" -w "$work/espeak.wav")
espeak_audio=$(soxi -D "$work/espeak.wav")

awk -v ea="$ekoto_audio" -v ec="$ekoto_cpu" -v sa="$espeak_audio" -v sc="$espeak_cpu" 'BEGIN {
  ec = (ec > 0 ? ec : 0.01); sc = (sc > 0 ? sc : 0.01)
  printf "ekoto-say -o:    %8.1f s of audio in %6.2f s CPU: %9.1f s audio per CPU second\n", ea, ec, ea / ec
  printf "espeak-ng -w:    %8.1f s of audio in %6.2f s CPU: %9.1f s audio per CPU second\n", sa, sc, sa / sc
  printf "ratio (goal >= 100x espeak-ng): %.1fx\n", (ea / ec) / (sa / sc)
}'
