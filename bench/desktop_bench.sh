#!/usr/bin/env bash
# The running game under a private Xvfb display: the time from start to the first level shown
# (median of 5 starts), the processor use over SECONDS paused, and running at level 1, at level 80
# and at top speed (Ball period 1 ms), as a percentage of one core (utime + stime from
# /proc/PID/stat over the wall time), the wake-ups a second at top speed (voluntary context
# switches), and the peak memory (VmHWM). Prints "name value" lines.
#   desktop_bench.sh KESTRO KESTRO_XWIN KESTRO_SIM [SECONDS=10]
set -euo pipefail

kestro=$1
xwin=$2
sim=$3
seconds=${4:-10}

command -v xvfb-run >/dev/null 2>&1 || { echo "desktop_bench: xvfb-run is not installed (Debian package xvfb)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-desktop-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$kestro" "$work/kestro"  # its log goes beside it
# What the game keeps per user (its table, the game kept at a close) stays in that folder.
export XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"

# The levels to measure, as saved games: level 1 and 80 with the default sliders, and a game at
# top speed whose ball period has already come down to 1 ms.
"$sim" new "$work/level1.egf" --level 1 --seed 1 --key 1
"$sim" new "$work/level80.egf" --level 80 --seed 1 --key 1
"$sim" new "$work/fast0.egf" --level 1 --speed 500 --accel 20 --seed 1 --key 1
"$sim" play "$work/fast0.egf" --ms 8000 --seed 1 --key 1 --out "$work/fast.egf" >/dev/null

cat >"$work/run.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
work=$1 xwin=$2 seconds=$3
export QT_QPA_PLATFORM=xcb
# A configuration of the session's own: nothing goes into the user's, and leaving the window does
# not pause the game while it is driven from outside.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/kestro"
printf '[Game]\nPauseWhenLeft=false\n' >"$XDG_CONFIG_HOME/kestro/kestro.conf"
hz=$(getconf CLK_TCK)
fail() { echo "desktop_bench: $*" >&2; exit 1; }
now() { date +%s%N; }
# Processor time of the game so far, in clock ticks: utime + stime, the 14th and 15th fields.
ticks() {
    local stat
    stat=$(<"/proc/$pid/stat") || return 1
    set -- ${stat##*) }
    echo $(( ${12} + ${13} ))
}
# The times the game has gone to sleep and woken again so far (voluntary context switches).
switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$pid/status"; }
# Percentage of one core used over the next $seconds seconds; the wake-ups a second over the
# same time go to $work/wakeups.
measure() {
    local t0 c0 t1 c1 w0 w1
    t0=$(now); c0=$(ticks) || return 1; w0=$(switches)
    sleep "$seconds"
    t1=$(now); c1=$(ticks) || return 1; w1=$(switches)
    awk -v w="$((w1 - w0))" -v ns="$((t1 - t0))" 'BEGIN { printf "%.0f", w / (ns / 1e9) }' \
        >"$work/wakeups"
    awk -v c="$((c1 - c0))" -v hz="$hz" -v ns="$((t1 - t0))" \
        'BEGIN { printf "%.2f", 100 * c / hz / (ns / 1e9) }'
}
start() {
    "$work/kestro" "$@" >"$work/stdout" 2>"$work/stderr" &
    pid=$!
    win=$("$xwin" find physics 30) || fail "no window titled physics appeared"
    read -r left top width height < <("$xwin" level "$win" 30) || fail "no level on screen"
}
stop() {
    "$xwin" close "$win"
    wait "$pid" || fail "the game ended with status $?"
}
unpause() { "$xwin" click "$win" 10 $((top - 14)); }

starts=()
for _ in 1 2 3 4 5; do
    t0=$(now)
    "$work/kestro" >"$work/stdout" 2>"$work/stderr" &
    pid=$!
    "$xwin" shown physics 30 || fail "no level on screen"
    t1=$(now)
    starts+=("$(( (t1 - t0) / 1000000 ))")
    win=$("$xwin" find physics 5)
    stop
done
echo "first_frame_ms $(printf '%s\n' "${starts[@]}" | sort -n | sed -n 3p)"

start "$work/level1.egf"
sleep 1
echo "cpu_paused_pct $(measure)"
unpause; sleep 1
echo "cpu_level1_pct $(measure)"
stop

start "$work/level80.egf"
unpause; sleep 1
echo "cpu_level80_pct $(measure)"
stop

start "$work/fast.egf"
unpause; sleep 1
echo "cpu_top_speed_pct $(measure)"
echo "wakeups_top_speed_per_s $(<"$work/wakeups")"
echo "peak_memory_mb $(awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")"
stop
INNER
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" "$work/run.sh" "$work" "$xwin" "$seconds"
