#!/usr/bin/env bash
# A private desktop session for what screen readers receive: Xvfb, a D-Bus
# session bus and the AT-SPI accessibility bus (with its registry).
#   eval "$(scripts/atspi-session.sh start DIR)"   prints the exports to use
#   scripts/atspi-session.sh stop DIR
# Everything it starts is recorded in DIR and stopped by its process id.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
if [[ -z "$cmd" || -z "$dir" ]]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi

stop() {
    for f in "$dir"/*.pid; do
        [[ -e "$f" ]] || continue
        kill "$(cat "$f")" 2>/dev/null || true
        rm -f "$f"
    done
}

if [[ "$cmd" == stop ]]; then
    stop
    exit 0
fi

mkdir -p "$dir/run"
chmod 700 "$dir/run"
# A display number nobody uses: its lock file is free.
display=""
for n in $(seq 40 99); do
    if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then
        display=$n
        break
    fi
done
[[ -n "$display" ]] || { echo "atspi-session: no free display" >&2; exit 1; }
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
echo $! >"$dir/xvfb.pid"
for _ in $(seq 50); do
    [[ -e /tmp/.X11-unix/X$display ]] && break
    sleep 0.1
done
export DISPLAY=":$display" XDG_RUNTIME_DIR="$dir/run"
eval "$(dbus-launch --sh-syntax)"
echo "$DBUS_SESSION_BUS_PID" >"$dir/dbus.pid"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$dir/atspi.log" 2>&1 &
echo $! >"$dir/atspi.pid"
for _ in $(seq 50); do
    if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1; then
        break
    fi
    sleep 0.1
done
echo "export DISPLAY=':$display' XDG_RUNTIME_DIR='$dir/run'"
echo "export DBUS_SESSION_BUS_ADDRESS='$DBUS_SESSION_BUS_ADDRESS'"
echo "atspi-session: display :$display, D-Bus and AT-SPI bus up" >&2
