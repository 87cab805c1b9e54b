#!/bin/sh
# quillterm-replay --asciicast: what the real asciinema program plays from the
# recording is the terminal's output of the log, Telnet commands taken out.
replay="$1"
captures="$2"
fail() { echo "FAIL: $*"; exit 1; }
command -v asciinema >/dev/null || fail "asciinema is not installed (scripts/bootstrap)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The log's bytes for the terminal, found apart from the program: IAC IAC is
# 255, every other command and subnegotiation goes; the plain terminal
# draws nothing for the bytes from 0x80 up, the extended one shows U+FFFD for
# each malformed UTF-8 character.
terminal_output() {  # LOG PLAIN|EXTENDED OUT
    python3 - "$1" "$2" "$3" <<'PY'
import sys
data, out, state = open(sys.argv[1], 'rb').read(), bytearray(), 'data'
for b in data:
    if state == 'data':
        if b == 255: state = 'iac'
        else: out.append(b)
    elif state == 'iac':
        if b == 255: out.append(b); state = 'data'
        elif b == 250: state = 'sb'
        elif 251 <= b <= 254: state = 'option'
        else: state = 'data'
    elif state == 'option': state = 'data'
    elif state == 'sb': state = 'sbiac' if b == 255 else 'sb'
    elif state == 'sbiac': state = 'data' if b == 240 else 'sb'
if sys.argv[2] == 'PLAIN': out = bytes(b for b in out if b < 0x80)
else: out = bytes(out).decode('utf-8', 'replace').encode()
open(sys.argv[3], 'wb').write(out)
PY
}

# asciinema cat opens /dev/tty: it runs on a pseudo-terminal, its output
# goes to a file.
played() {  # CAST OUT
    script -qec "asciinema cat '$1' > '$2'" /dev/null </dev/null >/dev/null 2>&1 ||
        fail "asciinema cat $1 failed"
}

# Reads of 1 to 37 bytes, 0.01 s to 0.2 s apart.
timing_for() {  # LOG
    python3 - "$1" <<'PY'
import os, sys
size, at, n, lines = os.path.getsize(sys.argv[1]), 0, 0, []
while at < size:
    count = min(size - at, 1 + (n * 7) % 37)
    lines.append('%.6f %d' % (0.01 + (n % 20) / 100, count))
    at, n = at + count, n + 1
open(sys.argv[1] + '.timing', 'w').write('\n'.join(lines) + '\n')
PY
}

check() {  # LOG PLAIN|EXTENDED OPTIONS...
    log=$1 kind=$2
    shift 2
    timing_for "$log"
    "$replay" --asciicast "$log.cast" "$@" "$log" || fail "conversion of $log"
    played "$log.cast" "$log.played"
    terminal_output "$log" "$kind" "$log.expected"
    cmp -s "$log.played" "$log.expected" || fail "$log: played bytes differ from the log's"
    events=$(($(wc -l < "$log.cast") - 1))
    [ "$events" -eq "$(wc -l < "$log.timing")" ] || fail "$log: $events events"
}

for capture in "$captures"/*.from-server.bin; do
    cp "$capture" "$work/$(basename "$capture")"
    check "$work/$(basename "$capture")" PLAIN
done

# The extended terminal with UTF-8 characters cut by the reads, controls
# that JSON escapes, a title with a character beyond the BMP, and Telnet.
printf 'caf\303\251 \342\202\254 \360\237\230\200\r\n\033]0;t\360\237\214\215\007\377\373\001"q" \\b\t\001\177\377\377\342\202\033[1;31mred\033[m\r\n' > "$work/utf8.log"
check "$work/utf8.log" EXTENDED --extended --size 100x30
head -n 1 "$work/utf8.log.cast" | grep -q '"width":100,"height":30,.*"env":{"TERM":"xterm-256color"}' ||
    fail "extended header: $(head -n 1 "$work/utf8.log.cast")"

# The header: 80 x 24, vt100, and the time the log began (its modification
# time less the times of its reads).
printf 'one\r\ntwo\r\n' > "$work/t.log"
printf '1.5 5\n2.5 5\n' > "$work/t.log.timing"
touch -d @1700000010 "$work/t.log"
"$replay" --asciicast "$work/t.cast" "$work/t.log" || fail "conversion of t.log"
[ "$(head -n 1 "$work/t.cast")" = '{"version":2,"width":80,"height":24,"timestamp":1700000006,"env":{"TERM":"vt100"}}' ] ||
    fail "header: $(head -n 1 "$work/t.cast")"
[ "$(sed -n 3p "$work/t.cast")" = '[4.000000, "o", "two\r\n"]' ] || fail "event time: $(sed -n 3p "$work/t.cast")"

# A timing file that does not add up to the log is refused.
printf '1 3\n' > "$work/t.log.timing"
"$replay" --asciicast "$work/bad.cast" "$work/t.log" 2>"$work/err" && fail "bad timing accepted"
grep -q 'counts add up to 3 bytes' "$work/err" || fail "bad timing message: $(cat "$work/err")"
"$replay" --asciicast "$work/bad.cast" < "$work/t.log" 2>/dev/null && fail "standard input accepted"
echo PASS
