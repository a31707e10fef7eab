#!/usr/bin/env bash
# Installs what is missing, builds Skarvel and starts the editor. When no game is found in
# the Wine prefix ($WINEPREFIX, else ~/.wine), it starts on a bundled demo game instead.
set -euo pipefail
SKARVEL_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$SKARVEL_ROOT/scripts/setup.sh"

ensure_packages "${SKARVEL_BUILD_PACKAGES[@]}"
BUILD_DIR=${SKARVEL_BUILD_DIR:-$SKARVEL_ROOT/build}
configure_and_build "$BUILD_DIR" -DSKARVEL_BUILD_BENCH=OFF

prefix=${WINEPREFIX:-$HOME/.wine}
if ! grep -qiF 'Microsoft Games\\Freelancer\\1.0' "$prefix/system.reg" 2>/dev/null; then
  demo="$SKARVEL_ROOT/demo/wine-prefix"
  echo "No Freelancer installation found in $prefix; starting on the demo game in $demo"
  "$SKARVEL_ROOT/tools/make-demo-prefix.sh" "$demo" "$BUILD_DIR/skarvel/bini"
  export WINEPREFIX=$demo
fi
exec "$BUILD_DIR/skarvel/skarvel"
