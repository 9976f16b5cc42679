#!/usr/bin/env bash
# Runs the module on the built-in default: the Console Client simulator with its demo
# scenario, and a freshly generated sound pack. Extra arguments go to soundmodule
# (for example --headless, --trace trace.jsonl, --audio-out demo.wav).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

bin=$root/build/release/bin
demo=$root/build/demo
mkdir -p "$demo"
"$bin/make-sound-pack" "$demo"

# Without a sound server or sound card the device cannot be opened; record instead.
args=("$@")
runtime=${XDG_RUNTIME_DIR:-/run/user/$(id -u)}
if [ ! -e /dev/snd ] && [ ! -S "$runtime/pulse/native" ] && [ ! -S "$runtime/pipewire-0" ] \
    && [ -z "${PULSE_SERVER:-}" ] && [[ " $* " != *" --audio-out "* ]]; then
  echo "demo: no sound device found; the mix is recorded to $demo/demo.wav" >&2
  args+=(--audio-out "$demo/demo.wav")
fi

"$bin/console-sim" >"$demo/console-sim.log" 2>&1 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
sleep 1
echo "demo: console-sim is playing its demo scenario (packets in $demo/console-sim.log)" >&2

cd "$demo"
"$bin/soundmodule" "${args[@]}"
