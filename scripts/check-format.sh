#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format makes of it
# (the style is .clang-format at the root); the differences are printed.
# To fix them: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
    echo "check-format: clang-format is missing (scripts/setup.sh installs it)" >&2
    exit 2
fi

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "check-format: the files above are not formatted" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
