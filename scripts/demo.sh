#!/usr/bin/env bash
# Runs the module on the built-in default: the Console Client simulator with its demo
# flight (about three minutes), and a freshly generated sound pack, in build/demo.
# With a display and a sound device it shows the dialog and plays through the speakers;
# without them it runs headless and records the mix, the sound trace, the log and a
# picture of the flight. Extra arguments go to soundmodule (for example --headless).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
port=2400

say() { echo "demo: $*" >&2; }

# The Console Client's link is UDP (DirectPlay 8); the tools' stand-in is TCP. Either holds it.
port_taken() { [ -n "$(ss -Hlnut "sport = :$port" 2>/dev/null)" ]; }

if port_taken; then
  say "port $port on 127.0.0.1 is already taken (another Console Client or console-sim?);"
  say "stop that program and run the demo again."
  exit 1
fi

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target soundmodule console-sim make-sound-pack flight-picture

bin=$root/build/release/bin
demo=$root/build/demo
mkdir -p "$demo"
"$bin/make-sound-pack" "$demo"
rm -f "$demo/demo.wav" "$demo/demo.png" "$demo/log.txt" "$demo/trace.jsonl"

args=("$@")
headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  headless=1
fi
[[ " $* " == *" --headless "* ]] && headless=1
[ "$headless" = 1 ] && [[ " $* " != *" --headless "* ]] && args+=(--headless)

# Without a sound server or sound card the device cannot be opened: record instead.
runtime=${XDG_RUNTIME_DIR:-/run/user/$(id -u)}
if [ ! -e /dev/snd ] && [ ! -S "$runtime/pulse/native" ] && [ ! -S "$runtime/pipewire-0" ] \
    && [ -z "${PULSE_SERVER:-}" ] && [[ " $* " != *" --audio-out "* ]]; then
  say "no sound device found; the mix is recorded to $demo/demo.wav"
  args+=(--audio-out "$demo/demo.wav")
fi
[[ " $* " != *" --trace "* ]] && args+=(--trace "$demo/trace.jsonl")

sim=""
module=""
cleanup() {
  trap - EXIT INT TERM
  for pid in $module $sim; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'say "interrupted"; exit 130' INT TERM

"$bin/console-sim" >"$demo/console-sim.log" 2>&1 &
sim=$!
for _ in $(seq 100); do
  grep -q "^Listening on" "$demo/console-sim.log" && break
  kill -0 "$sim" 2>/dev/null || { say "console-sim did not start:"; cat "$demo/console-sim.log" >&2; exit 1; }
  sleep 0.1
done
say "console-sim is playing the demo flight (packets in $demo/console-sim.log; timeline in tools/console_sim/DEMO.md)"

# Each log line with the milliseconds since the module started, the trace's clock.
stamp() {
  local start=$1 line now
  while IFS= read -r line; do
    now=${EPOCHREALTIME/./}
    printf '%d %s\n' $(((now - start) / 1000)) "$line"
    printf '%s\n' "$line" >&2
  done
}

cd "$demo"
start=${EPOCHREALTIME/./}
if [ "$headless" = 1 ]; then
  "$bin/soundmodule" "${args[@]}" > >(stamp "$start" >"$demo/log.txt") &
else
  "$bin/soundmodule" "${args[@]}" &
fi
module=$!
wait "$module" || true
module=""
wait "$sim" || true
sim=""

if [ -f "$demo/demo.wav" ]; then
  picture=(--trace "$demo/trace.jsonl" --wav "$demo/demo.wav" --out "$demo/demo.png")
  [ -f "$demo/log.txt" ] && picture+=(--log "$demo/log.txt")
  "$bin/flight-picture" "${picture[@]}"
  say "the flight is recorded: $demo/demo.wav, its sound trace $demo/trace.jsonl, log $demo/log.txt, picture $demo/demo.png"
fi
