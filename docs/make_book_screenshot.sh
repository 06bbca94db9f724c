#!/bin/sh
# Screenshot of the 目次 menu with a small EPUB open (the opening chapters of
# Natsume Soseki's 吾輩は猫である, public domain), taken under Xvfb (packages
# xvfb, x11-apps, xdotool, imagemagick) and cropped to the window. Run from the
# top of the tree after `make build`:
#   sh docs/make_book_screenshot.sh
set -eu
top=$(pwd)
bin="$top/build/bin"
scratch=$(mktemp -d)
ekoto=; xvfb=
restore() {
  kill $ekoto $xvfb 2>/dev/null || true
  for f in options.dat ekoto.ini; do
    rm -f "$bin/$f"
    if [ -f "$scratch/$f.kept" ]; then mv "$scratch/$f.kept" "$bin/$f"; fi
  done
  rm -rf "$scratch"
}
trap restore EXIT
for f in options.dat ekoto.ini; do if [ -f "$bin/$f" ]; then mv "$bin/$f" "$scratch/$f.kept"; fi; done

python3 - "$scratch/neko.epub" <<'PY'
import sys, zipfile
page = ('<?xml version="1.0" encoding="UTF-8"?><html xmlns="http://www.w3.org/1999/xhtml" '
        'xmlns:epub="http://www.idpf.org/2007/ops"><head><title>t</title></head><body>%s</body></html>')
one = ('<h1>一</h1><p>吾輩は猫である。名前はまだ無い。</p><p>どこで生れたかとんと<ruby>見当<rt>けんとう</rt></ruby>がつかぬ。'
       '何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。</p>'
       '<p id="s">吾輩はここで始めて人間というものを見た。</p>')
two = ('<h1>二</h1><p>吾輩は新年来多少有名になったので、猫ながらちょっと鼻が高く感ぜらるるのはありがたい。</p>'
       '<p id="s">元朝早々主人の許へ一枚の絵端書が来た。</p>')
three = '<h1>三</h1><p>三毛子は死ぬ。黒は相手にならず、いささか寂寞の感はあるが、幸い人間に知己が出来たのでさほど退屈とも思わぬ。</p>'
nav = page % ('<nav epub:type="toc"><ol><li><a href="c1.xhtml">一</a><ol><li><a href="c1.xhtml#s">人間を見る</a></li></ol></li>'
              '<li><a href="c2.xhtml">二</a><ol><li><a href="c2.xhtml#s">絵端書</a></li></ol></li>'
              '<li><a href="c3.xhtml">三</a></li></ol></nav>')
opf = ('<package xmlns="http://www.idpf.org/2007/opf" version="3.0"><manifest>'
       '<item id="nav" href="nav.xhtml" media-type="application/xhtml+xml" properties="nav"/>'
       + "".join('<item id="c%d" href="c%d.xhtml" media-type="application/xhtml+xml"/>' % (i, i) for i in (1, 2, 3))
       + '</manifest><spine>' + "".join('<itemref idref="c%d"/>' % i for i in (1, 2, 3)) + '</spine></package>')
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("mimetype", "application/epub+zip")
    z.writestr("META-INF/container.xml", '<container xmlns="urn:oasis:names:tc:opendocument:xmlns:container"><rootfiles>'
               '<rootfile full-path="OEBPS/book.opf" media-type="application/oebps-package+xml"/></rootfiles></container>')
    z.writestr("OEBPS/book.opf", opf)
    z.writestr("OEBPS/nav.xhtml", nav)
    for i, body in ((1, one), (2, two), (3, three)):
        z.writestr("OEBPS/c%d.xhtml" % i, page % body)
PY

Xvfb :78 -screen 0 1024x768x24 >/dev/null 2>&1 & xvfb=$!
export DISPLAY=:78 EKOTO_SOUND_OUTPUT=null
sleep 2
cd "$scratch"
"$bin/ekoto" neko.epub & ekoto=$!
sleep 4
wid=$(xdotool search --name '^Ekoto$' | head -1)
xdotool windowfocus "$wid" 2>/dev/null || true
xdotool key alt+c; sleep 3
eval "$(xdotool getwindowgeometry --shell "$wid")"
wx=$X; wy=$Y
xwd -root -silent | ${CONVERT:-convert} xwd:- -crop "${WIDTH}x${HEIGHT}+$wx+$wy" +repage "$scratch/shot.png"
# Menus are drawn in 32-bit windows, which a grab of the 24-bit root leaves black:
# each is grabbed by itself and laid over the window where it stands.
for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
  info=$(xwininfo -id "$id")
  echo "$info" | grep -q 'IsViewable' || continue
  [ "$id" = "$(printf '0x%x' "$wid")" ] && continue
  px=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
  py=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
  xwd -id "$id" -silent | ${CONVERT:-convert} "$scratch/shot.png" xwd:- -geometry "+$((px - wx))+$((py - wy))" \
    -composite "$scratch/shot.png"
done
cp "$scratch/shot.png" "$top/docs/menu-chapters.png"
echo docs/menu-chapters.png
