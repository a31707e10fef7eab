#!/bin/sh
# Builds the fuzz targets with clang in BUILD_DIR and runs each for SECONDS.
#   tests/fuzz/run-fuzzers.sh build-fuzz 30
# The corpus grows in BUILD_DIR/fuzz-corpus; inputs that crash land in BUILD_DIR/fuzz-crashes.
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR SECONDS" >&2
    exit 2
fi
build_dir=$1
seconds=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKARVEL_BUILD_GUI=OFF -DSKARVEL_BUILD_BENCH=OFF
# The core and the converter too: the clang build must stay free of warnings.
cmake --build "$build_dir" -j2 --target skarvel_core bini fuzz_ini_parser fuzz_bini_reader \
    fuzz_pe_strings

programs="$build_dir/skarvel"
corpus="$build_dir/fuzz-corpus"
crashes="$build_dir/fuzz-crashes"
mkdir -p "$corpus/ini" "$corpus/bini" "$corpus/pe" "$crashes"

# Seeds: the settings-file fixtures, and their BINI forms made by the converter itself.
for input in "$source_dir"/tests/data/ini/*/input.ini; do
    name=$(basename "$(dirname "$input")")
    "$programs/bini" -t "$input" "$corpus/bini/$name.bini" 2>/dev/null || true
done

run() {
    target=$1
    shift
    echo "== $target: $seconds s"
    "$programs/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$crashes/$target-" "$@"
}

run fuzz_ini_parser "$corpus/ini" "$source_dir/tests/data/ini"
run fuzz_bini_reader "$corpus/bini"
run fuzz_pe_strings "$corpus/pe" # seeds itself with a small DLL
