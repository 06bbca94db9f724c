#!/bin/sh
# Screenshots of the file menu, the tempo presets and a save in progress, taken
# under Xvfb (packages xvfb, x11-apps, xdotool, imagemagick) and cropped to the
# window. Run from the top of the tree after `make build`:
#   sh docs/make_feature_screenshots.sh
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
# The program keeps its settings beside itself when it can: the user's are put back.
for f in options.dat ekoto.ini; do if [ -f "$bin/$f" ]; then mv "$bin/$f" "$scratch/$f.kept"; fi; done

Xvfb :77 -screen 0 1024x768x24 >/dev/null 2>&1 & xvfb=$!
export DISPLAY=:77 EKOTO_SOUND_OUTPUT=null
sleep 2
i=0
while [ $i -lt 3000 ]; do
  printf '吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。\n' >> "$scratch/story.txt"
  i=$((i + 1))
done
cd "$scratch"
"$bin/ekoto" story.txt & ekoto=$!
sleep 4
wid=$(xdotool search --name '^Ekoto$' | head -1)
xdotool windowfocus "$wid" 2>/dev/null || true

shot() {  # name: the window's area of the screen, with the menus and dialogs open over it
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
  cp "$scratch/shot.png" "$top/docs/$1.png"
}
xdotool key alt+f; sleep 3; shot menu-file
xdotool key Escape; sleep 0.5
xdotool mousemove --window "$wid" 105 12 click 1; sleep 3; shot menu-run
xdotool key Escape; sleep 0.5
xdotool key alt+p; sleep 0.7; xdotool key t; sleep 3; shot menu-tempo
xdotool key Escape Escape; sleep 0.5
xdotool key ctrl+s; sleep 2; xdotool key Return; sleep 0.5; shot save-progress
xdotool key Escape; sleep 1
echo "docs/menu-file.png docs/menu-run.png docs/menu-tempo.png docs/save-progress.png"
