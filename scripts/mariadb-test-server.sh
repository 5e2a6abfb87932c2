#!/usr/bin/env bash
# A throwaway MariaDB server for the server tests: a fresh data folder, loopback
# only, its own port and socket, no option files read.
#
#   eval "$(scripts/mariadb-test-server.sh start DIR)"   create, start, print exports
#   scripts/mariadb-test-server.sh start DIR PRISTINE     the same from a copy of PRISTINE,
#                                                         the untouched data folder of an
#                                                         earlier start (much faster)
#   scripts/mariadb-test-server.sh restart DIR            start again on the same port and data
#   scripts/mariadb-test-server.sh kill DIR               kill -9 by PID (a crash, for tests)
#   scripts/mariadb-test-server.sh stop DIR               stop by PID; no-op when nothing runs
#
# Only the export lines go to stdout; every diagnostic goes to stderr.
set -euo pipefail

SCRIPT=$(readlink -f "$0")
WAIT_SECONDS=30
# Small InnoDB files: a throwaway server holds little and starts sooner.
INNODB_OPTIONS=(--innodb-log-file-size=16M --innodb-temp-data-file-path=ibtmp1:1M:autoextend
    --innodb-buffer-pool-size=64M)

say() { echo "mariadb-test-server: $*" >&2; }
die() {
    say "$*"
    exit 1
}

server_user() { whoami; }

port_in_use() {
    # A connect that succeeds means someone listens there already.
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

pick_port() {
    local port
    for _ in $(seq 50); do
        # Below the kernel's ephemeral range, so no outgoing connection holds it.
        port=$((20000 + RANDOM % 12000))
        if ! port_in_use "$port"; then
            echo "$port"
            return 0
        fi
    done
    die "no free port found"
}

# PID of the server of DIR when it is running, else nothing. The command line
# is checked so that a PID recycled by another process is never touched.
running_pid() {
    local dir=$1 pid
    [[ -f "$dir/mariadb.pid" ]] || return 0
    pid=$(cat "$dir/mariadb.pid" 2>/dev/null || true)
    [[ "$pid" =~ ^[0-9]+$ ]] || return 0
    [[ -r "/proc/$pid/cmdline" ]] || return 0
    if tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q -- "--datadir=$dir/data"; then
        echo "$pid"
    fi
}

ping_server() {
    mariadb-admin --no-defaults --socket="$1/mysql.sock" --user=root \
        --connect-timeout=2 ping >/dev/null 2>&1
}

launch() {
    local dir=$1 port=$2
    rm -f "$dir/mariadb.pid"
    # Committed rows reach the OS at once (=2), so killing the process loses none.
    setsid mariadbd --no-defaults \
        --datadir="$dir/data" --socket="$dir/mysql.sock" --port="$port" \
        --bind-address=127.0.0.1 --skip-networking=0 --skip-name-resolve \
        --pid-file="$dir/mariadb.pid" --log-error="$dir/error.log" \
        --user="$(server_user)" --character-set-server=utf8mb4 \
        --collation-server=utf8mb4_unicode_ci "${INNODB_OPTIONS[@]}" \
        --innodb-flush-log-at-trx-commit=2 --max-connections=200 \
        </dev/null >>"$dir/mariadbd.out" 2>&1 &
    local launched=$!
    local deadline=$((SECONDS + WAIT_SECONDS))
    while ((SECONDS < deadline)); do
        if ping_server "$dir" && [[ -n "$(running_pid "$dir")" ]]; then
            return 0
        fi
        if ! kill -0 "$launched" 2>/dev/null; then
            say "mariadbd exited while starting; last lines of $dir/error.log:"
            tail -n 20 "$dir/error.log" >&2 || true
            return 1
        fi
        sleep 0.1
    done
    say "mariadbd did not answer within ${WAIT_SECONDS}s"
    tail -n 20 "$dir/error.log" >&2 || true
    return 1
}

print_exports() {
    local dir=$1 port
    port=$(cat "$dir/port")
    cat <<EOF
export TESSARO_MARIADB="Provider=MySQL;Server=127.0.0.1;Port=$port;Database=tessaro_test;User=root;Password="
export TESSARO_MARIADB_DIR="$dir"
export TESSARO_MARIADB_PORT="$port"
export TESSARO_MARIADB_SOCKET="$dir/mysql.sock"
export TESSARO_MARIADB_PIDFILE="$dir/mariadb.pid"
export TESSARO_MARIADB_SCRIPT="$SCRIPT"
export TESSARO_MARIADB_PRISTINE="$dir/pristine"
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
    rm -rf "$dir/data" "$dir/pristine"
    local started=${EPOCHREALTIME/[.,]/}
    if [[ -n "$pristine" ]]; then
        [[ -d "$pristine" ]] || die "no data folder in $pristine"
        cp -a "$pristine" "$dir/data"
    else
        mariadb-install-db --no-defaults --auth-root-authentication-method=normal \
            --datadir="$dir/data" --user="$(server_user)" --skip-test-db "${INNODB_OPTIONS[@]}" \
            >"$dir/install.log" 2>&1 || {
            tail -n 20 "$dir/install.log" >&2
            die "mariadb-install-db failed"
        }
    fi
    cp -a "$dir/data" "$dir/pristine"
    local port attempt
    for attempt in 1 2 3; do
        port=$(pick_port)
        echo "$port" >"$dir/port"
        if launch "$dir" "$port"; then break; fi
        # Another process may have taken the port in the meantime.
        ((attempt < 3)) || die "could not start mariadbd"
        say "retrying on another port"
    done
    mariadb --no-defaults --socket="$dir/mysql.sock" --user=root \
        -e "CREATE DATABASE tessaro_test CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci" \
        >&2 || die "could not create the test database"
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
    launch "$dir" "$(cat "$dir/port")" || die "could not restart mariadbd"
}

wait_gone() {
    local pid=$1
    for _ in $(seq $((WAIT_SECONDS * 10))); do
        [[ -d "/proc/$pid" ]] || return 0
        # A zombie has exited already; whoever adopted it reaps it.
        [[ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]] || return 0
        sleep 0.1
    done
    return 1
}

cmd_kill() {
    local dir pid
    dir=$(readlink -f "$1")
    pid=$(running_pid "$dir")
    [[ -n "$pid" ]] || return 0
    kill -KILL "$pid"
    wait_gone "$pid" || die "mariadbd $pid did not die"
}

cmd_stop() {
    local dir pid
    [[ -d "$1" ]] || return 0
    dir=$(readlink -f "$1")
    pid=$(running_pid "$dir")
    [[ -n "$pid" ]] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    if ! wait_gone "$pid"; then
        say "mariadbd $pid ignored TERM; killing it"
        kill -KILL "$pid" 2>/dev/null || true
        wait_gone "$pid" || true
    fi
}

[[ $# -eq 2 || ($# -eq 3 && "$1" == start) ]] || die "usage: $0 start|restart|kill|stop DIR"
case "$1" in
start) cmd_start "$2" "${3:-}" ;;
restart) cmd_restart "$2" ;;
kill) cmd_kill "$2" ;;
stop) cmd_stop "$2" ;;
*) die "unknown verb $1" ;;
esac
