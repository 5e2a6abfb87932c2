#!/usr/bin/env bash
# Builds the library and runs every test, the server tests included.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

BUILD_DIR=build
CMAKE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ "${1:-}" == "--sanitize" ]]; then
    BUILD_DIR=build-asan
    CMAKE_ARGS=(-DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON -DTESSARO_BUILD_BENCH=OFF)
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

cmake -S . -B "$BUILD_DIR" -G Ninja "${CMAKE_ARGS[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen

# A throwaway MariaDB and PostgreSQL for the server tests, and an X display
# with D-Bus and the AT-SPI bus for the screen-reader test; all always stopped
# on exit.
MARIADB_DIR=$(mktemp -d /tmp/tessaro-mariadb.XXXXXX)
POSTGRES_DIR=$(mktemp -d /tmp/tessaro-postgres.XXXXXX)
ATSPI_DIR=$(mktemp -d /tmp/tessaro-atspi.XXXXXX)
trap 'scripts/mariadb-test-server.sh stop "$MARIADB_DIR"; rm -rf "$MARIADB_DIR";
      scripts/postgres-test-server.sh stop "$POSTGRES_DIR"; rm -rf "$POSTGRES_DIR";
      scripts/atspi-session.sh stop "$ATSPI_DIR"; rm -rf "$ATSPI_DIR"' EXIT
eval "$(scripts/mariadb-test-server.sh start "$MARIADB_DIR")"
eval "$(scripts/postgres-test-server.sh start "$POSTGRES_DIR")"
eval "$(scripts/atspi-session.sh start "$ATSPI_DIR")"

ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
