#!/usr/bin/env bash
# Lays out a Wine prefix that holds the Skarvel demo game, so the editor can be tried
# without an installed game:
#
#   PREFIX/system.reg                        the game's key with AppPath C:\Games\Freelancer
#   PREFIX/dosdevices/c: -> ../drive_c
#   PREFIX/drive_c/Games/Freelancer/DATA/... a fresh copy of resources/demo-game
#
# misc_equip.ini is stored as text in the repository and converted to the game's compressed
# (BINI) form here, so the editor's first open has a file to unpack.
#
# Usage: tools/make-demo-prefix.sh PREFIX BINI_PATH
# An existing prefix keeps its own files: only a demo game laid out by this script earlier
# is replaced, and an existing system.reg is never rewritten.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 PREFIX BINI_PATH" >&2
  exit 2
fi
prefix=$1
bini=$2
root=$(cd "$(dirname "$0")/.." && pwd)
source="$root/resources/demo-game"
marker=.skarvel-demo-game

if [ ! -x "$bini" ]; then
  echo "$0: the converter $bini is missing; build it first" >&2
  exit 1
fi

games="$prefix/drive_c/Games"
game="$games/Freelancer"
if [ -e "$game" ] && [ ! -e "$game/$marker" ]; then
  echo "$0: $game exists and is not the demo game; it is left as it is" >&2
  exit 1
fi

mkdir -p "$games" "$prefix/dosdevices"
if [ ! -e "$prefix/dosdevices/c:" ] && [ ! -L "$prefix/dosdevices/c:" ]; then
  ln -s ../drive_c "$prefix/dosdevices/c:"
fi

if [ ! -e "$prefix/system.reg" ]; then
  cat > "$prefix/system.reg.new" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Software\\Microsoft\\Microsoft Games\\Freelancer\\1.0] 1717171717
#time=1dab3b1c2d3e4f0
"AppPath"="C:\\Games\\Freelancer"
REG
  mv "$prefix/system.reg.new" "$prefix/system.reg"
elif ! grep -qiF 'Microsoft Games\\Freelancer\\1.0]' "$prefix/system.reg"; then
  echo "$0: $prefix/system.reg has no Freelancer key and is left as it is;" \
       "set the game folder $game/ on the Options page" >&2
fi

# The new copy is made beside the old one and swapped in whole.
staging=$(mktemp -d "$games/.Freelancer.XXXXXX")
trap 'rm -rf "$staging"' EXIT
cp -R "$source/DATA" "$staging/DATA"
chmod 755 "$staging"
touch "$staging/$marker"
# Two files compressed, as the game ships them: the editor unpacks one, the trade calculator
# reads the other in memory.
for compressed in misc_equip.ini market_commodities.ini; do
  file="$staging/DATA/EQUIPMENT/$compressed"
  "$bini" -t "$file" "$file.bini"
  mv -f "$file.bini" "$file"
done

rm -rf "$game"
mv "$staging" "$game"
trap - EXIT
echo "Demo game laid out in $game"
