#!/usr/bin/env bash
# A throwaway PostgreSQL server for the server tests: a fresh cluster in a
# temporary folder, loopback only, its own port, its socket in that folder, no
# durability (nothing in it outlives the run).
#
#   eval "$(scripts/postgres-test-server.sh start DIR)"   create, start, print exports
#   scripts/postgres-test-server.sh start DIR PRISTINE     the same from a copy of PRISTINE,
#                                                          the untouched cluster of an
#                                                          earlier start (much faster)
#   scripts/postgres-test-server.sh restart DIR            start again on the same port and data
#   scripts/postgres-test-server.sh kill DIR               an immediate stop, as in a crash
#   scripts/postgres-test-server.sh stop DIR               stop; no-op when nothing runs
#
# initdb and the server refuse to run as root: then they run as an unprivileged
# user (postgres when it exists, else nobody) that owns DIR/data.
# Only the export lines go to stdout; every diagnostic goes to stderr.
set -euo pipefail

SCRIPT=$(readlink -f "$0")
WAIT_SECONDS=30
# Small and fast: no fsync, little shared memory, no background vacuum. A commit
# still writes its WAL to the OS (synchronous_commit stays on), so an immediate
# stop loses no committed row.
SERVER_OPTIONS=(-c fsync=off -c full_page_writes=off
    -c shared_buffers=32MB -c max_connections=200 -c autovacuum=off
    -c listen_addresses=127.0.0.1 -c logging_collector=off)

say() { echo "postgres-test-server: $*" >&2; }
die() {
    say "$*"
    exit 1
}

bin_dir() {
    local found
    found=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
    if [[ -n "$found" && -x "$found/initdb" ]]; then
        echo "$found"
    elif command -v initdb >/dev/null; then
        dirname "$(command -v initdb)"
    else
        die "initdb not found: install the postgresql package (scripts/setup.sh)"
    fi
}

BIN=$(bin_dir)

server_user() {
    if [[ $(id -u) -ne 0 ]]; then
        id -un
    elif getent passwd postgres >/dev/null; then
        echo postgres
    else
        echo nobody
    fi
}

# Runs a server program as the server's user.
as_server() {
    if [[ $(id -u) -ne 0 ]]; then
        "$@"
    else
        setpriv --reuid="$(server_user)" --regid="$(id -g "$(server_user)")" --clear-groups \
            --reset-env -- "$@"
    fi
}

port_in_use() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

pick_port() {
    local port
    for _ in $(seq 50); do
        port=$((20000 + RANDOM % 12000))
        if ! port_in_use "$port"; then
            echo "$port"
            return 0
        fi
    done
    die "no free port found"
}

# PID of the postmaster of DIR when it is running, else nothing; the command
# line is checked so that a recycled PID is never touched.
running_pid() {
    local dir=$1 pid
    [[ -f "$dir/data/postmaster.pid" ]] || return 0
    pid=$(head -n 1 "$dir/data/postmaster.pid" 2>/dev/null || true)
    [[ "$pid" =~ ^[0-9]+$ ]] || return 0
    [[ -r "/proc/$pid/cmdline" ]] || return 0
    if tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q -- "-D $dir/data"; then
        echo "$pid"
    fi
}

launch() {
    local dir=$1 port=$2
    as_server "$BIN/pg_ctl" -D "$dir/data" -l "$dir/run/server.log" -w -t "$WAIT_SECONDS" \
        -o "-p $port -k $dir/run ${SERVER_OPTIONS[*]}" start >"$dir/run/pg_ctl.out" 2>&1 || {
        say "the server did not start:"
        tail -n 20 "$dir/run/pg_ctl.out" "$dir/run/server.log" >&2 || true
        return 1
    }
}

print_exports() {
    local dir=$1 port
    port=$(cat "$dir/port")
    cat <<EOF
export TESSARO_POSTGRES="Provider=PostgreSQL;Server=127.0.0.1;Port=$port;Database=tessaro_test;User=postgres;Password="
export TESSARO_POSTGRES_DIR="$dir"
export TESSARO_POSTGRES_PORT="$port"
export TESSARO_POSTGRES_SOCKET_DIR="$dir/run"
export TESSARO_POSTGRES_SCRIPT="$SCRIPT"
export TESSARO_POSTGRES_PRISTINE="$dir/pristine"
EOF
}

cmd_start() {
    # When start fails the caller's eval must fail too, so that the server
    # tests never get skipped silently.
    trap '[[ $? -eq 0 ]] || echo "exit 1"' EXIT
    local dir=$1 pristine=${2:-}
    mkdir -p "$dir"
    dir=$(readlink -f "$dir")
    [[ -z "$(running_pid "$dir")" ]] || die "a server already runs in $dir"
    rm -rf "$dir/data" "$dir/pristine" "$dir/run"
    # The socket and the log: the server's user writes them.
    mkdir -m 700 "$dir/run"
    local started=${EPOCHREALTIME/[.,]/} owner
    owner=$(server_user)
    if [[ $(id -u) -eq 0 ]]; then
        # The server's user must reach its folder through the temporary one.
        chmod o+x "$dir"
        chown "$owner:" "$dir/run"
    fi
    if [[ -n "$pristine" ]]; then
        [[ -d "$pristine" ]] || die "no cluster in $pristine"
        cp -a "$pristine" "$dir/data"
        [[ $(id -u) -ne 0 ]] || chown -R "$owner:" "$dir/data"
    else
        mkdir -m 700 "$dir/data"
        [[ $(id -u) -ne 0 ]] || chown "$owner:" "$dir/data"
        as_server "$BIN/initdb" -D "$dir/data" --username=postgres --auth=trust \
            --encoding=UTF8 --locale=C.UTF-8 --no-sync --no-instructions \
            >"$dir/initdb.log" 2>&1 || {
            tail -n 20 "$dir/initdb.log" >&2
            die "initdb failed"
        }
    fi
    cp -a "$dir/data" "$dir/pristine"
    local port attempt
    for attempt in 1 2 3; do
        port=$(pick_port)
        echo "$port" >"$dir/port"
        if launch "$dir" "$port"; then break; fi
        ((attempt < 3)) || die "could not start the server"
        say "retrying on another port"
    done
    "$BIN/psql" -X -q -h "$dir/run" -p "$port" -U postgres -d postgres \
        -c "CREATE DATABASE tessaro_test" >&2 || die "could not create the test database"
    local ms=$(((${EPOCHREALTIME/[.,]/} - started) / 1000))
    say "started in ${ms} ms on port $port (pid $(running_pid "$dir"))"
    print_exports "$dir"
}

cmd_restart() {
    local dir
    dir=$(readlink -f "$1")
    [[ -f "$dir/port" ]] || die "no server was started in $dir"
    if [[ -n "$(running_pid "$dir")" ]]; then
        say "already running"
        return 0
    fi
    launch "$dir" "$(cat "$dir/port")" || die "could not restart the server"
}

stop_mode() {
    local dir pid
    [[ -d "$1" ]] || return 0
    dir=$(readlink -f "$1")
    pid=$(running_pid "$dir")
    [[ -n "$pid" ]] || return 0
    as_server "$BIN/pg_ctl" -D "$dir/data" -m "$2" -w -t "$WAIT_SECONDS" stop >/dev/null 2>&1 ||
        {
            say "pg_ctl stop failed; killing $pid"
            kill -KILL "$pid" 2>/dev/null || true
        }
}

[[ $# -eq 2 || ($# -eq 3 && "$1" == start) ]] || die "usage: $0 start|restart|kill|stop DIR"
case "$1" in
start) cmd_start "$2" "${3:-}" ;;
restart) cmd_restart "$2" ;;
kill) stop_mode "$2" immediate ;;
stop) stop_mode "$2" fast ;;
*) die "unknown verb $1" ;;
esac
