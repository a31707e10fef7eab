#!/usr/bin/env bash
# Builds the Debian package skarvel_<version>_amd64.deb into BUILD_DIR/deb and checks it:
# lintian (no errors), desktop-file-validate and appstreamcli (nothing to report), then runs
# the unpacked skarvel --version and bini --version.
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
