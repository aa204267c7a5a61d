#!/bin/sh
# Stands in for the simulated receiver named by KEYPAD_SIM, with its arguments, and loses the first
# press of every teacher keypad key on its way there, as a busy program may miss a key: the demo has
# to press it again. The simulator takes this process's place, so that ending it ends the simulator.
set -e
dir=$(mktemp -d)
mkfifo "$dir/keys"
exec 3<&0
(
    exec >"$dir/keys"
    rm -r "$dir"
    seen=" "
    while IFS= read -r line; do
        case "$line" in
        teacher*|tlogin*)
            case "$seen" in
            *" $line "*) ;;
            *) seen="$seen$line "; continue ;;
            esac
            ;;
        esac
        printf '%s\n' "$line"
    done
) <&3 &
exec "$KEYPAD_SIM" "$@" <"$dir/keys" 3<&-
