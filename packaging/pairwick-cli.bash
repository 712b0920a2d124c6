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
            COMPREPLY=($(compgen -W 'ports read write reset pair station ledger label' -- "$cur"))
        fi
        return
    fi

    case $prev in
        --profile | --log | --config)
            _filedir
            return
            ;;
        --values)
            _filedir csv
            return
            ;;
        --label)
            _filedir '@(zpl|svg)'
            return
            ;;
        --out)
            _filedir '@(zpl|pdf|png)'
            return
            ;;
        --set)
            # pair sets the names, the roles, the PIN and the bound address itself.
            local keys='name= baud= parity= stop= role= messages= pin= bind='
            [[ ${words[1]} == pair ]] && keys='baud= parity= stop= messages='
            COMPREPLY=($(compgen -W "$keys" -- "$cur"))
            # The value follows the key in the same word.
            compopt -o nospace
            return
            ;;
        --pin)
            COMPREPLY=($(compgen -W 'random' -- "$cur"))
            return
            ;;
        --by)
            COMPREPLY=($(compgen -W 'station slot operator hour day' -- "$cur"))
            return
            ;;
        --state)
            COMPREPLY=($(compgen -W 'passed failed interrupted rejected already started reserved' \
                -- "$cur"))
            return
            ;;
        --printer)
            COMPREPLY=($(compgen -W 'tcp: cups: dir: /dev/usb/lp' -- "$cur"))
            compopt -o nospace
            return
            ;;
        --timeout | --batch | --first | --count | --ledger | --station | --on-pass | \
            --slot-alarm | --master-name | --slave-name | --since | --until | --metrics | --seq | \
            --operator | --max-attempts | --label-copies | --reason)
            return
            ;;
    esac
    $split && return

    local command=${words[1]} options='--help --json'
    case $command in
        ports) ;;
        read | reset) options+=' --paced --timeout --log --quiet' ;;
        write) options+=' --paced --timeout --log --quiet --profile --set' ;;
        pair) options+=' --paced --timeout --log --quiet --pin --set --master-name --slave-name' ;;
        station)
            options+=' --batch --profile --set --values --first --count --ledger --station'
            options+=" --on-pass --again --quiet --log --timeout --config --metrics"
            options+=" --operator --max-attempts --slot-alarm"
            options+=' --label --printer --label-copies'
            ;;
        ledger)
            # The listing comes first, its options after it.
            if ((cword == 2)); then
                COMPREPLY=($(compgen -W 'batches units labels check roles report' -- "$cur"))
                return
            fi
            options+=' --ledger'
            [[ ${words[2]} == check ]] && options='--help --ledger'
            [[ ${words[2]} == roles ]] && options='--help --ledger --apply'
            [[ ${words[2]} == units ]] && options+=' --batch --state --attempts --csv --since'
            [[ ${words[2]} == report ]] && options+=' --batch --csv --since --until --by'
            [[ ${words[2]} == labels ]] && options+=' --batch --csv --since'
            [[ $cur == -* ]] && COMPREPLY=($(compgen -W "$options" -- "$cur"))
            return
            ;;
        label)
            if ((cword == 2)); then
                COMPREPLY=($(compgen -W 'preview print' -- "$cur"))
                return
            fi
            options='--help --label --out --batch --seq --sample --ledger'
            [[ ${words[2]} == print ]] &&
                options='--help --label --printer --label-copies --batch --seq --passed --since
                         --reason --pending --station --ledger'
            [[ $cur == -* ]] && COMPREPLY=($(compgen -W "$options" -- "$cur"))
            return
            ;;
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
