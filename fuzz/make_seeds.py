#!/usr/bin/env python3
"""Writes the small seed inputs in corpus/<target>/ (run from fuzz/). Files named
regression_* beside them are inputs that once failed, kept as they were found."""
import os
import struct


def put(target, name, data):
    os.makedirs(os.path.join("corpus", target), exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join("corpus", target, name), "wb") as f:
        f.write(data)


def pa(entries, count=None, cipher=0, table=23):
    count = len(entries) if count is None else count
    out = b"PA  " + bytes([1]) + struct.pack("<ihhiih", 22050, 8, 1, count, table, cipher)
    for name, sample in entries:
        raw = name.encode("cp932")
        out += struct.pack("<i", len(raw)) + raw + struct.pack("<i", len(sample)) + sample + b"\xee"
    return out


def utf16(text):
    return b"\xff" + text.encode("utf-16-le")


put("fuzz_decode_text", "utf8", "今日は東京都の天気が良い。3000円です。\n")
put("fuzz_decode_text", "cp932", "日本語のテキスト\r\n二行目、ｶﾀｶﾅ～①\r\n".encode("cp932"))
put("fuzz_decode_text", "bom", b"\xef\xbb\xbf" + "wave dash 〜 and é 😀".encode("utf-8"))
put("fuzz_decode_text", "mixed", "声源ファイル「50on.pa」、ｶﾀｶﾅ～①Ⅱⅲ㈱￢∵\r\n𠮷野家の😀と\ufeffBOM文字 é".encode("utf-8"))
put("fuzz_decode_text", "broken", b"\xe3\x81\x82\xe3\x81\xc3\x28\x82\xa0\xfd\xfe\xff\x80")

put("fuzz_split_by_chars", "marks", "今日は、いい天気。明日も,晴れ.でしょう")
put("fuzz_split_by_chars", "numbers", "1,500円と3.14、1,2,3。１，０００．５")
put("fuzz_split_by_chars", "long", "あ" * 120 + "。" + "い" * 60)
put("fuzz_split_by_chars", "surrogates", utf16("、。😀、") + b"\x00\xd8\x2c\x00")

put("fuzz_reading_notation", "ruby", "天地｜開闢《かいびゃく》の頃《ころ》おい、冷《ひ》いやり。《《強調》》")
put("fuzz_reading_notation", "notes", "※［＃「言＋墟のつくり」、第4水準2-88-74］《うそ》［＃「一」は中見出し］※［＃U+546D］")
put("fuzz_reading_notation", "aozora", ("題\r\n著者\r\n" + "-" * 55 + "\r\n【テキスト中に現れる記号について】\r\n" + "-" * 55
                                        + "\r\n［＃大見出し］一［＃大見出し終わり］\r\n思ふに、行つたのでせう。\r\n底本：「本」\r\n").encode("cp932"))
put("fuzz_reading_notation", "openers", "《" * 300 + "｜" * 300 + "※［＃「" * 100 + "漢《" * 100)
put("fuzz_reading_notation", "unclosed", "《《《｜｜※［＃［＃「」は大見出し" + "あ" * 60 + "《")

put("fuzz_split_syllables", "reading", "きょーわとーきょーとのてんきがよい。")
put("fuzz_split_syllables", "photo", "きょうはとーきょーでしゃしんをとりました。ぎゅーにゅー")
put("fuzz_split_syllables", "long", "ぎゅーにゅーでーたでぃーげーむゔぁーーゃょ")

put("fuzz_numeric", "yen", "3000円です。１２３４５個")
put("fuzz_numeric", "zeros", "0000 と 100000000 と 0")
put("fuzz_numeric", "long", "9" * 80 + "x" + "1" + "0" * 72)
put("fuzz_numeric", "counters", "2024年12月1日 午後4時30分 8歳 3人 1万2千人 20億円 1兆 10～20km 何時")
put("fuzz_numeric", "shapes", "1,500 ３．１４ 0.5% 090-1234-5678 1-2-3 3-1 2024/12/6 12:45:30 $5 ¥1,000 007 1.5万")

put("fuzz_crc4_hex", "hex", "0A1B2C3D4E5F")
put("fuzz_crc4_hex", "lower", "deadbeef00")
put("fuzz_crc4_hex", "odd", "ABC")

put("fuzz_options", "default", (
    "// \r\nVolume=4.00\r\nMute=false\r\nSpeed=1.00\r\nClipboard=false\r\nANNarrow=true\r\n"
    "AUpperCase=true\r\nNumeric=true\r\nPAPath=/opt/ekoto/50on.pa\r\n"
    "ConvTempletePath=/opt/ekoto/templete.txt\r\nWindowLeft=120\r\nWindowTop=90\r\n"
    "WindowWidth=640\r\nWindowHeight=480\r\nPlaybar=true\r\nVolumebar=true\r\nSpeedbar=true\r\n"
    "FontName=ＭＳ Ｐゴシック\r\nFontSize=10\r\nFontBold=false\r\nFontItalic=false\r\n"
    "FontStrikethrough=false\r\nFontUnderline=false\r\n").encode("cp932"))
put("fuzz_options", "odd", "volume = 1,5\nSPEED=-0.004\n//x=y\nWindowLeft=2147483648\nFontSize=12.5\n"
    "PAPath=/home/ユーザー/声 源/a=b.pa\rFontBold=True\n")

put("fuzz_templete", "table", "// readings\n東京都\tとうきょうと\r\nABC\tえーびーしー\nx\t\t\n\\X東京都とabcとＡＢＣ")
put("fuzz_templete", "fold", "ß\tす\nİ\tい\nﬀ\tえふ\n\\Xstraße İstanbul ﬀ SS")
put("fuzz_templete", "dictionary", "//@\tword\taccent=み[たか\tnote=市\n三鷹\tミタカ\r\n//@\n東京\tと[ーきょー\n"
    "とー\tトウ\n\\X三鷹市と東京")
put("fuzz_templete", "accent", "//@\taccent=み]たか\n三鷹\tみたか\n//@\taccent=み[たかえ]き\n三鷹駅\tみたかえき\n"
    "//@\taccent=は[し\n橋\tはし\n//@\taccent=ちゅ]うおう#せ[ん\n中央線\tちゅうおうせん\n"
    "\\X三鷹駅から三鷹へ、橋をはしる。端橋の中央線")

put("fuzz_pa_file", "two", pa([("い", b"\x01\x02\x03"), ("か", b"\x04\x05")]))
put("fuzz_pa_file", "cipher", pa([("きゃ", b"\x10" * 8), ("ー", b"")], cipher=1))
put("fuzz_pa_file", "huge_count", pa([("あ", b"\x00")], count=0x7FFFFFFF))
put("fuzz_pa_file", "gap", pa([("あ", b"\x07")], table=40)[:23] + b"\x00" * 17 + pa([("あ", b"\x07")])[23:])

# Tables that lie or break off, and lookups the readers must answer from the
# first entry of a name with a sample.
entry = lambda name, length, sample: struct.pack("<i", len(name)) + name + struct.pack("<i", length) + sample
put("fuzz_pa_file", "first_wins", pa([("か", b""), ("か", b"\x07\x08"), ("あ", b"\x02"), ("か", b"\x03\x03")]))
put("fuzz_pa_file", "undecodable_name",
    pa([("あ", b"\x02")], count=2)[:23] + entry(b"\x82\x20", 1, b"\x01\xee") + pa([("あ", b"\x02")])[23:])
put("fuzz_pa_file", "name_length_0", pa([("あ", b"\x01\x02")], count=3) + entry(b"", 1, b"\x05\x00"))
put("fuzz_pa_file", "sample_one_short", pa([], count=1) + entry("あ".encode("cp932"), 4, b"\x01\x02\x03"))
put("fuzz_pa_file", "sample_past_end", pa([("い", b"\x04")], count=2) + entry("あ".encode("cp932"), 0x7FFFFFFF, b"\x01"))
put("fuzz_pa_file", "negative_lengths", pa([("あ", b"\x01\x02")], count=3) + entry(b"\x82\xa2", -1, b"\x05\x00"))
put("fuzz_pa_file", "table_offset_negative", pa([("あ", b"\x09")], table=-1))

# Text decoding: UTF-16 with surrogates that do not pair; options of random bytes
# around one good line.
put("fuzz_decode_text", "utf16_lone_trail", b"\xff\xfe\x00\xdc\x41\x00")
put("fuzz_decode_text", "utf16_be_pair_then_lead", b"\xfe\xff\xd8\x3d\xde\x00\xd8\x00")
put("fuzz_decode_text", "utf16_two_leads", b"\xff\xfe\x00\xd8\x00\xd8\x00\xdc")
put("fuzz_options", "random_around_a_line", bytes((n * 167 + 13) % 256 for n in range(600)) + b"\r\nFontSize=37\r\n" +
    bytes((n * 89 + 7) % 256 for n in range(600)))

# sd_ekoto's input after INIT: messages, with commands coming during a reading.
SPEAK = "SPEAK\n<speak>あいう。<mark name=\"m\"/>かきく。さしす。</speak>\n.\n"
put("fuzz_sd_ekoto_protocol", "speak_marks", SPEAK + "QUIT\n")
put("fuzz_sd_ekoto_protocol", "pause_resume", SPEAK + "PAUSE\n" + SPEAK + "STOP\nQUIT\n")
put("fuzz_sd_ekoto_protocol", "resume_escaped",
    "SPEAK\n<speak>今日は。明日は。</speak>\n.\nPAUSE\nSPEAK\n<speak>&lt;speak&gt;今日は。明日は。</speak>\n.\n")
put("fuzz_sd_ekoto_protocol", "icon_during", SPEAK + "SOUND_ICON\nbell\n.\n")
put("fuzz_sd_ekoto_protocol", "three_speaks", SPEAK + "SPEAK\nあ\n.\nSPEAK\nい\n.\nSTOP\n")
put("fuzz_sd_ekoto_protocol", "settings", "SET\nrate=-50\npitch=20\nspelling_mode=on\n.\n" + SPEAK +
    "AUDIO\naudio_output_method=server\n.\nLOGLEVEL\nlog_level=3\n.\nLIST VOICES\nCHAR\n<\n.\nKEY\nshift_a\n.\n")
put("fuzz_sd_ekoto_protocol", "long_key", "KEY\n" + "a_" * 1000 + "a\n.\n")
put("fuzz_sd_ekoto_protocol", "dots", "SPEAK\n..leading\n.\nCHAR\nspace\n.\nSPEAK\n.\nHELLO\n" + "x" * 5000 + "\n")

put("fuzz_ssml", "marks", "<speak>今日は<mark name='a'/>晴れ<mark name=\"x&amp;y\"/>。<mark/></speak><mark name=\"end\"/>")
put("fuzz_ssml", "pauses", "<?xml version=\"1.0\"?><speak><p><s>一</s><s>二。</s></p><break time=\"1s\"/><p>三</p></speak>")
put("fuzz_ssml", "comment_cdata", "a<!-- x > y -->b<![CDATA[<c>&amp;]]><mark name=\"a>b\"/>")
put("fuzz_ssml", "references", "&lt;&gt;&amp;&quot;&apos;&#x3042;&#12356;&#x1F600; &#x0x41;&#+65; &unknown; & x")
put("fuzz_ssml", "broken", "<speak>a & b <unclosed mark name=\"q")
put("fuzz_ssml", "resumed", "<speak>&lt;speak&gt;今日は&amp;lt;良い&lt;mark name=&quot;m&quot;/&gt;天気。</speak>")
put("fuzz_ssml", "invalid_utf8", b"<speak>\xff\xfe\xe3\x81\x82<mark name=\"\xc3\x28\"/></speak>")

put("fuzz_number_reading", "counters", "2024年12月1日 午後4時30分 8歳 3人 1万2千人 20億円 1兆 10～20km")
put("fuzz_number_reading", "shapes", "1,500 ３．１４ 0.5% 090-1234-5678 1-2-3 2024/12/6 12:45:30 $5 ¥1,000 007 1.5万")
put("fuzz_number_reading", "odd", "1,234.5円 $1,299.99 1,000.5万円 3百 6百万 -5度 −5 ①番 ⑴ " + "9" * 80)

# Books: a tiny valid EPUB 3 (nav), an EPUB 2 (toc.ncx), and archives that try
# to climb out, lie or nest entities; HTML pages with ruby, charsets and headings.
import io
import zipfile


def epub(files, stored=False):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED) as z:
        for name, data in files:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED
            z.writestr(info, data)
    return out.getvalue()


CONTAINER = ('<?xml version="1.0"?><container xmlns="urn:oasis:names:tc:opendocument:xmlns:container"><rootfiles>'
             '<rootfile full-path="%s" media-type="application/oebps-package+xml"/></rootfiles></container>')
XHTML = ('<?xml version="1.0" encoding="UTF-8"?><html xmlns="http://www.w3.org/1999/xhtml" '
         'xmlns:epub="http://www.idpf.org/2007/ops"><head><title>t</title></head><body>%s</body></html>')
OPF3 = ('<package xmlns="http://www.idpf.org/2007/opf" version="3.0"><manifest>'
        '<item id="nav" href="nav.xhtml" media-type="application/xhtml+xml" properties="nav"/>'
        '<item id="c1" href="c1.xhtml" media-type="application/xhtml+xml"/>'
        '<item id="c2" href="%s" media-type="application/xhtml+xml"/></manifest>'
        '<spine><itemref idref="c1"/><itemref idref="c2"/></spine></package>')
NAV = XHTML % ('<nav epub:type="toc"><ol><li><a href="c1.xhtml">一</a></li>'
               '<li><a href="c2.xhtml#b">二</a></li></ol></nav>')
book3 = [("mimetype", "application/epub+zip"), ("META-INF/container.xml", CONTAINER % "OEBPS/book.opf"),
         ("OEBPS/book.opf", OPF3 % "c2.xhtml"), ("OEBPS/nav.xhtml", NAV),
         ("OEBPS/c1.xhtml", XHTML % "<h1>一</h1><p><ruby>冷<rp>(</rp><rt>ひ</rt><rp>)</rp></ruby>いやり。</p>"),
         ("OEBPS/c2.xhtml", XHTML % '<p>朝。</p><p id="b"><ruby><rb>東</rb><rb>京</rb><rt>とう</rt><rt>きょう</rt></ruby>へ。</p>')]
put("fuzz_epub", "epub3", epub(book3))
put("fuzz_epub", "epub3_stored", epub(book3, stored=True))
put("fuzz_epub", "epub2_ncx", epub([
    ("META-INF/container.xml", CONTAINER % "content.opf"),
    ("content.opf", '<package xmlns="http://www.idpf.org/2007/opf"><manifest>'
                    '<item id="ncx" href="toc.ncx" media-type="application/x-dtbncx+xml"/>'
                    '<item id="a" href="a.html" media-type="text/html"/></manifest>'
                    '<spine toc="ncx"><itemref idref="a"/><itemref idref="a" linear="no"/></spine></package>'),
    ("toc.ncx", '<ncx><navMap><navPoint><navLabel><text>章</text></navLabel><content src="a.html#x"/>'
                '<navPoint><navLabel><text>節</text></navLabel><content src="a.html"/></navPoint></navPoint></navMap></ncx>'),
    ("a.html", '<meta charset="Shift_JIS"><h2 id="x">' + "見出し" + '</h2><p>本文</p>')]))
put("fuzz_epub", "climbs_out", epub([("META-INF/container.xml", CONTAINER % "OEBPS/book.opf"),
                                     ("OEBPS/book.opf", OPF3 % "../../../etc/passwd"), ("OEBPS/c1.xhtml", XHTML % "x")]))
put("fuzz_epub", "entities", epub([
    ("META-INF/container.xml", CONTAINER % "a.opf"),
    ("a.opf", '<package><manifest><item id="c" href="c.xhtml" media-type="application/xhtml+xml"/></manifest>'
              '<spine><itemref idref="c"/></spine></package>'),
    ("c.xhtml", '<?xml version="1.0"?><!DOCTYPE html [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;">'
                '<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;">]><html><body><p>&c;&c;&c;</p></body></html>')]))
put("fuzz_epub", "zeros", epub([("META-INF/container.xml", CONTAINER % "a.opf"), ("a.opf", "0" * 200000)]))

put("fuzz_html_text", "ruby", "<p><ruby>漢<rt>かん</rt>字<rt>じ</rt></ruby>と<ruby><rb>東</rb><rp>（</rp><rt>とう</rt><rp>）</rp></ruby></p>")
put("fuzz_html_text", "blocks", "<html><head><title>x</title><style>p{}</style></head><body><h1>一</h1><div>a<br>b"
                                "<pre> c\n d</pre><h2><ruby>序<rt>じょ</rt></ruby></h2><ul><li>e</ul></body>")
put("fuzz_html_text", "sjis", b'<meta charset="Shift_JIS"><h3>' + "見出し～①".encode("cp932") + b"</h3>")
put("fuzz_html_text", "utf16", b"\xff\xfe" + "<p>青空</p>".encode("utf-16-le"))
put("fuzz_html_text", "unclosed", "<ruby><ruby><rt><h1><rtc><rt>x<rb>y" + "<div>" * 300 + "z")
