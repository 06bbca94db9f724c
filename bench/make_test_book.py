#!/usr/bin/env python3
"""Writes an EPUB 3 book for bench_open_book: about --kb kilobytes (UTF-8) of
body text in --chapters chapters, with a nav table of contents, an EPUB 2
toc.ncx and a ruby on every fourth sentence. The sentences are the project's
development set (column 2 of readings_dev.tsv), repeated; the ruby texts are
placeholders, since only the time to open the book is measured.

    bench/make_test_book.py build/bench_book.epub [--kb 500] [--chapters 40]
"""
import argparse
import html
import os
import re
import zipfile

DATA = [os.path.join(os.path.dirname(__file__), "../../shared/data/readings_dev.tsv"),
        "/work/shared/data/readings_dev.tsv"]


def sentences():
    for path in DATA:
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                rows = [line.split("\t") for line in f if not line.startswith(("#", "id\t"))]
            return [r[1] for r in rows if len(r) > 2]
    return ["今日は東京都の天気が良いので、公園を散歩しました。"]


def with_ruby(sentence):
    # The first run of kanji gets a ruby.
    return re.sub(r"([\u4e00-\u9fff]+)", r"<ruby>\1<rp>（</rp><rt>るび</rt><rp>）</rp></ruby>",
                  html.escape(sentence), count=1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--kb", type=int, default=500)
    parser.add_argument("--chapters", type=int, default=40)
    args = parser.parse_args()
    pool = sentences()
    per_chapter = args.kb * 1024 // args.chapters
    chapters, n = [], 0
    for c in range(args.chapters):
        paragraphs, size = [], 0
        while size < per_chapter:
            s = pool[n % len(pool)]
            paragraphs.append("<p>%s</p>" % (with_ruby(s) if n % 4 == 0 else html.escape(s)))
            size += len(s.encode("utf-8"))
            n += 1
        body = '<h1 id="h%d">第%d章</h1>\n%s' % (c + 1, c + 1, "\n".join(paragraphs))
        chapters.append(body)
    page = ('<?xml version="1.0" encoding="UTF-8"?>\n<html xmlns="http://www.w3.org/1999/xhtml" '
            'xmlns:epub="http://www.idpf.org/2007/ops"><head><title>%s</title></head><body>%s</body></html>')
    items = "".join('<item id="c%d" href="text/c%d.xhtml" media-type="application/xhtml+xml"/>' % (i, i)
                    for i in range(len(chapters)))
    spine = "".join('<itemref idref="c%d"/>' % i for i in range(len(chapters)))
    opf = ('<?xml version="1.0"?><package xmlns="http://www.idpf.org/2007/opf" version="3.0" unique-identifier="id">'
           '<metadata xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:identifier id="id">bench</dc:identifier>'
           '<dc:title>試験の本</dc:title><dc:language>ja</dc:language></metadata><manifest>'
           '<item id="nav" href="nav.xhtml" media-type="application/xhtml+xml" properties="nav"/>'
           '<item id="ncx" href="toc.ncx" media-type="application/x-dtbncx+xml"/>%s</manifest>'
           '<spine toc="ncx">%s</spine></package>') % (items, spine)
    nav = page % ("目次", '<nav epub:type="toc"><ol>%s</ol></nav>' % "".join(
        '<li><a href="text/c%d.xhtml#h%d">第%d章</a></li>' % (i, i + 1, i + 1) for i in range(len(chapters))))
    ncx = ('<ncx xmlns="http://www.daisy.org/z3986/2005/ncx/"><navMap>%s</navMap></ncx>' % "".join(
        '<navPoint id="p%d"><navLabel><text>第%d章</text></navLabel><content src="text/c%d.xhtml"/></navPoint>'
        % (i, i + 1, i) for i in range(len(chapters))))
    with zipfile.ZipFile(args.out, "w") as z:
        z.writestr("mimetype", "application/epub+zip", zipfile.ZIP_STORED)
        z.writestr("META-INF/container.xml",
                   '<?xml version="1.0"?><container xmlns="urn:oasis:names:tc:opendocument:xmlns:container">'
                   '<rootfiles><rootfile full-path="OEBPS/content.opf" '
                   'media-type="application/oebps-package+xml"/></rootfiles></container>', zipfile.ZIP_DEFLATED)
        z.writestr("OEBPS/content.opf", opf, zipfile.ZIP_DEFLATED)
        z.writestr("OEBPS/nav.xhtml", nav, zipfile.ZIP_DEFLATED)
        z.writestr("OEBPS/toc.ncx", ncx, zipfile.ZIP_DEFLATED)
        for i, body in enumerate(chapters):
            z.writestr("OEBPS/text/c%d.xhtml" % i, page % ("第%d章" % (i + 1), body), zipfile.ZIP_DEFLATED)


if __name__ == "__main__":
    main()
