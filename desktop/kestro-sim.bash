# bash completion for kestro-sim: its commands, then each command's options and file names.

_kestro_sim() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "new step show play entity render thumbnail scores --help" -- "$cur")
        return 0
    fi
    local command=${COMP_WORDS[1]} options=""
    case $command in
    new) options="--level --accel --speed --banked --prev-accel --seed --draws --key" ;;
    step) options="--ticks --key" ;;
    play) options="--ms --seed --draws --pointer --tile --out --key --scores --name --autopilot --moves-out --events" ;;
    render) options="--width --height --palette" ;;
    entity)
        if [ "$COMP_CWORD" -eq 2 ]; then
            mapfile -t COMPREPLY < <(compgen -W "encode decode" -- "$cur")
        fi
        return 0
        ;;
    show | thumbnail | scores) ;;
    *) return 0 ;;
    esac
    case $prev in
    --draws | --pointer | --out | --scores | --moves-out)
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return 0
        ;;
    --palette)
        mapfile -t COMPREPLY < <(compgen -W "classic high-contrast" -- "$cur")
        return 0
        ;;
    --*)
        [ -n "$options" ] && return 0  # a value: nothing to offer
        ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options --help" -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
    return 0
}
complete -o filenames -F _kestro_sim kestro-sim
