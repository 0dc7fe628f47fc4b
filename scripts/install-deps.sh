#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Idempotent: does nothing (quickly) when everything is present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3
  libalglib-dev libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libcairo2-dev libpango1.0-dev libcurl4-openssl-dev ca-certificates
  libssl-dev
  # The answers of the small-body database's look-up are JSON.
  nlohmann-json3-dev
  # The download tests compress what their server sends.
  zlib1g-dev
  # Element files are read with expat directly.
  libexpat1-dev
  # Films: FFmpeg's libraries to encode them, its ffprobe and ffmpeg to
  # read them back in the tests.
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
  # Boost.Odeint (header-only) for the high-accuracy mode's integrator.
  libboost-dev
  # The accuracy comparison (scripts/accuracy.py, Debian's /usr/bin/python3):
  # the IAU's ERFA library, and PyEphem for Pluto, which ERFA lacks.
  python3-erfa python3-ephem python3-numpy
  xvfb xauth fonts-dejavu-core locales
  # The key tests press keys through the X server.
  xdotool
  clang-format desktop-file-utils
  # The manual pages (help2man, rst2man from docutils) and their check
  # (man); the package's AppStream data is validated with appstreamcli.
  help2man python3-docutils man-db appstream
  # The fuzz build (scripts/fuzz.sh): clang, and libFuzzer's runtime with
  # the sanitizers' for clang.
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
