#!/usr/bin/env bash
# The manual pages render without a warning at 80 columns, and kestro-sim(6) names every command
# and option that `kestro-sim --help` lists; kestro(6) names the game's own options.
#   man_pages.sh KESTRO_SIM MAN_FOLDER       (MAN_FOLDER holds kestro.6.gz and kestro-sim.6.gz)
# Exit status 77 (skipped) when man is not installed; 1 when a check fails.
set -euo pipefail
sim=$1
pages=$2
fail() {
    echo "FAIL: $*"
    exit 1
}
command -v man >/dev/null 2>&1 || { echo "SKIPPED: man is not installed (Debian package man-db)"; exit 77; }

for page in kestro.6.gz kestro-sim.6.gz; do
    [ -s "$pages/$page" ] || fail "no $pages/$page"
    warnings=$(MANWIDTH=80 man --warnings -l "$pages/$page" 2>&1 >/dev/null) ||
        fail "man cannot render $page: $warnings"
    [ -z "$warnings" ] || fail "$page renders with warnings:"$'\n'"$warnings"
    echo "$page: no warnings at 80 columns"
done

# The pages' text on lines too wide to break, so that each name stands whole.
text() { MANWIDTH=1000 man -l "$pages/$1" 2>/dev/null; }
sim_page=$(text kestro-sim.6.gz)
help=$("$sim" --help)
# The commands are the lines indented by two spaces (an entity command has two words).
commands=$(awk '/^  [a-z]/ { print ($1 == "entity" ? $1 " " $2 : $1) }' <<<"$help" | sort -u)
[ -n "$commands" ] || fail "kestro-sim --help lists no commands"
options=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
while read -r command; do
    grep -qE "^ +$command( |$)" <<<"$sim_page" || fail "kestro-sim(6) does not describe '$command'"
done <<<"$commands"
while read -r option; do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$sim_page" ||
        fail "kestro-sim(6) does not name $option"
done <<<"$options"
echo "kestro-sim(6): $(wc -l <<<"$commands") commands, $(wc -l <<<"$options") options"

game_page=$(text kestro.6.gz)
for word in '--help' '--version' '[FILE]'; do
    grep -qF -- "$word" <<<"$game_page" || fail "kestro(6) does not name $word"
done
echo "kestro(6): [FILE], --help and --version"
