#!/usr/bin/env python3
"""Learns the table of AccentJoinTable.cpp: where annotated speech joins or
splits accent phrases against the combination rules.

    tools/learn_accent_joins.py ANNOTATED.tsv EKOTO_SAY > rows.inc
    tools/learn_accent_joins.py --split ANNOTATED.tsv

--split writes the even-numbered data rows (0, 2, 4, ...; the ones rules and
table are tuned on) and the odd-numbered ones (held out) to even.tsv and
odd.tsv in a new folder under /tmp, with the header, and prints the folder;
ekoto-score --accent then measures each half.

EKOTO_SAY is an ekoto-say built with the table empty (kRows of size 0), so
that its plans are the rules' own; the rows printed replace kRows.

ANNOTATED.tsv has the columns id, text, reading, accent (the notation of
ekoto-say --accent). Every sentence is analysed with MeCab and Open JTalk's
NAIST dictionary as the program does; where the morae of its words, of the
annotation and of the program's own plan (ekoto-say --accent) agree in number,
every pair of neighbouring words gives one example: does the annotation start
a phrase between them, and does the program? Examples are grouped by the two
words' classes, first finely (part of speech, subclass, and the word itself
for particles and auxiliaries), then coarsely (part of speech and subclass).
Each key also says whether the program's phrase so far has its nucleus and
whether the word itself is accented. A group becomes a row when deciding it
one way for all its examples is right at least MIN_GAIN times more often than
the rules are, and right in at least MIN_SHARE of them; coarser groups count
only examples no finer row covers. The thresholds were chosen by learning on
half of the even-numbered sentences and scoring the other half (the
environment variables MIN_GAIN and MIN_SHARE override them for such trials).
"""
import os
import subprocess
import sys
import tempfile
from collections import defaultdict

DIC = "/var/lib/mecab/dic/open-jtalk/naist-jdic"
MIN_GAIN = int(os.environ.get("MIN_GAIN", 3))
MIN_SHARE = float(os.environ.get("MIN_SHARE", 0.6))
SMALL = set("ゃゅょぁぃぅぇぉゎ")
MARKS = set("^$#_[]?")


def hiragana(s):
    return "".join(chr(ord(c) - 0x60) if "ァ" <= c <= "ヶ" else c for c in s)


def is_kana(c):
    return "ぁ" <= c <= "ゖ" or "ァ" <= c <= "ヺ" or c == "ー"


def morae(kana):
    out, joinable = [], False
    for c in kana:
        if not is_kana(c):
            joinable = False
            continue
        if c in SMALL and joinable:
            out[-1] += c
            continue
        out.append(c)
        joinable = c not in "ーっん"
    return out


def phrase_starts(notation):
    """Mora positions where a phrase starts (after # or _), the mora count, and
    for every mora whether its phrase has fallen by its end."""
    starts, n, pending, fallen, has_fallen = set(), 0, False, [], False
    for c in notation:
        if c in "#_":
            pending, has_fallen = True, False
        elif c == "]" and fallen:
            has_fallen = fallen[-1] = True
        elif c in MARKS:
            continue
        elif is_kana(c):
            if c in SMALL and n > 0:
                continue
            if pending:
                starts.add(n)
                pending = False
            n += 1
            fallen.append(has_fallen)
    return starts, n, fallen


def analyse(texts):
    with tempfile.TemporaryDirectory() as scratch:
        for f in ("sys.dic", "matrix.bin", "char.bin", "unk.dic"):
            os.symlink(os.path.join(DIC, f), os.path.join(scratch, f))
        with open(os.path.join(scratch, "dicrc"), "w") as rc:
            rc.write("bos-feature = BOS/EOS,*,*,*,*,*,*,*,*,*,*\n")
        out = subprocess.run(["mecab", "-d", scratch, "-F", "%m\t%H\n"], input="\n".join(texts) + "\n",
                             capture_output=True, text=True, check=True).stdout
    sentences, words = [], []
    for line in out.splitlines():
        if line == "EOS":
            sentences.append(words)
            words = []
            continue
        surface, _, feature = line.partition("\t")
        f = feature.split(",")
        if len(f) < 11:
            pron = "" if f[0] == "記号" else hiragana(surface)
            words.append({"surface": surface, "pos": f[0], "sub1": f[1] if len(f) > 1 else "*",
                          "morae": len(morae(pron)), "flat": True, "separate": False})
            continue
        accents = f[9].split(":")
        for i, p in enumerate(f[8].split(":")):
            words.append({"surface": surface, "pos": f[0], "sub1": f[1], "morae": len(morae(hiragana(p))),
                          "flat": i >= len(accents) or accents[i].split("/")[0] in ("0", "*"), "separate": i > 0})
    return sentences


def word_key(w, fine):
    key = w["pos"] + "," + w["sub1"]
    if fine and w["pos"] in ("助詞", "助動詞"):
        key += "," + w["surface"]
    return key


def split_rows(path):
    lines = open(path, encoding="utf-8").read().splitlines()
    folder = tempfile.mkdtemp(prefix="accent-split-")
    for name, parity in (("even.tsv", 0), ("odd.tsv", 1)):
        with open(os.path.join(folder, name), "w", encoding="utf-8") as out:
            out.write("\n".join([lines[0]] + lines[1 + parity::2]) + "\n")
    print(folder)


def main():
    if sys.argv[1] == "--split":
        split_rows(sys.argv[2])
        return
    rows = [l.rstrip("\n").split("\t") for l in open(sys.argv[1], encoding="utf-8")][1:]
    say = sys.argv[2]
    texts = [r[1] for r in rows]
    plans = subprocess.run([say, "--accent"], input="\n".join(texts) + "\n", capture_output=True, text=True,
                           check=True).stdout.splitlines()
    examples = []  # (keys from finest to coarsest, annotated start, program's start)
    for row, words, plan in zip(rows, analyse(texts), plans):
        ref_starts, n_ref, _ = phrase_starts(row[3])
        own_starts, n_own, own_fallen = phrase_starts(plan)
        if n_ref != sum(w["morae"] for w in words) or n_ref != n_own:
            continue
        pos, prev, symbol_between = 0, None, False
        for w in words:
            if w["morae"] == 0:
                symbol_between = True
                continue
            if prev and not symbol_between and not w["separate"]:
                state = ("1" if own_fallen[pos - 1] else "0", "0" if w["flat"] else "1")
                fine, coarse = (word_key(prev, True), word_key(w, True)), (word_key(prev, False), word_key(w, False))
                examples.append((fine + state, fine + ("*", "*"), coarse + state, coarse + ("*", "*"),
                                 pos in ref_starts, pos in own_starts))
            prev, symbol_between = w, False
            pos += w["morae"]
    table = []
    covered = set()
    for level in range(4):
        groups = defaultdict(list)
        for i, e in enumerate(examples):
            if level == 0 or i not in covered:
                groups[e[level]].append((i, e))
        for key, group in sorted(groups.items()):
            starts = sum(1 for _, e in group if e[4])
            rules_right = sum(1 for _, e in group if e[4] == e[5])
            decide_start = starts * 2 > len(group)
            right = starts if decide_start else len(group) - starts
            if right - rules_right >= MIN_GAIN and right >= MIN_SHARE * len(group):
                table.append((key, decide_start, len(group), rules_right, right))
                covered.update(i for i, _ in group)
    for (prev, word, fallen, accented), decide_start, n, rules_right, right in table:
        print('    JoinRow{u"%s", u"%s", u\'%s\', u\'%s\', %s},  // %d pairs: rules %d right, row %d' %
              (prev, word, fallen, accented, "false" if decide_start else "true", n, rules_right, right))


if __name__ == "__main__":
    main()
