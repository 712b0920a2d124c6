# bash completion for pairwick-cli                         -*- shell-script -*-
# SPDX-License-Identifier: GPL-3.0-or-later

_pairwick_cli()
{
    local cur prev words cword split
    _init_completion -s || return

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

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--json --profile --set --paced --timeout --log --quiet
            --help --version' -- "$cur"))
        return
    fi

    # The first word that is neither an option nor an option's value names the subcommand.
    local i subcommand=
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --profile | --set | --timeout | --log) ((i++)) ;;
            -*) ;;
            *)
                subcommand=${words[i]}
                break
                ;;
        esac
    done

    case $subcommand in
        '')
            COMPREPLY=($(compgen -W 'ports read write reset' -- "$cur"))
            ;;
        read | write | reset)
            if [[ $cur == /* ]]; then
                COMPREPLY=($(compgen -W "$(printf '%s ' /dev/tty*)" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "$(printf 'COM%d ' {1..16})" -- "$cur"))
            fi
            ;;
    esac
} &&
    complete -F _pairwick_cli pairwick-cli
