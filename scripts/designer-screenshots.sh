#!/usr/bin/env bash
# Takes the README's pictures of the Qt Designer plugin (widget box entry,
# property editor, binding editor) offscreen, in Designer's own editor with the
# plugin built in build/, and writes them to docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tessaro_designer_shots
QT_QPA_PLATFORM=offscreen build/examples/designer/tessaro_designer_shots docs
