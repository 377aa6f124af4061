#!/usr/bin/env bash
# Starts the real game under a private Xvfb display, waits until its window shows the first
# level, shapes the paused level with the pointer, unpauses it and watches the ball speed up and
# the score box count down, closes it the way a window manager does (WM_DELETE_WINDOW) and checks
# that it ends with status 0 and leaves a complete log.
#   xvfb_session.sh KESTRO KESTRO_XWIN
# Exit status 77 (skipped) when xvfb-run is not installed.
set -euo pipefail

kestro=$1
xwin=$2
here=$(cd "$(dirname "$0")" && pwd)
# A build with sanitizers leaves leaks inside system libraries out of the game's leak report.
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "SKIPPED: xvfb-run is not installed (Debian package xvfb)"
    exit 77
fi

# The log lies beside the executable: run a copy in a folder of its own.
work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-xvfb-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$kestro" "$work/kestro"
# What the game keeps per user (its table, the game kept at the close) stays in that folder.
export XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"

cat >"$work/session.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
work=$1
xwin=$2
export QT_QPA_PLATFORM=xcb
# A configuration of the session's own: nothing goes into the user's, and leaving the window does
# not pause the game while it is driven from outside.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/kestro"
printf '[Game]\nPauseWhenLeft=false\n' >"$XDG_CONFIG_HOME/kestro/kestro.conf"
"$work/kestro" >"$work/stdout" 2>"$work/stderr" &
pid=$!
fail() {
    echo "FAIL: $*"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    echo "--- stderr of the game"; cat "$work/stderr"
    exit 1
}
win=$("$xwin" find physics 30) || fail "no window titled physics appeared"
echo "window $win"
box=$("$xwin" level "$win" 30) || fail "the window did not show a level"
echo "playfield at $box"
read -r left top width height <<<"$box"

# The pointer wall follows the pointer, also while paused. Row 1 is never scattered on, so both
# cells are empty; the pointer maps to the cell half a cell above and left of it.
cell_x() { echo $(( left + ($1 * 2 + 1) * width / 118 )); }
cell_y() { echo $(( top + ($1 * 2 + 1) * height / 94 )); }
wall_at() {
    local x y
    x=$(cell_x "$1") y=$(cell_y "$2")
    for _ in $(seq 1 50); do
        [ "$("$xwin" pixel "$win" "$x" "$y")" = "$3" ] && return 0
        sleep 0.1
    done
    return 1
}
"$xwin" move "$win" $(( left + 11 * width / 59 )) $(( top + 2 * height / 47 ))
wall_at 10 1 "0 0 0" || fail "no pointer wall at cell (10, 1)"
"$xwin" move "$win" $(( left + 21 * width / 59 )) $(( top + 2 * height / 47 ))
wall_at 20 1 "0 0 0" || fail "no pointer wall at cell (20, 1)"
wall_at 10 1 "$("$xwin" pixel "$win" "$(cell_x 30)" "$(cell_y 1)")" ||
    fail "the pointer wall at cell (10, 1) was not lifted"
echo "the pointer wall follows the pointer"
# Out of the way of the ball.
"$xwin" move "$win" $(( left + width - 2 )) $(( top + height - 2 ))

# Unpause: the score box (right of "Score:", above the playfield) counts down and the ball
# speeds up, from about 2.6 steps a second at first to 5 once the period has reached 200 ms.
score_box="$(( left + 524 )) $(( top - 28 )) 57 25"
score_before=$("$xwin" region "$win" $score_box)
# Right after start-up the box shows the first level's score already: it differs from a patch
# of the window of its size where nothing is drawn (between "Pause" and "Score:").
blank_patch=$("$xwin" region "$win" $(( left + 200 )) $(( top - 28 )) 57 25)
[ "$score_before" != "$blank_patch" ] || fail "the score box is blank after start-up"
echo "the score box shows the score from the start"
"$xwin" click "$win" 10 $((top - 14))
early=$("$xwin" ballsteps "$win" 3)
sleep 5
late=$("$xwin" ballsteps "$win" 3)
echo "ball steps in 3 s: $early at first, $late after 8 s"
[ "$early" -ge 4 ] || fail "the ball hardly moved after unpausing ($early steps in 3 s)"
[ "$late" -gt "$early" ] || fail "the ball did not speed up ($early then $late steps in 3 s)"
score_one=$("$xwin" region "$win" $score_box)
sleep 1.5
score_two=$("$xwin" region "$win" $score_box)
[ "$score_one" != "$score_before" ] || fail "the score box did not change after unpausing"
[ "$score_two" != "$score_one" ] || fail "the score box did not count down"
echo "the score counts down"

# Pause, save through the File menu's dialog, start a new level with Reset, and load the saved
# game back: the ball is where it was when the game was saved. Everything by keyboard, in Qt's own
# file dialog.
"$xwin" click "$win" 10 $((top - 14))
sleep 0.5
saved_ball=$("$xwin" ball "$win") || fail "no ball on screen"
dialog_keys() {  # menu mnemonic, then the path typed into the dialog
    "$xwin" keys "$win" alt+f "$1" || fail "cannot press keys"
    dlg=$("$xwin" find "Plim save/load" 10) || fail "no file dialog after alt+f $1"
    sleep 0.5
    "$xwin" keys "$dlg" ctrl+a "text:$2" Return || fail "cannot type into the file dialog"
    for _ in $(seq 1 50); do
        "$xwin" find "Plim save/load" 0 >/dev/null || return 0
        sleep 0.1
    done
    fail "the file dialog did not close"
}
dialog_keys s "$work/saved"
# The game writes the file once its dialog has closed.
for _ in $(seq 1 50); do
    [ "$(stat -c %s "$work/saved.egf" 2>/dev/null)" = 11184 ] && break
    sleep 0.1
done
[ "$(stat -c %s "$work/saved.egf" 2>/dev/null)" = 11184 ] || fail "no saved game at $work/saved.egf"
"$xwin" click "$win" 520 $(( top - 28 + 580 ))
sleep 0.5
reset_ball=$("$xwin" ball "$win")
[ "$reset_ball" != "$saved_ball" ] || fail "Reset did not start a new level"
dialog_keys o "$work/saved.egf"
sleep 0.5
loaded_ball=$("$xwin" ball "$win")
[ "$loaded_ball" = "$saved_ball" ] ||
    fail "after loading the ball is at $loaded_ball, saved at $saved_ball (reset: $reset_ball)"
echo "saved and loaded back through the File menu"

# A storm of window sizes with minimizing in between; the game lays itself out again and goes on
# showing its level.
"$xwin" storm "$win" 300 7 || fail "cannot resize the window"
kill -0 "$pid" 2>/dev/null || fail "the game ended during the resize storm"
"$xwin" level "$win" 30 >/dev/null || fail "no level on screen after the resize storm"
echo "survived a storm of 300 sizes"

"$xwin" close "$win"
for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the game did not end after the close request"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status"
echo "ended with status 0"
INNER
chmod +x "$work/session.sh"

xvfb-run -a -s "-screen 0 1280x1024x24" "$work/session.sh" "$work" "$xwin"

log="$work/kestro.erl"
[ -f "$log" ] || { echo "FAIL: no log at $log"; exit 1; }
# Records end in CR LF; compare without the CR.
mapfile -t records < <(tr -d '\r' <"$log")
expected=(
    "^\[  INFO \]  \{Error Subsystem\} Log file $work/kestro.erl opened @ [0-9]{6}:[0-9]{6}$"
    "^\[ DEBUG \]  \{Error Subsystem\} --Program Information--$"
    "^\[ DEBUG \]                    EXE Image: $work/kestro$"
    "^\[ DEBUG \]                    Instance: [0-9]+ \(False\)$"
    "^\[ DEBUG \]                    Version: [0-9]+\.[0-9]+\.[0-9]+"
    "^\[ DEBUG \]  \{cRender\} Class_Initalize\(\)$"
    "^\[ DEBUG \]  \{cRender\} renderInit\(Kestro\)$"
    "^\[ DEBUG \]  \{cRender\} renderStart\(\)$"
    "^\[ DEBUG \]  \{cRender\} renderStop\(\)$"
    "^\[ DEBUG \]  \{cRender\} renderDeinit\(\)$"
    "^\[ DEBUG \]  \{cRender\} Class_Terminate\(\)$"
    "^\[  INFO \]  \{Error Subsystem\} Log file closed @ [0-9]{6}:[0-9]{6}$"
)
if [ "${#records[@]}" -ne "${#expected[@]}" ]; then
    echo "FAIL: the log holds ${#records[@]} records, expected ${#expected[@]}:"
    printf '  %s\n' "${records[@]}"
    exit 1
fi
for i in "${!expected[@]}"; do
    if ! [[ "${records[$i]}" =~ ${expected[$i]} ]]; then
        echo "FAIL: log record $i is '${records[$i]}'"
        exit 1
    fi
done
echo "log complete: ${#records[@]} records"
