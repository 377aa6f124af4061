#!/usr/bin/env bash
# The running game under a private Xvfb display: the time from start to the first level shown
# (median of 5 starts, 7 given FLOOR), the processor use over SECONDS paused, and running at
# level 1, at level 80 and at top speed (Ball period 1 ms), as a percentage of one core (utime +
# stime from /proc/PID/stat over the wall time), the wake-ups a second at top speed (voluntary
# context switches), and the peak memory (VmHWM). Prints "name value" lines.
# Given FLOOR (bench/floor.cpp's program), the starts alternate between the game and the floor (7
# of each; first_frame_ms is then the game's median of 7) and a line "side_start GAME_MS FLOOR_MS"
# gives both medians. It then measures the game and the floor in turn, ROUNDS times, at level 1
# with the pointer still, with the pointer moving at 60 Hz, and at top speed: the processor use
# of the program and of the X server (Xvfb's own /proc/PID/stat), the program's wake-ups a
# second, the floor's painted pixels a second as it counts them itself, and each program's pixels
# sent to X a second (drawn into its window, as the X server's DAMAGE extension reports them,
# `kestro-xwin damage`); it prints for each state a line "side_STATE" with the medians over the
# rounds:
#   kestro_cpu kestro_x kestro_wakeups floor_cpu floor_x floor_wakeups floor_pixels_per_s
#   kestro_sent_per_s floor_sent_per_s
#   desktop_bench.sh KESTRO KESTRO_XWIN KESTRO_SIM [SECONDS=10 [FLOOR [ROUNDS=1]]]
set -euo pipefail

kestro=$1
xwin=$2
sim=$3
seconds=${4:-10}
floor=${5:-}
rounds=${6:-1}

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
work=$1 xwin=$2 seconds=$3 floor=$4 rounds=$5
export QT_QPA_PLATFORM=xcb
# A configuration of the session's own: nothing goes into the user's, and leaving the window does
# not pause the game while it is driven from outside.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/kestro"
printf '[Game]\nPauseWhenLeft=false\n' >"$XDG_CONFIG_HOME/kestro/kestro.conf"
hz=$(getconf CLK_TCK)
fail() { echo "desktop_bench: $*" >&2; exit 1; }
now() { date +%s%N; }
# Processor time of a process so far (the game's by default), in clock ticks: utime + stime, the
# 14th and 15th fields.
ticks() {
    local stat
    stat=$(<"/proc/${1:-$pid}/stat") || return 1
    set -- ${stat##*) }
    echo $(( ${12} + ${13} ))
}
# The times the game has gone to sleep and woken again so far (voluntary context switches).
switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$pid/status"; }
# The X server: the Xvfb that xvfb-run started for this script.
xserver=""
for p in $(ps -o pid= --ppid "$PPID"); do
    [ "$(cat "/proc/$p/comm" 2>/dev/null)" = Xvfb ] && xserver=$p
done
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
    wait "$pid" || fail "the program ended with status $?"
}
unpause() { "$xwin" click "$win" 10 $((top - 14)); }
# The median of the numbers given.
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# The milliseconds from starting a program (the game, or the floor at the game's first ball
# period) to its window showing a level; both are started alike, in this same environment.
time_start() {  # kestro | floor
    local title=physics t0 t1
    [ "$1" = floor ] && title=floor
    t0=$(now)
    if [ "$1" = kestro ]; then
        "$work/kestro" >"$work/stdout" 2>"$work/stderr" &
    else
        "$floor" 250 >"$work/stdout" 2>"$work/stderr" &
    fi
    pid=$!
    "$xwin" shown "$title" 30 || fail "no level on screen in the window titled $title"
    t1=$(now)
    echo "$(( (t1 - t0) / 1000000 ))" >>"$work/starts_$1"
    win=$("$xwin" find "$title" 5)
    stop
}
start_rounds=5
[ -n "$floor" ] && start_rounds=7
for ((i = 0; i < start_rounds; i++)); do
    time_start kestro
    [ -z "$floor" ] || time_start floor
done
mapfile -t game_starts <"$work/starts_kestro"
echo "first_frame_ms $(median "${game_starts[@]}")"
if [ -n "$floor" ]; then
    mapfile -t floor_starts <"$work/starts_floor"
    echo "side_start $(median "${game_starts[@]}") $(median "${floor_starts[@]}")"
fi

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

[ -n "$floor" ] || exit 0
[ -n "$xserver" ] || fail "no Xvfb process found beside this script"
# "cpu x_cpu wakeups sent" of the running program and the X server over the next $seconds
# seconds, sent being the pixels a second drawn into the program's window (the damage counter
# watches the window over the same time, and ends by itself should the window go first).
side_measure() {
    local t0 c0 x0 w0 t1 c1 x1 w1 damage
    "$xwin" damage "$win" "$seconds" >"$work/damage" 2>"$work/damage_stderr" &
    damage=$!
    t0=$(now); c0=$(ticks) || { kill "$damage"; wait "$damage"; return 1; }
    x0=$(ticks "$xserver"); w0=$(switches)
    sleep "$seconds"
    t1=$(now); c1=$(ticks) || { kill "$damage"; wait "$damage"; return 1; }
    x1=$(ticks "$xserver"); w1=$(switches)
    wait "$damage" || { cat "$work/damage_stderr" >&2; return 1; }
    awk -v c="$((c1 - c0))" -v x="$((x1 - x0))" -v w="$((w1 - w0))" -v hz="$hz" \
        -v ns="$((t1 - t0))" 'BEGIN { s = ns / 1e9; printf "%.2f %.2f %.0f", 100 * c / hz / s, 100 * x / hz / s, w / s }'
    awk '/^pixels/ { printf " %.0f", ($4 > 0 ? $2 / $4 : 0) }' "$work/damage"
}
# One state of one program: start it, let it run a second, measure (with the pointer sweeping
# over the playfield in the state "moving"), close it. Appends "cpu x wakeups sent" (the game)
# or "cpu x wakeups painted sent" (the floor) to $work/side_STATE_PROGRAM.
side_run() {  # state program
    local saved=level1 period=250 mover=""
    [ "$1" = top ] && { saved=fast; period=1; }
    if [ "$2" = kestro ]; then
        start "$work/$saved.egf"
        unpause
    else
        "$floor" "$period" >"$work/stdout" 2>"$work/stderr" &
        pid=$!
        win=$("$xwin" find floor 30) || fail "no window titled floor appeared"
        read -r left top width height < <("$xwin" level "$win" 30) || fail "the floor shows no grid"
    fi
    # Where the ball cannot be: a row near the top of the playfield, clear of the border.
    local y=$((top + height / 10))
    "$xwin" move "$win" $((left + width / 4)) "$y"
    sleep 1
    if [ "$1" = moving ]; then
        "$xwin" sweep "$win" $((left + width / 4)) "$y" $((width / 2)) $((seconds + 2)) &
        mover=$!
    fi
    local figures painted="" cpu x wakeups sent
    figures=$(side_measure) || fail "the $2's window could not be measured in the state $1"
    [ -n "$mover" ] && { kill "$mover" 2>/dev/null; wait "$mover" 2>/dev/null || true; }
    stop
    if [ "$2" = floor ]; then
        painted=$(awk '/^painted_pixels/ { printf "%.0f", ($4 > 0 ? $2 / $4 : 0) }' "$work/stdout")
    fi
    read -r cpu x wakeups sent <<<"$figures"
    echo "$cpu $x $wakeups${painted:+ $painted} $sent" >>"$work/side_$1_$2"
}
for ((round = 0; round < rounds; round++)); do
    for state in still moving top; do
        side_run "$state" kestro
        side_run "$state" floor
    done
done
# The median of each column over the rounds.
medians() {
    awk '{ for (i = 1; i <= NF; ++i) v[i, NR] = $i; if (NF > n) n = NF }
         END { for (i = 1; i <= n; ++i) {
                   m = 0; for (r = 1; r <= NR; ++r) a[++m] = v[i, r]
                   for (p = 1; p <= m; ++p) for (q = p + 1; q <= m; ++q) if (a[q] < a[p]) { t = a[p]; a[p] = a[q]; a[q] = t }
                   printf "%s%s", (i > 1 ? " " : ""), a[int((m + 1) / 2)] }
               print "" }' "$1"
}
# The game's three figures and the floor's four, then the pixels sent of each.
for state in still moving top; do
    read -r k_cpu k_x k_wakeups k_sent < <(medians "$work/side_${state}_kestro")
    read -r f_cpu f_x f_wakeups f_painted f_sent < <(medians "$work/side_${state}_floor")
    echo "side_$state $k_cpu $k_x $k_wakeups $f_cpu $f_x $f_wakeups $f_painted $k_sent $f_sent"
done
INNER
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" "$work/run.sh" "$work" "$xwin" "$seconds" "$floor" "$rounds"
