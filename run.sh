#!/usr/bin/env bash
# Installs what is missing, builds Release in build/ and runs the program:
# the desktop window when there is a display, the headless simulator when
# there is none or when simulator options are given.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
if [[ $# -gt 0 ]]; then
  # The window takes no options; these are the simulator's (--help lists them).
  exec build/tools/zenorb-sim "$@"
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: running the headless simulator zenorb-sim instead (add --png FILE for a picture, --help for more)." >&2
  exec build/tools/zenorb-sim
fi
exec build/gui/zenorb
