#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Completes pairwick-cli command lines with the installed completion and compares the offers.
# Usage: test-completion.sh COMPLETION_FILE
source /usr/share/bash-completion/bash_completion || exit 1
source "$1" || exit 1
# Outside a real completion the builtin refuses to run; what it would set is not under test.
compopt() { :; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
touch "$scratch/run.log" "$scratch/profile.json" "$scratch/lot.csv" "$scratch/tag.svg"
cd "$scratch" || exit 1

failures=0
# check EXPECTED WORD...: the last word is the one being completed; EXPECTED is the sorted
# offer, or "has X" when the offer depends on the machine and must only include X.
check() {
    local expected=$1
    shift
    COMP_WORDS=(pairwick-cli "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _pairwick_cli
    local offer
    offer=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    if [[ $expected == has\ * ]]; then
        [[ " $offer " == *" ${expected#has } "* ]] && return
    elif [[ $offer == "$expected" ]]; then
        return
    fi
    echo "FAIL: pairwick-cli $* -> [$offer], expected [$expected]"
    failures=$((failures + 1))
}

check 'label ledger pair ports read reset station write' ''
check 'read reset' r
check 'pair ports' p
check '--master-name' pair COM1 COM2 --m
check 'random' pair COM1 COM2 --pin r
check 'parity=' pair COM1 COM2 --set p
check '--help --version' -
check '' --help ''
check '' frobnicate ''
check '--json' read --j
check '--paced --profile' write --p
check '--paced' read --p
check '--help --json' ports -
check '' ports ''
check '--quiet' reset --q
check 'COM1 COM10 COM11 COM12 COM13 COM14 COM15 COM16' read COM1
check 'COM7' write --json COM7
check 'has /dev/tty' reset /dev/tty
check 'parity= pin=' write --set p
check 'baud= bind=' write --profile x.json --set b
check 'run.log' read --log r
check 'profile.json' write --profile p
check '' read --timeout ''
check 'COM1 COM10 COM11 COM12 COM13 COM14 COM15 COM16' write --profile read COM1
check 'COM2' write --set name=x --timeout 5 COM2
check 'station' st
check '--again' station COM1 --ag
check '--config --count' station COM1 --c
check 'COM2' station COM1 --batch lot-7 COM2
check '' station COM1 --batch ''
check '--max-attempts --metrics' station COM1 --m
check '--operator' station COM1 --op
check '' station COM1 --operator ''
check '' station COM1 --max-attempts ''
check '' station COM1 --metrics ''
check '--slot-alarm' station COM1 --sl
check '' station COM1 --slot-alarm ''
check 'lot.csv' station COM1 --values l
check 'batches check labels report roles units' ledger ''
check 'day hour operator slot station' ledger report --by ''
check '--apply' ledger roles --a
check '--attempts' ledger units --a
check '--since' ledger units --si
check '--state' ledger units --st
check 'rejected reserved' ledger units --state re
check '--help --ledger' ledger check -
check '--help --json --ledger' ledger batches -
check '' ledger units --ledger ''
check 'label ledger' l
check 'preview print' label ''
check '--label --ledger' label preview --l
check '--sample --seq' label preview --s
check 'tag.svg' label preview --label t
check '' label preview --out t
check '' label preview --seq ''
check '--label --label-copies --ledger --log' station COM1 --l
check '/dev/usb/lp cups: dir: tcp:' station COM1 --printer ''
check '--batch --csv --help --json --ledger --since' ledger labels --
check '--passed --pending --printer' label print --p
check '' label print --reason ''
exit $((failures > 0))
