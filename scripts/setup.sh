#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, package and run.
# Only missing packages are installed; uses sudo when not root.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libopenal-dev libsdl2-dev qt6-base-dev libasio-dev
  espeak-ng
  clang libclang-rt-14-dev
  dpkg-dev file iproute2
  xvfb xdotool pulseaudio pulseaudio-utils
  help2man lintian desktop-file-utils appstream man-db
  tshark
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# tshark's package asks whether non-root users may capture; they need not (tests read
# pcap files they write themselves), and the question must never wait for an answer.
echo "wireshark-common wireshark-common/install-setuid boolean false" |
  "${sudo_cmd[@]}" debconf-set-selections
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
