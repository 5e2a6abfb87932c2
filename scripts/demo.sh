#!/usr/bin/env bash
# Builds and starts the demo application "Clienti e Ordini" (installs its own
# dependencies, builds in build/ like scripts/test.sh). With a display it opens
# the window; without one it runs the offscreen tour and prints where its
# screenshots are. Arguments go to the program, e.g.
#   scripts/demo.sh --rows 200000          a large customer table
#   scripts/demo.sh --database "Provider=MySQL;Server=127.0.0.1;Port=3306;Database=demo;User=u;Password=p"
#   scripts/demo.sh --help
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tessaro_demo
exec build/examples/demo/tessaro-demo "$@"
