#!/bin/sh
# Every package `make deps` installs for building and testing is also a
# Build-Depends of the Debian source package (debian/control), so that a new
# dependency cannot be forgotten there. Compilers and the fuzzing toolchain
# come from build-essential or are not used by the package build.
# Usage: build_depends_test.sh SOURCE_DIR
set -eu
src=$1
packages=$(make --no-print-directory -C "$src" -pRrq -f Makefile : 2>/dev/null | sed -n 's/^PACKAGES := //p')
[ -n "$packages" ] || { echo "FAIL: no PACKAGES in $src/Makefile" >&2; exit 1; }
# The Build-Depends field with its continuation lines, one package name a line.
depends=$(sed -n '/^Build-Depends:/,/^[^ ]/p' "$src/debian/control" | sed '$!b; /^[^ ]/d' |
          sed 's/^Build-Depends://' | tr ',' '\n' | sed 's/[[(<].*//; s/ //g' | sed '/^$/d')
missing=
for p in $packages; do
  case $p in g++|make|clang|libclang-rt-*) continue ;; esac
  echo "$depends" | grep -qx -- "$p" || missing="$missing $p"
done
[ -z "$missing" ] || { echo "FAIL: in the Makefile's PACKAGES but not in debian/control's Build-Depends:$missing" >&2; exit 1; }
echo "build-depends test passed"
