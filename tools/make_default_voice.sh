#!/usr/bin/env bash
# Regenerates data/50on.pa, the default voice, from espeak-ng's Japanese voice:
# one clip per syllable unit, trimmed and normalised with sox, then packed by ekoto-pa.
# Usage: tools/make_default_voice.sh [path/to/ekoto-pa]
# Needs: espeak-ng, sox (Debian packages of the same names).
set -euo pipefail
export LC_ALL=C.UTF-8

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/data/50on.pa"

# Fixed synthesis settings: the output is the same on every run with the same espeak-ng.
readonly RATE=22050   # espeak-ng's own rate; 8-bit mono keeps the file near 1 MB
readonly SPEED=200    # words per minute: a mora lasts about 0.2 s
readonly PITCH=60     # about 100 Hz with the flattened range below
readonly EXPECTED_ESPEAK="1.51"

pa_tool=${1:-}
if [[ -z "$pa_tool" ]]; then
  for candidate in "$root/build/bin/ekoto-pa" "$root/build-voicefile/bin/ekoto-pa"; do
    if [[ -x "$candidate" ]]; then pa_tool=$candidate; break; fi
  done
fi
if [[ -z "$pa_tool" || ! -x "$pa_tool" ]]; then
  echo "ekoto-pa not found: build it (cmake --build build --target ekoto-pa) or pass its path" >&2
  exit 1
fi
for tool in espeak-ng sox soxi; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install espeak-ng sox)" >&2; exit 1; }
done
espeak_version=$(espeak-ng --version | sed -n 's/.*text-to-speech: \([^ ]*\).*/\1/p')
if [[ "$espeak_version" != "$EXPECTED_ESPEAK" ]]; then
  echo "warning: espeak-ng $espeak_version, the committed voice was made with $EXPECTED_ESPEAK" >&2
fi

work=$(mktemp -d)
tmp_out=""
trap 'rm -rf "$work"; [[ -z "$tmp_out" ]] || rm -f "$tmp_out"' EXIT
clips="$work/units"
mkdir "$clips"

# Speech is spoken with a flat pitch range so that units join without a
# rise or fall inside every syllable. Phoneme input ([[...]]) needs a blank
# before the closing tag or espeak-ng reads the tag aloud.
speak() {  # speak UNIT TEXT
  local unit=$1 text=$2
  espeak-ng -v ja -s "$SPEED" -p "$PITCH" -m -w "$work/raw.wav" \
    "<speak><prosody range=\"x-low\">$text </prosody></speak>"
  # espeak-ng pads with digital silence, so a low threshold trims it without
  # eating the quiet start of a consonant; the short fades avoid clicks at the joins.
  # The program starts at volume x4.00, a gain of four on every sample: clips peak
  # at a quarter of full scale so that the default volume plays them unclipped.
  sox -R -D --no-glob "$work/raw.wav" -c 1 -r "$RATE" -b 16 --no-glob "$clips/$unit.wav" \
    silence 1 0.002 0.1% reverse silence 1 0.002 0.1% fade q 0.008 reverse \
    fade q 0.002 norm -12.5
}

gap() {  # gap UNIT MILLISECONDS
  sox -R -D -n -c 1 -r "$RATE" -b 16 --no-glob "$clips/$1.wav" trim 0 "0.$(printf '%03d' "$2")"
}

# Plain kana, voiced and half-voiced kana. Unit names are stored in CP932, which
# has no ゔ, ゕ or ゖ: ゔ is recorded under its katakana name ヴ, which playback
# looks up for it.
for k in あ い う え お か き く け こ さ し す せ そ た ち つ て と な に ぬ ね の \
         は ひ ふ へ ほ ま み む め も や ゆ よ ら り る れ ろ わ を ん \
         が ぎ ぐ げ ご ざ じ ず ぜ ぞ だ ぢ づ で ど ば び ぶ べ ぼ ぱ ぴ ぷ ぺ ぽ; do
  speak "$k" "$k"
done
speak ヴ ヴ
# Old kana are read as today: ゐ as い, ゑ as え.
speak ゐ い
speak ゑ え
# Small kana standing alone: a small vowel continues the vowel before it
# (a long vowel), the others are read as their full-size kana.
speak ぁ あ; speak ぃ い; speak ぅ う; speak ぇ え; speak ぉ お
speak ゃ や; speak ゅ ゆ; speak ょ よ; speak ゎ わ

# Kana + small ゃゅょ. espeak-ng reads these right from kana except after り
# (it says "rjau" for りゅ), so those three are given as phonemes.
for k in き し ち に ひ み ぎ じ ぢ び ぴ; do
  for y in ゃ ゅ ょ; do speak "$k$y" "$k$y"; done
done
speak りゃ "[[r\`_j'a]]"; speak りゅ "[[r\`_j'u]]"; speak りょ "[[r\`_j'o]]"
# Loan-word and dialect combinations (テューバ, デュエット, フュージョン, でゃーこん...);
# espeak-ng says "tea" for てゃ, so all but てゅ でゅ are given as phonemes.
speak てゅ てゅ; speak でゅ でゅ
speak てゃ "[[t_j'a]]"; speak てょ "[[t_j'o]]"
speak でゃ "[[d_j'a]]"; speak でょ "[[d_j'o]]"
speak ふゃ "[[p\\_j'a]]"; speak ふゅ "[[p\\_j'u]]"; speak ふょ "[[p\\_j'o]]"

# Latin capitals by their Japanese letter names.
letters=(A エー B ビー C シー D ディー E イー F エフ G ジー H エイチ I アイ J ジェイ
         K ケイ L エル M エム N エヌ O オー P ピー Q キュー R アール S エス T ティー
         U ユー V ブイ W "[[d,abur\`_j'u:]]" X エックス Y ワイ Z ゼット)
for ((i = 0; i < ${#letters[@]}; i += 2)); do speak "${letters[i]}" "${letters[i + 1]}"; done

# Pauses. っ is the held closure of a double consonant; ー after a voiced kana
# cannot know its vowel, so it is a short hold of silence.
gap っ 80
gap ー 100
for m in 、 ， ､ ,; do gap "$m" 150; done
for m in 。 ． ｡ . ！ ？ ! ?; do gap "$m" 300; done
for m in 「 」 『 』; do gap "$m" 50; done
gap ・ 80

# Figures for the log, and a guard against clips that came out empty or far too
# short or long (a misread unit, or espeak-ng spelling out a character).
shopt -s nullglob dotglob
files=("$clips"/*.wav)
count=${#files[@]}
total=0; shortest=""; longest=""; min=999999999; max=0
while IFS= read -r f; do
  n=$(soxi -s "$f")
  unit=$(basename "$f" .wav)
  if ((n < RATE / 25 || n > RATE * 3 / 5)); then echo "clip for $unit lasts $n samples" >&2; exit 1; fi
  total=$((total + n))
  if ((n < min)); then min=$n; shortest=$unit; fi
  if ((n > max)); then max=$n; longest=$unit; fi
done < <(printf '%s\n' "${files[@]}" | sort)
ms() { echo $(($1 * 1000 / RATE)); }
echo "units: $count at $RATE Hz; average $(ms $((total / count))) ms;" \
     "shortest $shortest $(ms "$min") ms; longest $longest $(ms "$max") ms"

tmp_out=$(mktemp "$root/data/.50on.pa.XXXXXX")
"$pa_tool" build "$tmp_out" "$clips" --rate "$RATE" --cipher
chmod 644 "$tmp_out"
mv -f "$tmp_out" "$out"
tmp_out=""
echo "wrote $out ($(stat -c %s "$out") bytes, espeak-ng $espeak_version)"
"$pa_tool" check "$out"
