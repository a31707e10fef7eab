#!/usr/bin/env bash
# Fails when codespell (Debian's) finds a misspelling in src/, tests/, docs/ or README.md.
# The texts the program shows or journals are byte-exact, misspellings included, and the
# journal has German lines: those words are listed in .codespell-ignore (lower case).
set -euo pipefail
SKARVEL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$SKARVEL_ROOT/scripts/setup.sh"
ensure_packages "${SKARVEL_CHECK_PACKAGES[@]}"
cd "$SKARVEL_ROOT"

# -q 3: no notes on binary files or on files that are not UTF-8 (the Latin-1 fixtures).
if ! codespell -q 3 --ignore-words .codespell-ignore src tests docs README.md; then
    echo "Misspellings found (see above). A deliberate word of a byte-exact text goes" \
        "into .codespell-ignore." >&2
    exit 1
fi
echo "Spelling: clean"
