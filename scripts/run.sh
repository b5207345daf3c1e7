#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
# termine.dat is kept beside the program: build/termine.dat.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDW_TESTS=OFF -DDW_BENCH=OFF >/dev/null
cmake --build build --target datumswecker
exec ./build/datumswecker
