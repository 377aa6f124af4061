#!/usr/bin/env bash
# The game's processor use while it runs: starts the real program under a private Xvfb display,
# measures it for SECONDS paused, unpauses it with a click on "Pause", checks that the ball
# moves, measures it for SECONDS more, closes it, and reports both figures as a percentage of
# one core (utime + stime from /proc/PID/stat over the wall time). Fails above LIMIT percent.
#   cpu_bench.sh KESTRO KESTRO_XWIN [SECONDS=10] [LIMIT=10]
set -euo pipefail

kestro=$1
xwin=$2
seconds=${3:-10}
limit=${4:-10}

command -v xvfb-run >/dev/null 2>&1 || { echo "cpu_bench: xvfb-run is not installed"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-cpu-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$kestro" "$work/kestro"  # its log goes beside it

cat >"$work/run.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
work=$1 xwin=$2 seconds=$3 limit=$4
export QT_QPA_PLATFORM=xcb
hz=$(getconf CLK_TCK)
"$work/kestro" >"$work/stdout" 2>"$work/stderr" &
pid=$!
fail() {
    echo "cpu_bench: $*"
    kill "$pid" 2>/dev/null
    exit 1
}
# Processor time of the game so far, in clock ticks: utime + stime, the 14th and 15th fields.
ticks() {
    local stat
    stat=$(<"/proc/$pid/stat") || return 1
    set -- ${stat##*) }
    echo $(( ${12} + ${13} ))
}
now() { date +%s.%N; }
# Percentage of one core used over the next $seconds seconds.
measure() {
    local t0 c0 t1 c1
    t0=$(now); c0=$(ticks) || return 1
    sleep "$seconds"
    t1=$(now); c1=$(ticks) || return 1
    awk -v c="$((c1 - c0))" -v hz="$hz" -v t0="$t0" -v t1="$t1" \
        'BEGIN { printf "%.1f", 100 * c / hz / (t1 - t0) }'
}

win=$("$xwin" find physics 30) || fail "no window titled physics appeared"
read -r left top width height < <("$xwin" level "$win" 30) || fail "no level on screen"
sleep 1
paused=$(measure) || fail "the game ended while paused"
before=$("$xwin" ball "$win") || fail "no ball on screen"

# "Pause" sits at the top left of the client area, 28 pixels above the playfield.
"$xwin" click "$win" 10 $((top - 14))
sleep 2
after=$("$xwin" ball "$win") || fail "no ball on screen"
[ "$before" != "$after" ] || fail "the ball did not move after unpausing"
running=$(measure) || fail "the game ended while running"

"$xwin" close "$win"
wait "$pid"
status=$?

echo "refresh-paced game, playfield ${width}x${height}, ${seconds} s each:"
echo "  paused:  ${paused} % of one core"
echo "  running: ${running} % of one core"
echo "  exit status ${status}"
[ "$status" -eq 0 ] || fail "the game ended with status $status"
over=$(awk -v p="$paused" -v r="$running" -v l="$limit" 'BEGIN { print (p >= l || r >= l) }')
[ "$over" -eq 0 ] || fail "processor use at or above ${limit} %"
echo "  below ${limit} %: ok"
INNER
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/run.sh" "$work" "$xwin" "$seconds" "$limit"
