#!/bin/sh
# Installs the build into a scratch root (DESTDIR, prefix /usr) and runs the
# installed programs from another folder: they must find the bundled voice and
# template under share/ekoto, and the install manifest must list every file
# (uninstall uses it). A build configured with an absolute SYSCONFDIR (/etc,
# as the Debian package's is) installs under the scratch root too.
# Usage: install_test.sh BUILD_DIR
set -eu
build=$1
root=$(mktemp -d)
prefix=$root/usr
trap 'rm -rf "$root" "$root.found" "$root.listed"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Keep the manifest of a real `make install` intact.
manifest="$build/install_manifest.txt"
[ -f "$manifest" ] && cp "$manifest" "$root.manifest"
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
cp "$manifest" "$root/manifest"
if [ -f "$root.manifest" ]; then mv "$root.manifest" "$manifest"; else rm -f "$manifest"; fi

for f in bin/ekoto-say bin/ekoto-pa bin/ekoto-score share/ekoto/50on.pa share/ekoto/templete.txt \
         share/applications/ekoto.desktop share/icons/hicolor/scalable/apps/ekoto.svg \
         share/metainfo/org.example.ekoto.metainfo.xml; do
  [ -s "$prefix/$f" ] || fail "$f not installed"
done
for page in ekoto ekoto-say ekoto-pa ekoto-score; do
  [ -s "$prefix/share/man/man1/$page.1" ] || fail "manual page $page.1 not installed"
  ! grep -q @PROJECT_VERSION@ "$prefix/share/man/man1/$page.1" || fail "$page.1 has no version filled in"
done
[ -n "$(find "$root" -path '*/etc/speech-dispatcher/modules/ekoto.conf')" ] || fail "sd_ekoto's ekoto.conf not installed"
for size in 16 32 48 64 128 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/ekoto.png" ] || fail "${size}px icon not installed"
done
[ -x "$build/bin/ekoto" ] && { [ -x "$prefix/bin/ekoto" ] || fail "ekoto built but not installed"; }

cd "$prefix"
# The installed reader reads like the one in the build tree.
text="今日は東京都の天気が良い。3000円です。"
got=$(echo "$text" | "$prefix/bin/ekoto-say" --kana) || fail "installed ekoto-say --kana failed"
want=$(echo "$text" | "$build/bin/ekoto-say" --kana)
[ -n "$got" ] && [ "$got" = "$want" ] || fail "installed reading '$got', build tree '$want'"

# The bundled template is found under share/ekoto: without it USB stays letters.
with=$("$prefix/bin/ekoto-say" --kana USB)
without=$("$prefix/bin/ekoto-say" --kana --template /nonexistent USB 2>/dev/null || true)
[ "$with" != "$without" ] || fail "installed ekoto-say did not use share/ekoto/templete.txt ('$with')"

# The bundled voice is found: a WAV file of the reading is written.
"$prefix/bin/ekoto-say" -o "$prefix/out.wav" あいう || fail "installed ekoto-say found no voice"
[ "$(wc -c < "$prefix/out.wav")" -gt 44 ] || fail "empty WAV from the installed voice"
"$prefix/bin/ekoto-pa" list "$prefix/share/ekoto/50on.pa" | cut -f2 | grep -qx "あ" || fail "ekoto-pa list shows no あ"
# The speech-dispatcher module, one folder deeper, finds the voice under share/ekoto.
module=$(printf 'INIT\nQUIT\n' | "$prefix/lib/speech-dispatcher-modules/sd_ekoto") || fail "installed sd_ekoto failed"
case "$module" in *"299 OK LOADED SUCCESSFULLY"*) ;; *) fail "installed sd_ekoto did not load: $module" ;; esac
# Installed for one user only (no window beside it), the module reads the
# options.dat the window saves in the user's configuration folder; voices
# whose file names hold a tab or a newline are listed without them.
user=$(mktemp -d)
trap 'rm -rf "$prefix" "$prefix.found" "$prefix.listed" "$user"' EXIT
mkdir -p "$user/libexec/speech-dispatcher-modules" "$user/share/ekoto" "$user/voices" "$user/config/ekoto"
cp "$prefix/lib/speech-dispatcher-modules/sd_ekoto" "$user/libexec/speech-dispatcher-modules/"
cp "$prefix/share/ekoto/50on.pa" "$user/share/ekoto/"
for voice in other "a	b" "c
d"; do cp "$prefix/share/ekoto/50on.pa" "$user/voices/$voice.pa"; done
printf 'PAPath=%s\r\n' "$user/voices/other.pa" > "$user/config/ekoto/options.dat"
voices=$(printf 'INIT\nLIST VOICES\nQUIT\n' | XDG_CONFIG_HOME="$user/config" "$user/libexec/speech-dispatcher-modules/sd_ekoto")
[ "$(echo "$voices" | grep '^200-')" = "$(printf '200-other\tja\tnone\n200-a_b\tja\tnone\n200-c_d\tja\tnone\n200-50on\tja\tnone')" ] ||
  fail "the module did not list the user's voice first, or not each voice on a line of its own: $voices"

# The manifest names exactly the installed files (without DESTDIR).
rm -f "$prefix/out.wav"
# (The lists are kept outside the root, or they would list themselves.)
(cd "$root" && find . -type f ! -name manifest | sed 's|^\.||' | sort) > "$root.found"
sort "$root/manifest" > "$root.listed"
cmp -s "$root.found" "$root.listed" || { diff "$root.listed" "$root.found" >&2; fail "manifest differs from the installed files"; }
echo "install test passed"
