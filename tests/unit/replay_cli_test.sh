#!/bin/sh
# The replay tool's command line: the output's shape, the exit codes of bad use.
replay="$1"
fail() { echo "FAIL: $*"; exit 1; }

out=$(printf 'A\033[2JB' | "$replay") || fail "plain run exited $?"
[ "$(echo "$out" | sed -n 1,7p | tr '\n' ';')" = "cursor 0 2;attribute 0;region 1 24;keys normal;beeps 0;sent;screen;" ] \
    || fail "header: $out"
[ "$(echo "$out" | sed -n 8p)" = "| B                                                                              |" ] \
    || fail "row 0: $(echo "$out" | sed -n 8p)"
[ "$(echo "$out" | wc -l)" -eq 56 ] || fail "line count $(echo "$out" | wc -l)"
[ "$(echo "$out" | sed -n 32p)" = "attributes" ] || fail "attributes heading"

out=$(printf '\377\375\030\a' | "$replay" --history --chunk 1 -) || fail "history run"
echo "$out" | grep -qx 'sent ff fb 18' || fail "sent line: $out"
echo "$out" | grep -qx 'beeps 1' || fail "beeps line"
[ "$(echo "$out" | wc -l)" -eq 332 ] || fail "history line count"

# The transcript instead of the report; --history changes nothing in it.
out=$(printf 'one  \r\n\033[1mtwo\r\n' | "$replay" --transcript --history) || fail "transcript run"
[ "$out" = "$(printf 'one\ntwo')" ] || fail "transcript: $out"
# Cells from the extended terminal's Latin-1 range come out as UTF-8.
out=$(printf 'h\303\251llo' | "$replay" --transcript --extended) || fail "extended transcript run"
[ "$out" = "$(printf 'h\303\251llo')" ] || fail "extended transcript: $out"
out=$(printf '\377\375\037' | "$replay" --extended) || fail "extended run"
echo "$out" | grep -qx 'sent ff fb 1f ff fa 1f 00 50 00 18 ff f0' || fail "--extended: $out"

# --cells: the size, the cursor and one line of cells per row, in both terminals.
out=$(printf 'A\033[1mB' | "$replay" --cells) || fail "cells run"
[ "$(echo "$out" | sed -n 1,2p | tr '\n' ';')" = "size 24 80;cursor 0 2;" ] || fail "cells header: $out"
[ "$(echo "$out" | wc -l)" -eq 26 ] || fail "cells line count"
row0=$(echo "$out" | sed -n 3p)
[ "$(echo "$row0" | cut -d' ' -f1-5)" = "row 0: 41,d,d,- 42,d,d,b 20,d,d,-" ] || fail "cells row 0: $row0"
[ "$(echo "$row0" | wc -w)" -eq 82 ] || fail "cells per row"
[ "$(echo "$out" | sed -n 26p | cut -d' ' -f1-2)" = "row 23:" ] || fail "last row"
# The extended terminal at another size, the smallest; a pending wrap shows in the last column.
out=$(printf '\033[31;48;2;1;2;3mx\033[2;1H%020d' 0 | "$replay" --cells --extended --size 20x5) \
    || fail "extended cells run"
[ "$(echo "$out" | sed -n 1,2p | tr '\n' ';')" = "size 5 20;cursor 1 19;" ] || fail "sized header: $out"
[ "$(echo "$out" | sed -n 3p | cut -d' ' -f1-3)" = "row 0: 78,1,#010203,-" ] || fail "extended cell"
[ "$(echo "$out" | sed -n 4p | wc -w)" -eq 22 ] || fail "sized row width"
[ "$(echo "$out" | wc -l)" -eq 7 ] || fail "sized line count"

# ANSI art in code page 437 on the BBS terminal's 80 x 25 screen: a double
# box in bright cyan on blue round rows of blocks in iCE colours (blink is
# the bright background); the last cell stays empty, as art leaves it, since
# writing it would wrap and scroll at once.
art=$(mktemp)
line() { n=0; while [ $n -lt 78 ]; do printf "$1"; n=$((n + 1)); done; }
{
    printf '\033[2J\033[?33h\033[1;36;44m\311'; line '\315'; printf '\273'
    r=1
    while [ $r -lt 24 ]; do
        printf '\033[0;1;36;44m\272\033[0;5;33;41m'; line '\262'; printf '\033[0;1;36;44m\272'
        r=$((r + 1))
    done
    printf '\310'; line '\315'
} >"$art"
out=$("$replay" --bbs --cells "$art") || fail "bbs cells run"
[ "$(echo "$out" | sed -n 1,2p | tr '\n' ';')" = "size 25 80;cursor 24 79;" ] || fail "bbs header: $out"
[ "$(echo "$out" | wc -l)" -eq 27 ] || fail "bbs line count"
[ "$(echo "$out" | sed -n 3p | cut -d' ' -f3,4,82)" = "2554,14,4,- 2550,14,4,- 2557,14,4,-" ] \
    || fail "bbs top row: $(echo "$out" | sed -n 3p | cut -d' ' -f1-5)"
[ "$(echo "$out" | sed -n 15p | cut -d' ' -f1-4,82)" = "row 12: 2551,14,4,- 2593,3,9,- 2551,14,4,-" ] \
    || fail "bbs block row: $(echo "$out" | sed -n 15p | cut -d' ' -f1-5)"
[ "$(echo "$out" | sed -n 27p | cut -d' ' -f1-3,81,82)" = "row 24: 255a,14,4,- 2550,14,4,- 20,d,d,-" ] \
    || fail "bbs bottom row: $(echo "$out" | sed -n 27p | cut -d' ' -f1-5)"
out=$("$replay" --bbs --transcript "$art" | sed -n 2p) || fail "bbs transcript run"
[ "$(printf '%s' "$out" | cut -c1-9)" = "$(printf '\342\225\221\342\226\223\342\226\223')" ] \
    || fail "bbs transcript: $out"
rm -f "$art"

tmp=$(mktemp)
printf 'abcdefghij' >"$tmp"
out=$("$replay" --wrap --show-codes "$tmp") || fail "file run"
echo "$out" | grep -q '^|\[97\]\[97\]\[98\]' || fail "show codes: $out"
rm -f "$tmp"

for bad in "--chunk 0" "--chunk 101" "--chunk x" "--chunk" "--frobnicate" "/nonexistent/file" "/" \
    "--size 20x5" "--cells --transcript" "--extended --size" "--extended --size 19x5" \
    "--extended --size 20x4" "--extended --size 1001x24" "--extended --size 80x1001" \
    "--extended --size 80x" "--extended --size x24" "--extended --size 80*24" \
    "--extended --size 80x24x2" "--bbs --extended"; do
    # shellcheck disable=SC2086
    "$replay" $bad </dev/null >/dev/null 2>"$tmp.err"
    rc=$?
    [ $rc -eq 2 ] || fail "'$bad' exited $rc"
    [ "$(wc -l <"$tmp.err")" -eq 1 ] || fail "'$bad' error text: $(cat "$tmp.err")"
done
"$replay" </ >/dev/null 2>"$tmp.err"
[ $? -eq 2 ] || fail "unreadable standard input"
"$replay" --chunk " 5" </dev/null >/dev/null 2>&1
[ $? -eq 2 ] || fail "chunk with a blank"
"$replay" "$(printf -- '--x\ny')" </dev/null >/dev/null 2>"$tmp.err"
[ "$(wc -l <"$tmp.err")" -eq 1 ] || fail "an option with a line break gives one error line"
rm -f "$tmp.err"
echo "replay_cli: all checks passed"
