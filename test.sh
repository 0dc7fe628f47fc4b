#!/usr/bin/env bash
# Installs what is missing, builds in build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
# GUI tests need a display; a private X server serves them all.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure
