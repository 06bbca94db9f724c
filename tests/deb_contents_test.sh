#!/bin/sh
# What the built packages hold: the programs, data and module, no test or
# benchmark program, and no path of the build tree inside any file (RPATH,
# __FILE__, debug paths; debug info goes to the -dbgsym packages).
# Usage: deb_contents_test.sh DEB_DIR BUILD_TREE
set -eu
debs=$1
tree=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
x=$(mktemp -d)
trap 'rm -rf "$x"' EXIT
for deb in "$debs"/ekoto_*.deb "$debs"/speech-dispatcher-ekoto_*.deb; do
  [ -f "$deb" ] || fail "$deb missing"
  dpkg-deb -x "$deb" "$x"
done
for f in usr/bin/ekoto usr/bin/ekoto-say usr/bin/ekoto-pa usr/bin/ekoto-score \
         usr/lib/speech-dispatcher-modules/sd_ekoto etc/speech-dispatcher/modules/ekoto.conf \
         usr/share/ekoto/50on.pa usr/share/ekoto/templete.txt usr/share/applications/ekoto.desktop \
         usr/share/metainfo/org.example.ekoto.metainfo.xml usr/share/man/man1/ekoto.1.gz; do
  [ -s "$x/$f" ] || fail "$f is not in the packages"
done
strays=$(find "$x" -type f \( -name '*test*' -o -name 'bench_*' -o -name 'fuzz_*' -o -name options_saver \))
[ -z "$strays" ] || fail "test or benchmark programs in the packages: $strays"
for f in $(find "$x" -type f); do
  if grep -q -F "$tree" "$f"; then fail "${f#"$x"} holds the build path $tree"; fi
  case $(head -c 4 "$f") in
    "$(printf '\177ELF')") ! readelf -d "$f" | grep -q -E 'RPATH|RUNPATH' || fail "${f#"$x"} has an RPATH" ;;
  esac
done
echo "deb contents test passed: $(find "$x" -type f | wc -l) files"
