#!/usr/bin/env bash
# Installs, on a Debian machine, every package the build, the tests and the benchmark use,
# and generates the Japanese locale that gives Wine code page 932. Quick when all is there.
set -euo pipefail

packages=(
  cmake make g++ googletest libgtest-dev
  clang libclang-rt-14-dev
  mingw-w64 wine wine64 xvfb xdotool imagemagick x11-utils e2fsprogs
  locales fonts-noto-cjk python3 python3-xlib libx11-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ "${#missing[@]}" -gt 0 ]; then
  echo "installing: ${missing[*]}"
  as_root apt-get update -qq
  # With recommends: the `wine` command itself and Wine's fonts come that way.
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
