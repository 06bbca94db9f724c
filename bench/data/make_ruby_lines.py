#!/usr/bin/env python3
"""Writes ruby_lines.tsv: lines with ruby and editors' notes from Aozora Bunko
works (public domain), each with the same line written out by hand rules:
every base replaced by its ruby, every note removed, a missing character's
note replaced by the character. Reads the works from a local clone of
aozorahack/aozorabunko_text (argument 1). The works of the last three authors
are held out: not looked at while the reading was tuned."""
import re
import subprocess
import sys

WORKS = [  # (card folder, file, title, author, card number)
    ("000879", "100_ruby_1154", "桃太郎", "芥川龍之介", 100),
    ("000148", "1046_ruby_4521", "カーライル博物館", "夏目漱石", 1046),
    ("000081", "1058_ruby_4709", "『春と修羅』", "宮沢賢治", 1058),
    ("000035", "1047_ruby_20129", "竹青", "太宰治", 1047),
    ("000129", "1054_ruby_23199", "護持院原の敵討", "森鴎外", 1054),
    ("000096", "1050_ruby_22260", "復讐", "夢野久作", 1050),
    ("000119", "1737_ruby_5656", "李陵", "中島敦", 1737),
    ("000154", "1609_ruby_5214", "狐の手帳", "田中貢太郎", 1609),
    ("000050", "1037_ruby_20650", "二、三羽――十二、三羽", "泉鏡花", 1037),
    ("000160", "1219_ruby_40382", "深夜の市長", "海野十三", 1219),
    ("001779", "56645_ruby_58194", "押絵と旅する男", "江戸川乱歩", 56645),
    ("000031", "228_ruby_21663", "セメント樽の中の手紙", "葉山嘉樹", 228),
]
HELD_OUT = 3
PER_WORK = 30

KANJI = r"[\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff々〆〇ヶ〻]"
KINDS = [KANJI, r"[\u3041-\u309f]", r"[\u30a1-\u30fa\u30fc-\u30ff]", r"[A-Za-zＡ-Ｚａ-ｚ]", r"[0-9０-９]"]


def missing_character(note):
    m = re.search(r"U\+([0-9A-Fa-f]{4,6})", note)
    if m:
        return chr(int(m.group(1), 16))
    m = re.search(r"(?<![0-9])([12])-(\d{1,2})-(\d{1,2})(?![0-9-])", note)
    if not m:
        return ""
    plane, row, cell = (int(g) for g in m.groups())
    raw = (b"\x8f" if plane == 2 else b"") + bytes([0xA0 + row, 0xA0 + cell])
    try:
        return raw.decode("euc_jis_2004")
    except UnicodeDecodeError:
        return ""


def plain(line):
    line = re.sub(r"※［＃([^］]*)］", lambda m: missing_character(m.group(1)), line)
    line = re.sub(r"［＃[^］]*］", "", line)
    line = re.sub(r"《《(.*?)》》", r"\1", line)
    line = re.sub(r"｜[^《｜]+《([^》]*)》", r"\1", line)
    for kind in KINDS:
        line = re.sub(kind + r"+《([^》]*)》", r"\1", line)
    return line


def main():
    repo = sys.argv[1]
    out = ["# Lines with ruby and editors' notes from Aozora Bunko (https://www.aozora.gr.jp/),",
           "# public domain in Japan, taken from aozorahack/aozorabunko_text by make_ruby_lines.py.",
           "# Columns: id, set (dev: tuned on; held: held out), the line as shown, the line written out.",
           "# Works (title, author, card):"]
    rows = []
    for n, (folder, name, title, author, card) in enumerate(WORKS):
        out.append(f"#   {title}, {author}, https://www.aozora.gr.jp/cards/{folder}/card{card}.html")
        raw = subprocess.run(["git", "-C", repo, "show", f"HEAD:cards/{folder}/files/{name}/{name}.txt"],
                             check=True, capture_output=True).stdout
        text = raw.decode("cp932").replace("\r\n", "\n")
        body = text.split("-------------------------------------------------------\n")[-1].split("\n底本：")[0]
        lines = [l for l in body.split("\n") if ("《" in l or "［＃" in l) and 4 < len(l) < 400 and "\t" not in l]
        step = max(1, len(lines) // PER_WORK)
        subset = "held" if n >= len(WORKS) - HELD_OUT else "dev"
        for k, line in enumerate(lines[::step][:PER_WORK]):
            rows.append(f"{card}-{k + 1}\t{subset}\t{line}\t{plain(line)}")
    sys.stdout.write("\n".join(out + rows) + "\n")


main()
