#!/usr/bin/env bash
# Starts the real game under a private Xvfb display, waits until its window shows the first
# level, closes it the way a window manager does (WM_DELETE_WINDOW) and checks that it ends
# with status 0 and leaves a complete log.
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

cat >"$work/session.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
work=$1
xwin=$2
export QT_QPA_PLATFORM=xcb
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

xvfb-run -a -s "-screen 0 1024x768x24" "$work/session.sh" "$work" "$xwin"

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
