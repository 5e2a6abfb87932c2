#!/usr/bin/env bash
# Builds the navigation benchmark in Release and runs it: our navigator against
# QSqlTableModel + QDataWidgetMapper on SQLite tables of 10k, 100k and 1M rows,
# and on 100k rows of a throwaway MariaDB and PostgreSQL server each
# (--server-rows 100000,1000000 for more).
#   scripts/bench.sh                 everything (a few minutes)
#   scripts/bench.sh --quick         fewer samples, for a smoke run
#   scripts/bench.sh --no-server     SQLite only
# Other arguments go to the benchmark (for instance --sizes 10000,100000).
# The SQLite files are cached in ${TMPDIR:-/tmp}/tessaro-bench between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

BUILD_DIR=build-bench
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARO_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" --target navigation_bench -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
RUN_DIR=$(mktemp -d /tmp/tessaro-bench-run.XXXXXX)
# The PostgreSQL server runs as its own user, which must reach its folder.
chmod 711 "$RUN_DIR"
MARIADB_DIR="$RUN_DIR/mariadb"
POSTGRES_DIR="$RUN_DIR/postgres"
cleanup() {
    if [[ -d "$MARIADB_DIR" ]]; then scripts/mariadb-test-server.sh stop "$MARIADB_DIR"; fi
    if [[ -d "$POSTGRES_DIR" ]]; then scripts/postgres-test-server.sh stop "$POSTGRES_DIR"; fi
    rm -rf "$RUN_DIR"
}
trap cleanup EXIT
# Qt wants a private runtime folder; an unset one only costs a warning per process.
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    export XDG_RUNTIME_DIR="$RUN_DIR/xdg"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi

# A throwaway MariaDB and PostgreSQL for the server tables, always stopped on exit.
if [[ " $* " != *" --no-server "* ]]; then
    mkdir "$MARIADB_DIR" "$POSTGRES_DIR"
    eval "$(scripts/mariadb-test-server.sh start "$MARIADB_DIR")"
    eval "$(scripts/postgres-test-server.sh start "$POSTGRES_DIR")"
fi

"$BUILD_DIR/bench/navigation_bench" "$@"
