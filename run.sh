#!/usr/bin/env bash
# Installs what is missing, builds Release in build/ and runs the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
# The headless simulator; `./run.sh --help` lists its options.
exec build/tools/zenorb-sim "$@"
