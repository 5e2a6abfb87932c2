#!/usr/bin/env bash
# The office benchmark: several user processes on one database at once (see
# bench/load_bench.cpp). Builds in Release, starts a throwaway MariaDB and a
# throwaway PostgreSQL (unless TESSARO_MARIADB or TESSARO_POSTGRES name one),
# stops them on exit and runs the table of bench/RESULTS.md on MariaDB,
# PostgreSQL and SQLite.
#   scripts/load-bench.sh                      the whole table, 60 s a row
#   scripts/load-bench.sh --seconds 20         shorter rows
#   scripts/load-bench.sh -- --users 5 ...     one row with these arguments
# BENCH_BIN=path/to/load_bench runs another build (an older one, to compare).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

SECONDS_PER_ROW=60
ROWS=1000000
ONE=()
while (($#)); do
    case "$1" in
    --seconds) SECONDS_PER_ROW=$2; shift 2 ;;
    --rows) ROWS=$2; shift 2 ;;
    --) shift; ONE=("$@"); break ;;
    *) echo "load-bench: unknown argument $1" >&2; exit 2 ;;
    esac
done

BUILD_DIR=build-bench
if [[ -z "${BENCH_BIN:-}" ]]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARO_BUILD_BENCH=ON >/dev/null
    cmake --build "$BUILD_DIR" --target load_bench -j "$(nproc)"
    BENCH_BIN=$BUILD_DIR/bench/load_bench
fi

export QT_QPA_PLATFORM=offscreen
RUN_DIR=$(mktemp -d /tmp/tessaro-load-run.XXXXXX)
# PostgreSQL's folder is not inside RUN_DIR: run as root, its server runs as
# another user, who must reach the folder through /tmp.
POSTGRES_DIR=
cleanup() {
    if [[ -d "$RUN_DIR/mariadb" ]]; then scripts/mariadb-test-server.sh stop "$RUN_DIR/mariadb"; fi
    if [[ -n "$POSTGRES_DIR" ]]; then
        scripts/postgres-test-server.sh stop "$POSTGRES_DIR"
        rm -rf "$POSTGRES_DIR"
    fi
    rm -rf "$RUN_DIR"
}
trap cleanup EXIT
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    export XDG_RUNTIME_DIR="$RUN_DIR/xdg"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
if [[ -z "${TESSARO_MARIADB:-}" ]]; then
    mkdir "$RUN_DIR/mariadb"
    eval "$(scripts/mariadb-test-server.sh start "$RUN_DIR/mariadb")"
fi
if [[ -z "${TESSARO_POSTGRES:-}" ]]; then
    POSTGRES_DIR=$(mktemp -d /tmp/tessaro-load-postgres.XXXXXX)
    eval "$(scripts/postgres-test-server.sh start "$POSTGRES_DIR")"
fi

run() { "$BENCH_BIN" --rows "$ROWS" --seconds "$SECONDS_PER_ROW" "$@" 2> >(grep -v XDG_RUNTIME >&2); }

echo "| engine | users | login | inserts | steps done / intended | median step | p95 | p99 | max |" \
     "median save | server CPU (cores) | client CPU a user (cores) | marked steps | longest mark |" \
     "counts out of range | boxes | peak client memory |"
echo "|---|---:|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
if ((${#ONE[@]})); then
    run "${ONE[@]}"
    exit 0
fi
run --users 1
run --users 5
run --users 10
run --users 20
run --users 10 --write-share 0
run --users 10 --write-share 0 --insert-every 10
run --users 20 --no-process
run --users 20 --insert-every 10
run --users 20 --engine postgres
run --users 20 --no-process --engine postgres
run --users 20 --insert-every 10 --engine postgres
run --users 5 --insert-every 10 --engine sqlite
