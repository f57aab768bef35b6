#!/usr/bin/env bash
# Sets up the machine, builds Morvane with its bundled resources and starts
# it in its program folder (build/stage, which holds res/).
# Usage: tools/run.sh [language width height fullscreen]
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target morvane
cd build/stage
exec ./morvane "$@"
