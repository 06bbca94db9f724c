#!/bin/sh
# Retakes every screenshot in docs/ from the program as built: the main window
# reading, its menus, a save in progress, the about box, the options dialog and
# the voice list. In Japanese (LANG=ja_JP.UTF-8), under Xvfb, each cropped to its
# window, run from a copy in /tmp/ekoto so that no path of the build machine shows.
# Packages: xvfb x11-apps x11-utils xdotool imagemagick locales. When the system
# has no ja_JP.UTF-8 locale, it is compiled into a scratch folder with localedef
# from the locales package's data and used through LOCPATH (no root needed).
# Run from the top of the tree after `make build`:
#   sh docs/make_feature_screenshots.sh [display number, default 77]
set -eu
top=$(pwd)
display=":${1:-77}"
app=/tmp/ekoto
scratch=$(mktemp -d)
ekoto=; xvfb=
finish() {
  [ -n "$ekoto" ] && kill "$ekoto" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch" "$app"
}
trap finish EXIT

rm -rf "$app"
mkdir -p "$app/home"
cp "$top/build/bin/ekoto" "$top/build/bin/50on.pa" "$top/build/bin/templete.txt" "$app/"

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  mkdir -p "$scratch/locale"
  localedef -i ja_JP -c -f UTF-8 "$scratch/locale/ja_JP.UTF-8" || true
  export LOCPATH="$scratch/locale"
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 HOME="$app/home" XDG_CONFIG_HOME="$app/home/.config"
export DISPLAY="$display" EKOTO_SOUND_OUTPUT=null QT_QPA_PLATFORM=xcb
unset XDG_RUNTIME_DIR

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 & xvfb=$!
sleep 2

i=0
while [ $i -lt 3000 ]; do
  printf '吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。\n' >> "$app/home/story.txt"
  i=$((i + 1))
done

# start [VAR=value]: the program on a fresh settings folder, reading story.txt.
start() {
  [ -n "$ekoto" ] && kill "$ekoto" 2>/dev/null && wait "$ekoto" 2>/dev/null || true
  rm -f "$app/options.dat" "$app/ekoto.ini"
  (cd "$app/home" && exec env "$@" "$app/ekoto" story.txt >/dev/null 2>&1) & ekoto=$!
  sleep 4
  # No window manager gives the focus: the keys below go to the main window.
  xdotool windowfocus "$(xdotool search --name '^Ekoto$' | head -1)" 2>/dev/null || true
}

# shot NAME TITLE: the window named TITLE (a pattern), with the menus open over
# it. Windows are grabbed one by one (those drawn with 32 bits come out black in
# a grab of the 24-bit root), and each menu is laid over the window where it stands.
shot() {
  wid=$(xdotool search --onlyvisible --name "$2" | tail -1)
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  wx=$X; wy=$Y
  xwd -id "$wid" -silent | convert xwd:- "$scratch/shot.png"
  for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    info=$(xwininfo -id "$id" -all 2>/dev/null) || continue
    echo "$info" | grep -q 'IsViewable' || continue
    echo "$info" | grep -qi 'override redirect state: *yes' || continue
    px=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
    py=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
    xwd -id "$id" -silent | convert "$scratch/shot.png" xwd:- -geometry "+$((px - wx))+$((py - wy))" \
      -composite "$scratch/shot.png"
  done
  cp "$scratch/shot.png" "$top/docs/$1.png"
  echo "docs/$1.png"
}

main='^Ekoto$'
start
xdotool key F5; sleep 3; shot main-window "$main"
start
xdotool key alt+f; sleep 3; shot menu-file "$main"
xdotool key Escape; sleep 0.5
xdotool mousemove --window "$(xdotool search --name "$main" | head -1)" 105 12 click 1; sleep 3; shot menu-run "$main"
xdotool key Escape; sleep 0.5
xdotool key alt+p; sleep 0.7; xdotool key t; sleep 3; shot menu-tempo "$main"
xdotool key Escape Escape; sleep 0.5
xdotool key ctrl+s; sleep 2; xdotool key Return; sleep 1; shot save-progress '^音声ファイルに保存$'
xdotool key Escape; sleep 1
start EKOTO_SHOW=about; shot about '^バージョン情報$'
start EKOTO_SHOW=options; shot options-dialog '^オプション$'
start EKOTO_SHOW=voices; sleep 2; shot voice-list '^サポートされている声'
