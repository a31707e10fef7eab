#!/usr/bin/env bash
# Builds the Debian package skarvel_<version>_amd64.deb into BUILD_DIR/deb and checks it:
# lintian (no errors), desktop-file-validate and appstreamcli (nothing to report), then runs
# the unpacked skarvel --version and bini --version, and skarvel --demo in a fresh home.
# Usage: scripts/package.sh [BUILD_DIR [cmake options...]]   (BUILD_DIR defaults to build/)
set -euo pipefail
SKARVEL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$SKARVEL_ROOT/scripts/setup.sh"

ensure_packages "${SKARVEL_BUILD_PACKAGES[@]}" "${SKARVEL_PACKAGE_PACKAGES[@]}"
build=${1:-$SKARVEL_ROOT/build}
shift || true
configure_and_build "$build" "$@"

out="$build/deb"
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
debs=("$out"/skarvel_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "no package in $out" >&2; exit 1; }
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

echo "== lintian"
lintian --fail-on error "$deb"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg -x "$deb" "$unpacked"

echo "== desktop-file-validate"
report=$(desktop-file-validate "$unpacked/usr/share/applications/org.skarvel.Skarvel.desktop" 2>&1)
[ -z "$report" ] || { echo "$report" >&2; exit 1; }

echo "== appstreamcli validate"
appstreamcli validate --no-net --strict "$unpacked/usr/share/metainfo/org.skarvel.Skarvel.metainfo.xml"

echo "== the unpacked programs"
"$unpacked/usr/bin/skarvel" --version
"$unpacked/usr/lib/skarvel/bini" --version

echo "== skarvel --demo in a fresh home"
# The package holds the demo game as data; the unpacked program lays it out and finds it.
listing=$(dpkg -c "$deb")
grep -q '^-rw-r--r-- .* \./usr/share/skarvel/demo-game/DATA/SHIPS/shiparch\.ini$' <<<"$listing" ||
  { echo "the demo game is not in the package as data" >&2; exit 1; }
home="$unpacked/home"
mkdir -p "$home/.config/Skarvel" "$home/runtime"
chmod 700 "$home/runtime"
# No question at the start: the window stands once the start-up has looked for the game.
printf '[General]\nSecurityDialogs=0\nCheckNewVersion=0\n' >"$home/.config/Skarvel/Skarvel.conf"
env -i HOME="$home" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
  "$unpacked/usr/bin/skarvel" --demo >/dev/null 2>&1 &
demo_pid=$!
game="$home/.local/share/Skarvel/demo/drive_c/Games/Freelancer"
found=no
for _ in $(seq 100); do
  if grep -qsF "Freelancer InstallDir = $game/" "$unpacked"/usr/lib/skarvel/DebugOut_*.mjf; then
    found=yes
    break
  fi
  sleep 0.2
done
kill "$demo_pid" 2>/dev/null || true
wait "$demo_pid" || true
[ "$(head -c 4 "$game/DATA/EQUIPMENT/misc_equip.ini" 2>/dev/null)" = BINI ] ||
  { echo "skarvel --demo laid out no demo game in $game" >&2; exit 1; }
[ "$found" = yes ] || { echo "skarvel --demo did not start on the demo game" >&2; exit 1; }
echo "demo game laid out and found in $game"
