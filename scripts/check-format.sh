#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format-14 (Debian's, pinned) makes of
# it under .clang-format. To format the tree:
#   git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 -i
set -euo pipefail
SKARVEL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$SKARVEL_ROOT/scripts/setup.sh"
ensure_packages "${SKARVEL_CHECK_PACKAGES[@]}"
cd "$SKARVEL_ROOT"

if ! git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run --Werror; then
    echo "Formatting differs from .clang-format (see above)." >&2
    exit 1
fi
echo "Formatting: clean"
