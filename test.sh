#!/usr/bin/env bash
# Installs what is missing, builds Skarvel and runs every test through CTest.
set -euo pipefail
SKARVEL_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$SKARVEL_ROOT/scripts/setup.sh"

ensure_packages "${SKARVEL_BUILD_PACKAGES[@]}" "${SKARVEL_TEST_PACKAGES[@]}"
BUILD_DIR=${SKARVEL_BUILD_DIR:-$SKARVEL_ROOT/build}
configure_and_build "$BUILD_DIR" "$@"
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
