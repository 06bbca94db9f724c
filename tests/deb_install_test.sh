#!/bin/sh
# The Debian packages in a fresh Debian 12 root: debootstrap makes one, apt
# installs ekoto and speech-dispatcher-ekoto in it with every dependency from
# Debian's mirror, and then
#   - ekoto-say writes the reading of 今日は to a WAV file,
#   - a speech-dispatcher started in the root lists the module ekoto (spd-say -O)
#     and its voice,
#   - desktop-file-validate accepts the installed desktop entry,
#   - apt-get purge leaves no file of the two packages behind.
# Needs root and the network; takes some minutes. Not part of `make test`.
# Usage: sudo tests/deb_install_test.sh [DEB_DIR [ROOT]]
#   DEB_DIR: where `make deb` left the packages (build-deb); ROOT: an empty
#   folder for the new system (a temporary one, removed at the end, by default).
#   MIRROR=http://... picks another Debian mirror.
set -eu
export LC_ALL=C
debs=$(cd "${1:-build-deb}" && pwd)
root=${2:-}
mirror=${MIRROR:-http://deb.debian.org/debian}
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

[ "$(id -u)" = 0 ] || fail "run as root (debootstrap and chroot)"
command -v debootstrap >/dev/null || fail "debootstrap missing: apt-get install debootstrap"
set -- "$debs"/ekoto_*.deb "$debs"/speech-dispatcher-ekoto_*.deb
[ $# -eq 2 ] && [ -f "$1" ] && [ -f "$2" ] || fail "no single ekoto_*.deb and speech-dispatcher-ekoto_*.deb in $debs (make deb)"

if [ -n "$root" ]; then keep=1; else root=$(mktemp -d /var/tmp/ekoto-root.XXXXXX); keep=; fi
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  [ -n "$keep" ] || rm -rf "$root"
}
trap cleanup EXIT

step "debootstrap bookworm into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail -20 "$root.debootstrap.log"; fail "debootstrap failed"; }
rm -f "$root.debootstrap.log"
mount -t proc proc "$root/proc"
# No service starts from a package's scripts inside the root.
printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
mkdir -p "$root/tmp/debs"
cp "$debs"/ekoto_*.deb "$debs"/speech-dispatcher-ekoto_*.deb "$root/tmp/debs/"

# Runs a command in the root as root, with a clean environment.
inroot() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    XDG_RUNTIME_DIR=/run/user/0 DEBIAN_FRONTEND=noninteractive "$@"
}
# Every file of the root's system, for the before/after comparison (what apt,
# logs and temporary files change is not ours and is left out).
files() {
  inroot find / -xdev \( -path /proc -o -path /tmp -o -path /var/cache -o -path /var/lib/apt \
    -o -path /var/log -o -path /root -o -path /run \) -prune -o -print | sort
}

files > "$root.before"
used_before=$(du -sk --exclude=proc "$root" | cut -f1)

step "apt-get install ./ekoto_*.deb ./speech-dispatcher-ekoto_*.deb"
inroot apt-get update -q >/dev/null
inroot sh -c 'cd /tmp/debs && apt-get install -y -q ./ekoto_*.deb ./speech-dispatcher-ekoto_*.deb' \
  >"$root.apt.log" 2>&1 || { tail -30 "$root.apt.log"; fail "apt-get install failed"; }
grep -E '^(Need to get|After this operation|Setting up (ekoto|speech-dispatcher-ekoto) )' "$root.apt.log" || true
rm -f "$root.apt.log"
inroot dpkg-query -W -f '${Package} ${Version} ${db:Status-Abbrev}\n' ekoto speech-dispatcher-ekoto
used_after=$(du -sk --exclude=proc "$root" | cut -f1)

ours=$(inroot dpkg -L ekoto speech-dispatcher-ekoto | sort -u)
echo "$ours" | while read -r f; do [ -d "$root$f" ] || echo "$f"; done > "$root.ours"
step "installed size"
inroot dpkg-query -W -f '${Package}: Installed-Size ${Installed-Size} KiB\n' ekoto speech-dispatcher-ekoto
echo "du of the packages' $(wc -l < "$root.ours") files: $(cd "$root" && sed 's|^/||' "$root.ours" | xargs du -ck | tail -1 | cut -f1) KiB"
echo "the root grew by $((used_after - used_before)) KiB with the dependencies"

step "ekoto-say -o x.wav 今日は"
inroot sh -c 'cd /tmp && ekoto-say -o x.wav 今日は' || fail "ekoto-say failed"
wav=$root/tmp/x.wav
[ "$(head -c 4 "$wav")" = RIFF ] && [ "$(dd if="$wav" bs=1 skip=8 count=4 2>/dev/null)" = WAVE ] || fail "x.wav is not a WAV file"
size=$(wc -c < "$wav")
# Samples that are not all zero: the voice was found and played into the file.
sound=$(tail -c +45 "$wav" | tr -d '\000' | wc -c)
[ "$size" -gt 4844 ] && [ "$sound" -gt 0 ] || fail "x.wav holds no sound ($size bytes, $sound non-zero)"
echo "x.wav: $size bytes, $(inroot ekoto-say --kana 今日は)"
inroot ekoto-say --version

step "spd-say -O with a speech-dispatcher started in the root"
mkdir -p -m 700 "$root/run/user/0"
modules=$(inroot spd-say -O) || fail "spd-say -O failed"
echo "$modules" | tr '\n' ' '; echo
echo "$modules" | grep -qx ekoto || fail "spd-say -O does not list ekoto"
voices=$(inroot spd-say -o ekoto -L) || fail "spd-say -o ekoto -L failed"
echo "$voices" | grep -q 50on || fail "the module ekoto offers no voice 50on: $voices"
echo "ekoto's voices: $(echo "$voices" | tail -n +2 | tr '\n' ' ')"
# The server ends by itself 5 s after its last client; stop it now.
pid=$(cat "$root/run/user/0/speech-dispatcher/pid/speech-dispatcher.pid" 2>/dev/null || true)
if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi

step "desktop-file-validate /usr/share/applications/ekoto.desktop"
inroot apt-get install -y -q --no-install-recommends desktop-file-utils >/dev/null
inroot desktop-file-validate /usr/share/applications/ekoto.desktop || fail "the desktop entry does not validate"
echo "valid"

step "apt-get purge ekoto speech-dispatcher-ekoto"
inroot apt-get purge -y -q ekoto speech-dispatcher-ekoto | grep -E '^(Purging|Removing)'
# The packages' dependencies and desktop-file-utils stay installed; what they
# added is compared away only in the report below, never counted as ours.
files > "$root.after"
comm -13 "$root.before" "$root.after" > "$root.new"
left=$(comm -12 "$root.ours" "$root.new"; grep -i ekoto "$root.new" || true)
echo "files new since before the install: $(wc -l < "$root.new") (the dependencies'), of ours: $(echo "$left" | grep -c . || true)"
rm -f "$root.before" "$root.after" "$root.new" "$root.ours"
[ -z "$left" ] || fail "left behind after purge: $left"
inroot dpkg-query -W -f '${db:Status-Abbrev}\n' ekoto speech-dispatcher-ekoto 2>/dev/null | grep -q '^ii' &&
  fail "a package is still installed"
echo "deb install test passed"
