#!/usr/bin/env bash
# What a blind user hears in the demo: starts Xvfb, D-Bus and the AT-SPI bus
# (scripts/atspi-session.sh), Orca with its debug log, and the demo on a fresh
# database; drives it with xdotool and prints what Orca said after each key.
# Exits 1 when a position or a mode was not spoken.
#   scripts/screen-reader-check.sh [--keep DIR]   (DIR keeps the logs)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tessaro_demo >/dev/null

work=$(mktemp -d /tmp/tessaro-screen-reader.XXXXXX)
[[ "${1:-}" == --keep && -n "${2:-}" ]] && { work=$2; mkdir -p "$work"; }
session="$work/session"
orca_pid="" demo_pid=""
cleanup() {
    [[ -n "$demo_pid" ]] && kill "$demo_pid" 2>/dev/null || true
    [[ -n "$orca_pid" ]] && kill "$orca_pid" 2>/dev/null || true
    sleep 0.5
    scripts/atspi-session.sh stop "$session"
}
trap cleanup EXIT
eval "$(scripts/atspi-session.sh start "$session")"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb LANG=it_IT.UTF-8

# Orca writes what it speaks to its debug log, as "SPEECH OUTPUT: '...'".
/usr/bin/orca --replace --debug-file="$work/orca.log" >"$work/orca.out" 2>&1 &
orca_pid=$!
sleep 4
build/examples/demo/tessaro-demo --data-dir "$work/data" >"$work/demo.log" 2>&1 &
demo_pid=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name '^Tessaro' 2>/dev/null | head -1 || true)
    [[ -n "$window" ]] && break
    sleep 0.2
done
[[ -n "$window" ]] || { echo "screen-reader-check: the demo window did not appear" >&2; exit 1; }
sleep 2
xdotool windowfocus --sync "$window"
sleep 2

# Key, what to type after it, and what Orca must say (a regular expression).
# The demo opens on the last record: Ctrl+Home first, so that PgDn moves.
steps=(
    "ctrl+Home|||Record 1 di [0-9]+"
    "Next|||Record 2 di [0-9]+"
    "Prior|||Record 1 di [0-9]+"
    "ctrl+End|||Record [0-9]+ di [0-9]+"
    "F2|||Modifica del record in corso"
    "ctrl+a|Prova|"
    "Escape|||Record [0-9]+ di [0-9]+"
    "ctrl+n|||Inserire un nuovo record"
    "Return|||Nuovo record: inserire i dati"
    "Escape|||Record [0-9]+ di [0-9]+"
)
stamps=()
for step in "${steps[@]}"; do
    IFS='|' read -r key text _ <<<"$step"
    stamps+=("$(date +%H:%M:%S.%N | cut -c1-15)")
    # Through XTEST to the window with the focus, as a keyboard types: given a
    # window, xdotool sends a key by XSendEvent once another window (a box)
    # has the focus, and the server, which saw the press, never sees the
    # release: the key stays down and repeats.
    xdotool key --clearmodifiers "$key"
    [[ -n "$text" ]] && xdotool type --delay 60 "$text"
    sleep 2.5
done
sleep 3 # the last announcement reaches Orca
stamps+=("$(date +%H:%M:%S.%N | cut -c1-15)")
# Orca writes its log through a buffer: stop it to have the whole log. Python
# runs its signal handler only when an event wakes it, so a key it hears
# (Shift, which the demo ignores) brings it to exit.
kill "$orca_pid"
for _ in $(seq 20); do
    kill -0 "$orca_pid" 2>/dev/null || break
    xdotool key shift
    sleep 0.5
done
wait "$orca_pid" 2>/dev/null || true
orca_pid=""

failed=0
for i in "${!steps[@]}"; do
    IFS='|' read -r key text _ expected <<<"${steps[$i]}"
    said=$(awk -v from="${stamps[$i]}" -v to="${stamps[$((i + 1))]}" \
        '/SPEECH OUTPUT:/ { t = substr($1, 1, 15); if (t >= from && t < to) {
             sub(/.*SPEECH OUTPUT: /, ""); sub(/\{.*$/, ""); sub(/ +$/, ""); printf "%s ", $0 } }' \
        "$work/orca.log")
    label="$key${text:+ + \"$text\"}"
    if [[ -n "$expected" ]] && ! grep -Eq "$expected" <<<"$said"; then
        printf '%-22s MISSING "%s" in: %s\n' "$label" "$expected" "$said"
        failed=1
    else
        printf '%-22s %s\n' "$label" "$said"
    fi
done
echo "Orca's log: $work/orca.log"
exit $failed
