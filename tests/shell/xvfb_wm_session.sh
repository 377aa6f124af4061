#!/usr/bin/env bash
# The real game on a private Xvfb display with a window manager (openbox), as a player leaves and
# comes back to it: the score box shows the score right after start-up, P pauses and resumes the
# game and the pause hint lies over the playfield while it is paused, minimizing the running game
# or turning to another window pauses it, and with "Pause When the Window Is Left" turned off in
# the player's configuration turning to another window leaves it running.
#   xvfb_wm_session.sh KESTRO KESTRO_XWIN
# Exit status 77 (skipped) when xvfb-run or openbox is not installed.
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
if ! command -v openbox >/dev/null 2>&1; then
    echo "SKIPPED: openbox is not installed (Debian package openbox)"
    exit 77
fi

# The log lies beside the executable: run a copy in a folder of its own. Everything the game and
# the window manager keep per user stays in that folder too.
work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-xvfb-wm-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$kestro" "$work/kestro"

cat >"$work/session.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
work=$1
xwin=$2
export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
mkdir -p "$XDG_CONFIG_HOME/kestro"

pid=
decoy_pid=
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
stop() {
    [ -n "$decoy_pid" ] && kill "$decoy_pid" 2>/dev/null
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    kill "$wm_pid" 2>/dev/null
    wait 2>/dev/null
}
fail() {
    echo "FAIL: $*"
    stop
    echo "--- stderr of the game"; cat "$work/stderr" 2>/dev/null
    echo "--- the window manager's messages"; cat "$work/openbox.log"
    exit 1
}
wm=$("$xwin" wm 20) || fail "the window manager did not start"
echo "window manager: $wm"

# Another program's window, small and in the screen's corner, clear of the game's window.
"$xwin" decoy "Another window" 55 &
decoy_pid=$!
decoy=$("$xwin" find "Another window" 20) || fail "the other window did not appear"

# Starts the game and finds its window and the parts of it the checks read: the playfield and
# the strip across its middle where the pause hint lies.
start() {
    "$work/kestro" >"$work/stdout" 2>"$work/stderr" &
    pid=$!
    win=$("$xwin" find physics 30) || fail "no window titled physics appeared"
    box=$("$xwin" level "$win" 30) || fail "the window did not show a level"
    read -r left top width height <<<"$box"
    # Above the playfield: the "Pause" box and the score box, which counts down while the game
    # runs.
    field="$left $(( top - 28 )) $width $(( height + 28 ))"
    hint_strip="$left $(( top + height / 2 - 25 )) $width 50"
    # The pointer wall follows the pointer: keep the pointer off the playfield.
    "$xwin" move "$win" -60 -60
    "$xwin" focus "$win" || fail "the game's window cannot be activated"
}
close_game() {
    "$xwin" close "$win"
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the game did not end after the close request"
    wait "$pid"
    local status=$?
    pid=
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
}

# Paused: nothing on the playfield or above it changes for over a second, while a running game
# moves its ball about three times a second and counts its score down.
expect_paused() {
    local changes
    changes=$("$xwin" changes "$win" $field 1.2) || fail "cannot read the window ($1)"
    [ "$changes" -eq 0 ] || fail "the game is not paused $1 (the playfield changed $changes times)"
}
expect_running() {
    local steps
    steps=$("$xwin" ballsteps "$win" 1.5) || fail "cannot read the window ($1)"
    [ "$steps" -ge 2 ] || fail "the game is not running $1 (the ball moved $steps times in 1.5 s)"
}
press() {
    "$xwin" focus "$win" || fail "the game's window cannot be activated"
    "$xwin" keys "$win" "$1" || fail "cannot press $1"
    sleep 0.1
}

# --- The player's preference as it comes: leaving the window pauses the game.
start
echo "window $win, playfield at $box"
# Right after start-up the box shows the first level's score: it differs from a patch of the
# window of its size where nothing is drawn (between "Pause" and "Score:").
score_box=$("$xwin" region "$win" $(( left + 524 )) $(( top - 28 )) 57 25)
blank_patch=$("$xwin" region "$win" $(( left + 200 )) $(( top - 28 )) 57 25)
[ "$score_box" != "$blank_patch" ] || fail "the score box is blank after start-up"
echo "the score box shows the score from the start"

# The hint lies across the middle of the playfield while the game is paused and goes when it
# runs: the strip there differs between the two, read right before and after P.
expect_paused "at start-up"
strip_paused=$("$xwin" region "$win" $hint_strip)
press p
strip_running=$("$xwin" region "$win" $hint_strip)
[ "$strip_running" != "$strip_paused" ] || fail "the pause hint did not go when P resumed"
expect_running "after P"
strip_running=$("$xwin" region "$win" $hint_strip)
press p
strip_paused=$("$xwin" region "$win" $hint_strip)
[ "$strip_paused" != "$strip_running" ] || fail "no pause hint over the playfield after P"
expect_paused "after P again"
echo "P pauses and resumes, with the pause hint while paused"

# The keyboard's Pause key resumes as P does; minimizing the running game pauses it.
press Pause
expect_running "after the Pause key"
"$xwin" minimize "$win" || fail "the window manager did not minimize the game"
sleep 0.5
"$xwin" focus "$win" || fail "the minimized game could not be shown again"
sleep 0.3
expect_paused "after it was minimized and shown again"
echo "minimizing pauses the game"

press p
expect_running "after P on coming back"
"$xwin" focus "$decoy" || fail "the other window cannot be activated"
sleep 0.3
expect_paused "while another window is active"
echo "turning to another window pauses the game"
close_game

# --- With the preference turned off the game runs on while the player is away.
printf '[Game]\nPauseWhenLeft=false\n' >"$XDG_CONFIG_HOME/kestro/kestro.conf"
start
press p
expect_running "after P with PauseWhenLeft=false"
"$xwin" focus "$decoy" || fail "the other window cannot be activated"
sleep 0.3
expect_running "while another window is active, with PauseWhenLeft=false"
"$xwin" minimize "$win" || fail "the window manager did not minimize the game"
sleep 0.5
"$xwin" focus "$win" || fail "the minimized game could not be shown again"
expect_running "after it was minimized and shown again, with PauseWhenLeft=false"
echo "with PauseWhenLeft=false leaving the window does not pause the game"
close_game

"$xwin" close "$decoy"
stop
INNER
chmod +x "$work/session.sh"

xvfb-run -a -s "-screen 0 1280x1024x24" "$work/session.sh" "$work" "$xwin"

# The game closed its log both times it ended.
log="$work/kestro.erl"
[ -f "$log" ] || { echo "FAIL: no log at $log"; exit 1; }
tail -n 1 "$log" | tr -d '\r' | grep -qE '\{Error Subsystem\} Log file closed @' ||
    { echo "FAIL: the log was not closed: $(tail -n 1 "$log")"; exit 1; }
echo "the game ended with status 0 and closed its log"
