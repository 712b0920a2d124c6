#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the protocol fuzz target with clang and runs it on a scratch copy of the seed corpus.
#   tests/fuzz/run-fuzz.sh [seconds]      (default 60)
#   FUZZ_BUILD_DIR=<dir>                   build directory (default build-fuzz)
# Exits non-zero on any finding; the input that caused it is kept under <dir>/fuzz-findings/.
# Each corpus file starts with one byte that picks where the rest is cut into two reads.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: $0 [seconds]  (a whole number above 0)" >&2
    exit 2
fi

fuzz_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(cd "$fuzz_dir/../.." && pwd)"
build_dir="${FUZZ_BUILD_DIR:-build-fuzz}"

generator=()
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    generator=(-G Ninja)
fi
CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" "${generator[@]}" \
    -DPAIRWICK_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j2 --target fuzz_protocol

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp -r "$fuzz_dir/corpus" "$scratch/corpus"
findings="$(cd "$build_dir" && pwd)/fuzz-findings"
mkdir -p "$findings"

status=0
"$build_dir/tests/fuzz/fuzz_protocol" "$scratch/corpus" \
    -dict="$fuzz_dir/protocol.dict" \
    -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" || status=$?

if [ "$status" -ne 0 ]; then
    echo "fuzz_protocol found a problem (exit $status); inputs kept in $findings" >&2
    exit "$status"
fi
echo "fuzz_protocol: no finding in ${seconds}s"
