#!/usr/bin/env python3
"""Regenerates data/50on.pa, the default voice, with Open JTalk and the HTS voice
tohoku-f01 kept beside this script.

Every unit is spoken inside a carrier phrase, so that it sounds like part of a
phrase rather than a word on its own, and cut out of it at the phoneme bounds
Open JTalk reports. Each cut is shifted to one common pitch (measured on its
vowel by autocorrelation), resampled, given one loudness, faded at both ends and
packed 16-bit by ekoto-pa.

Usage: tools/voice/make_default_voice.py [--ekoto-pa PATH] [--out FILE] [--carrier PRE,POST]
Needs: open-jtalk, open-jtalk-mecab-naist-jdic, sox (Debian packages).
"""
import argparse
import array
import math
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
HTSVOICE = os.path.join(HERE, "tohoku-f01-neutral.htsvoice")
DICTIONARY = "/var/lib/mecab/dic/open-jtalk/naist-jdic"

RATE = 24000            # half the voice's 48 kHz: an exact resampling, and all of a fricative's hiss
SOURCE_RATE = 48000
FADE_IN_MS = 3
FADE_OUT_MS = 8
# The program starts at volume x4.00, a gain of four: peaks stay under a quarter of
# full scale so the default volume never clips.
PEAK_LIMIT = 32767 // 4 - 256
VOWEL_RMS = 2600        # the loudness every unit's vowel is brought to
CARRIER = ("ソノ", "ト")  # the unit is spoken as the middle of "ソノ?ト"

# Unit name -> katakana spoken for it. Old kana are read as today (ゐ as い, ゑ as
# え); a small kana standing alone is read as its full-size kana (a small vowel
# continues the vowel before it); Latin capitals by their Japanese names.
def spoken_units():
    units = {}
    def kata(s):
        return "".join(chr(ord(c) + 0x60) if "ぁ" <= c <= "ゖ" else c for c in s)
    singles = ("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
               "がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ")
    for c in singles:
        units[c] = kata(c)
    units["を"] = "オ"
    units["ヴ"] = "ヴ"
    units["ゐ"] = "イ"
    units["ゑ"] = "エ"
    for small, full in zip("ぁぃぅぇぉゃゅょゎ", "アイウエオヤユヨワ"):
        units[small] = full
    for head in "きしちにひみりぎじぢびぴ":
        for y in "ゃゅょ":
            units[head + y] = kata(head + y)
    for u in ("てゃ", "てゅ", "てょ", "でゃ", "でゅ", "でょ", "ふゃ", "ふゅ", "ふょ"):
        units[u] = kata(u)
    letters = ("A エー B ビー C シー D ディー E イー F エフ G ジー H エイチ I アイ J ジェイ K ケイ L エル "
               "M エム N エヌ O オー P ピー Q キュー R アール S エス T ティー U ユー V ブイ W ダブリュー "
               "X エックス Y ワイ Z ゼット").split()
    for i in range(0, len(letters), 2):
        units[letters[i]] = letters[i + 1]
    return units

# Pauses, in milliseconds. っ is the held closure of a double consonant; ー after a
# voiced kana or another ー has no vowel to continue, so it is a short hold.
SILENCES = {"っ": 80, "ー": 100, "・": 80}
SILENCES.update({m: 150 for m in "、，､,"})
SILENCES.update({m: 300 for m in "。．｡.！？!?"})
SILENCES.update({m: 50 for m in "「」『』"})


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, **kw)


def synthesise(text, work):
    """Speaks text; returns (samples at 48 kHz, labels [(start, end, phoneme)])."""
    wav, trace = os.path.join(work, "s.wav"), os.path.join(work, "s.trace")
    run(["open_jtalk", "-x", DICTIONARY, "-m", HTSVOICE, "-ow", wav, "-ot", trace], input=text.encode("utf-8"))
    with wave.open(wav) as w:
        samples = array.array("h", w.readframes(w.getnframes()))
    labels = []
    in_labels = False
    with open(trace, encoding="utf-8", errors="replace") as f:
        for line in f:
            if line.startswith("[Output label]"):
                in_labels = True
            elif in_labels:
                parts = line.split()
                if len(parts) != 3:
                    break
                phoneme = parts[2].split("-", 1)[1].split("+", 1)[0]
                labels.append((int(parts[0]), int(parts[1]), phoneme))
    return samples, labels


def pitch(samples):
    """Median F0 in Hz of 48 kHz speech, by normalised autocorrelation of 30 ms
    windows at 16 kHz every 10 ms; 0 when nothing in it is voiced."""
    x = [(samples[i] + samples[i + 1] + samples[i + 2]) / 3 for i in range(0, len(samples) - 2, 3)]
    lo, hi, n = 16000 // 450, 16000 // 120, 480
    found = []
    for start in range(0, len(x) - n - hi, 160):
        w = x[start:start + n + hi]
        energy = sum(v * v for v in w[:n])
        if energy < n * 200 ** 2:
            continue
        def r(lag):
            return sum(w[i] * w[i + lag] for i in range(n)) / math.sqrt(energy * sum(v * v for v in w[lag:lag + n]) or 1)
        scores = [r(lag) for lag in range(lo, hi + 1)]
        k = max(range(len(scores)), key=scores.__getitem__)
        if scores[k] < 0.6 or k in (0, len(scores) - 1):
            continue
        a, b, c = scores[k - 1], scores[k], scores[k + 1]
        shift = 0.5 * (a - c) / (a - 2 * b + c) if a - 2 * b + c else 0.0
        found.append(16000 / (lo + k + shift))
    return statistics.median(found) if found else 0.0


def phonemes_of(text, work):
    _, labels = synthesise(text, work)
    return [p for _, _, p in labels if p not in ("sil", "pau")]


def cut_unit(kana, pre_phones, post_phones, work):
    """The unit's samples cut out of the carrier, its median F0 and the span of its last vowel."""
    pre, post = CARRIER
    samples, labels = synthesise(pre + kana + post, work)
    speech = [l for l in labels if l[2] not in ("sil", "pau")]
    body = speech[len(pre_phones):len(speech) - len(post_phones)]
    # The carrier must keep its own phonemes and the unit as many as it has alone
    # (ソノヘト reads へ as the particle "e"): otherwise the unit is spoken alone.
    alone = phonemes_of(kana, work)
    if len(body) != len(alone) or [p for _, _, p in speech[:len(pre_phones)]] != pre_phones:
        print(f"{kana}: spoken as {[p for _, _, p in body]} in the carrier, {alone} alone; using it alone")
        samples, labels = synthesise(kana, work)
        body = [l for l in labels if l[2] not in ("sil", "pau")]
    start, end = body[0][0], body[-1][1]
    to_sample = lambda t: t * SOURCE_RATE // 10_000_000
    vowel = (to_sample(body[-1][0] - start), to_sample(body[-1][1] - start))
    cut = samples[to_sample(start):to_sample(end)]
    return cut, pitch(cut[vowel[0]:vowel[1]]), vowel


def write_wav(path, samples, rate):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(array.array("h", samples).tobytes())


def read_wav(path):
    with wave.open(path) as w:
        return array.array("h", w.readframes(w.getnframes()))


def rms(samples):
    return math.sqrt(sum(s * s for s in samples) / len(samples)) if samples else 0.0


def finish(raw, cents, vowel, out, work):
    """Pitch shift and resample with sox, then level and fade."""
    src, dst = os.path.join(work, "cut.wav"), os.path.join(work, "shifted.wav")
    write_wav(src, raw, SOURCE_RATE)
    # Shifting by resampling (sox speed) changes the length with the pitch, by
    # about 12 % for two semitones, but adds no time-stretching artefacts; it
    # scored no worse than a length-keeping shift (sox pitch).
    effects = (["speed", f"{cents:.1f}c"] if abs(cents) >= 1 else []) + ["rate", "-v", str(RATE)]
    run(["sox", "-R", "-D", "--no-glob", src, "-b", "16", dst] + effects)
    s = read_wav(dst)
    stretch = 2 ** (-cents / 1200) if abs(cents) >= 1 else 1.0
    v0, v1 = (int(x * stretch * RATE / SOURCE_RATE) for x in vowel)
    level = rms(s[v0:v1]) or rms(s)
    gain = min(VOWEL_RMS / level, PEAK_LIMIT / max(1, max(abs(x) for x in s)))
    n_in, n_out = RATE * FADE_IN_MS // 1000, RATE * FADE_OUT_MS // 1000
    out_samples = []
    for i, x in enumerate(s):
        g = gain * min(1.0, (i + 1) / n_in, (len(s) - i) / n_out)
        out_samples.append(int(round(x * g)))
    write_wav(out, out_samples, RATE)
    return len(out_samples), gain


def main():
    global CARRIER
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--ekoto-pa", default=os.path.join(ROOT, "build", "bin", "ekoto-pa"))
    ap.add_argument("--out", default=os.path.join(ROOT, "data", "50on.pa"))
    ap.add_argument("--carrier", help="PRE,POST in katakana (default %s,%s)" % CARRIER)
    ap.add_argument("--no-pitch", action="store_true", help="leave every unit at its own pitch")
    ap.add_argument("--clips", help="keep the unit WAV files in this folder")
    args = ap.parse_args()
    if args.carrier is not None:
        CARRIER = tuple(args.carrier.split(",", 1))
    for tool in ("open_jtalk", "sox"):
        if shutil.which(tool) is None:
            sys.exit(f"{tool} is missing (apt-get install open-jtalk open-jtalk-mecab-naist-jdic sox)")
    if not os.access(args.ekoto_pa, os.X_OK):
        sys.exit(f"ekoto-pa not found at {args.ekoto_pa}: build it or pass --ekoto-pa")

    with tempfile.TemporaryDirectory() as work:
        clips = args.clips or os.path.join(work, "units")
        os.makedirs(clips, exist_ok=True)
        pre_phones = phonemes_of(CARRIER[0], work) if CARRIER[0] else []
        post_phones = phonemes_of(CARRIER[1], work) if CARRIER[1] else []
        cuts = {}
        for name, kana in spoken_units().items():
            cuts[name] = cut_unit(kana, pre_phones, post_phones, work)
        pitches = [f0 for _, f0, _ in cuts.values() if f0 > 0]
        target = statistics.median(pitches)
        lengths = {}
        for name, (raw, f0, vowel) in cuts.items():
            cents = 0.0 if args.no_pitch or f0 <= 0 else 1200 * math.log2(target / f0)
            lengths[name], _ = finish(raw, cents, vowel, os.path.join(clips, name + ".wav"), work)
        for name, ms in SILENCES.items():
            write_wav(os.path.join(clips, name + ".wav"), [0] * (RATE * ms // 1000), RATE)

        spread = statistics.pstdev(1200 * math.log2(p / target) for p in pitches)
        mean_ms = 1000 * statistics.mean(lengths.values()) / RATE
        print(f"units: {len(cuts)} spoken, {len(SILENCES)} silences at {RATE} Hz; average {mean_ms:.0f} ms;"
              f" pitch before shifting: median {target:.0f} Hz, spread {spread:.0f} cents")
        tmp = args.out + ".tmp"
        run([args.ekoto_pa, "build", tmp, clips, "--rate", str(RATE), "--bits", "16", "--cipher"])
        os.chmod(tmp, 0o644)
        os.replace(tmp, args.out)
    run([args.ekoto_pa, "check", args.out])


if __name__ == "__main__":
    main()
