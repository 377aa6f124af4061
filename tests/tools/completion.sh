#!/usr/bin/env bash
# The bash completion of kestro-sim offers the commands `kestro-sim --help` lists, the options
# of each command's usage line, entity's two words, and file names for a saved game.
#   completion.sh COMPLETION_SCRIPT KESTRO_SIM
set -euo pipefail
script=$1
sim=$2
fail() {
    echo "FAIL: $*"
    exit 1
}
# shellcheck source=/dev/null
source "$script"

# What the completion offers for the words of a command line, the last one being completed.
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _kestro_sim
    printf '%s\n' "${COMPREPLY[@]}" | sort -u
}

help=$("$sim" --help)
commands=$( (awk '/^  [a-z]/ { print $1 }' <<<"$help"; echo --help) | sort -u)
[ "$(complete_line kestro-sim '')" = "$commands" ] ||
    fail "the commands offered: $(complete_line kestro-sim '' | tr '\n' ' ') (not $(tr '\n' ' ' <<<"$commands"))"
[ "$(complete_line kestro-sim th)" = thumbnail ] || fail "'th' is not completed to thumbnail"
[ "$(complete_line kestro-sim entity '')" = "$(printf 'decode\nencode')" ] ||
    fail "entity's words: $(complete_line kestro-sim entity '' | tr '\n' ' ')"

# Each command's options: those of its usage lines (the line naming it and those continuing it).
for command in $(awk '/^  [a-z]/ { print $1 }' <<<"$help" | sort -u); do
    [ "$command" = entity ] && continue
    want=$( (awk -v c="$command" '/^  [a-z]/ { on = ($1 == c) } /^              \[/ && on { print } /^  [a-z]/ && on { print }' <<<"$help" |
        grep -o -- '--[a-z][a-z-]*' || true; echo --help) | sort -u)
    got=$(complete_line kestro-sim "$command" x.egf --)
    [ "$got" = "$want" ] || fail "$command's options: $(tr '\n' ' ' <<<"$got") (not $(tr '\n' ' ' <<<"$want"))"
    echo "$command: $(tr '\n' ' ' <<<"$got")"
done
[ -z "$(complete_line kestro-sim new x.egf --level '')" ] || fail "a value of --level is offered something"
[ "$(complete_line kestro-sim render x.egf x.png --palette '')" = "$(printf 'classic\nhigh-contrast')" ] ||
    fail "the palettes offered: $(complete_line kestro-sim render x.egf x.png --palette '' | tr '\n' ' ')"

# A saved game's name is completed from the files there.
work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-completion-XXXXXX")
trap 'rm -rf "$work"' EXIT
touch "$work/level3.egf"
[ "$(complete_line kestro-sim show "$work/lev")" = "$work/level3.egf" ] || fail "no file name for show"
[ "$(complete_line kestro-sim play x.egf --pointer "$work/lev")" = "$work/level3.egf" ] ||
    fail "no file name for --pointer"
echo "completion: commands, options and file names"
