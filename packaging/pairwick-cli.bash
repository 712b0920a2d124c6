# bash completion for pairwick-cli                         -*- shell-script -*-
# SPDX-License-Identifier: GPL-3.0-or-later

_pairwick_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    # The command comes first; --help and --version stand alone.
    if ((cword == 1)); then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--help --version' -- "$cur"))
        else
            COMPREPLY=($(compgen -W 'ports read write reset' -- "$cur"))
        fi
        return
    fi

    case $prev in
        --profile | --log)
            _filedir
            return
            ;;
        --set)
            COMPREPLY=($(compgen -W 'name= baud= parity= stop= role= messages= pin= bind=' \
                -- "$cur"))
            # The value follows the key in the same word.
            compopt -o nospace
            return
            ;;
        --timeout)
            return
            ;;
    esac
    $split && return

    local command=${words[1]} options='--help --json'
    case $command in
        ports) ;;
        read | reset) options+=' --paced --timeout --log --quiet' ;;
        write) options+=' --paced --timeout --log --quiet --profile --set' ;;
        *) return ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ $command == ports ]]; then
        return
    elif [[ $cur == /* ]]; then
        COMPREPLY=($(compgen -W "$(printf '%s ' /dev/tty*)" -- "$cur"))
    else
        COMPREPLY=($(compgen -W "$(printf 'COM%d ' {1..16})" -- "$cur"))
    fi
} &&
    complete -F _pairwick_cli pairwick-cli
