#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (the fuzz preset) and runs each one
# for a bounded time, starting from its seed corpus. New inputs go to a scratch copy,
# never into the repository; an input that fails is kept in build/fuzz/findings/.
# Usage: scripts/fuzz.sh [seconds per target]     (60 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

bin=build/fuzz/bin
findings=$PWD/build/fuzz/findings  # absolute: a target may change its directory
mkdir -p "$findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for corpus in fuzz/*/corpus/*/; do
  target=$(basename "$corpus")
  mkdir -p "$scratch/$target"
  cp "$corpus"* "$scratch/$target/"
  echo "fuzz: $target for $seconds s"
  # Inputs stay small enough that one run covers many of them; a step may not hang.
  "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$scratch/$target" 2>"$scratch/$target.log" || {
    tail -n 60 "$scratch/$target.log" >&2
    echo "fuzz: $target failed; the input is in $findings/" >&2
    exit 1
  }
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$target.log")
  echo "fuzz: $target survived $execs executions in $seconds s"
done
