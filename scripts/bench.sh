#!/usr/bin/env bash
# Builds the release preset and runs every benchmark, each table followed by its goal
# ratios, then repeats those ratio lines together at the end.
# Usage: scripts/bench.sh [--quick]     --quick: every benchmark once, briefly, to see
# that they all still run (CI); its figures mean nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=false
[[ ${1:-} == --quick ]] && quick=true

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
bin=build/release/bin

# Five repetitions each; the ratios take the medians.
timing=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
sound=()
if $quick; then
  timing=(--benchmark_min_time=0.001)
  sound=(--quick)
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
{
  echo "machine: $(nproc) cores,$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2); load average $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "== packet handling";  "$bin/packet_handling_bench" "${timing[@]}"
  echo "== periodic update";  "$bin/periodic_update_bench" "${timing[@]}"
  echo "== link";             "$bin/link_bench" "${timing[@]}"
  echo "== packet to sound";  "$bin/packet_to_sound_bench" "${sound[@]}"
  echo "== start-up";         "$bin/sound_bank_bench" "${timing[@]}"
  echo "== memory";           "$bin/resident_size" "$bin/soundmodule"
  echo "== mixing";           "$bin/mixing_bench" "${timing[@]}"
} 2>&1 | tee "$log"
echo
echo "== figures against their goals"
grep -E '^machine|goal' "$log"
