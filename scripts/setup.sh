#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: installs the Debian packages the build needs.
# Usage: source scripts/setup.sh; ensure_packages pkg...
set -euo pipefail

SKARVEL_BUILD_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6test6
  libjpeg62-turbo-dev libcurl4-openssl-dev libssl-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
SKARVEL_TEST_PACKAGES=(python3 python3-pyftpdlib xvfb xauth)
# Building and checking the Debian package (.ci/run): cpack's dependency scan needs
# dpkg-shlibdeps (dpkg-dev) and file.
SKARVEL_PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream)
# The format and spelling checks of .ci/run (scripts/check-format.sh, check-spelling.sh).
SKARVEL_CHECK_PACKAGES=(clang-format-14 codespell)
# The SARIF Multitool of .ci/run comes from the npm registry (when no npm is there yet).
SKARVEL_SARIF_PACKAGES=(nodejs npm)

missing_packages() {
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      printf '%s\n' "$pkg"
    fi
  done
}

ensure_packages() {
  local missing
  missing=$(missing_packages "$@" | tr '\n' ' ')
  [ -z "${missing// /}" ] && return 0
  if [ "$(id -u)" = 0 ]; then
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing
  else
    echo "Missing packages. Run this once, then start again:"
    echo "  sudo apt-get install -y $missing"
    exit 1
  fi
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
  local dir=$1
  shift
  cmake -S "$SKARVEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}
