#!/usr/bin/env python3
"""The phases of byte to pixel from the system calls bench/phases.sh recorded.

    bench/phases.py OUT_PREFIX

A round starts with the probe's send of 10 bytes (ESC [ 12 ; 1 H and three
letters). Quillterm: its wait returns, it reads the 10 bytes, and writes to
the X server. xterm: telnet's wait returns, it receives and writes the bytes
to the pty, xterm's wait returns, it reads them and writes to the X server.
Each phase's median and p90 over the rounds are printed, in microseconds.
"""
import re
import statistics
import sys

ROUND_BYTES = 10
WAITS = ('sys_exit_poll', 'sys_exit_ppoll')  # glib's loop polls, Qt's own (QT_NO_GLIB) ppolls
LINE = re.compile(r'\s*(\S+)\s+\d+\s+([\d.]+):\s+syscalls:(\S+):\s*(.*)')


def events(path):
    """(time in us, process name, system call event, its arguments) per line."""
    found = []
    with open(path, encoding='utf-8', errors='replace') as lines:
        for line in lines:
            m = LINE.match(line)
            if m:
                found.append((float(m.group(2)) * 1e6, m.group(1), m.group(3), m.group(4).strip()))
    return found


def read_of_round(args):
    return args == hex(ROUND_BYTES)


def last_before(times, moment):
    earlier = [t for t in times if t <= moment]
    return earlier[-1] if earlier else None


def quillterm_rounds(calls, sends):
    """The wait's return before the read of a round, the read, the first write after it."""
    rounds, wake, current = [], None, None
    for t, _, call, args in calls:
        if call in WAITS and current is None:
            wake = t
        elif call == 'sys_exit_read' and read_of_round(args) and wake is not None:
            current = {'send': last_before(sends, wake), 'wake': wake, 'read': t}
        elif call == 'sys_enter_writev' and current is not None:
            current['X request'] = t
            rounds.append(current)
            current, wake = None, None
    return rounds


def xterm_rounds(calls, sends):
    """telnet's wake, receive and pty write; then xterm's wake, read and X request."""
    rounds, current = [], None
    for t, name, call, args in calls:
        who = 'telnet' if name == 'telnet' else 'xterm'
        step = None
        if who == 'telnet' and call == 'sys_exit_pselect6':
            if current is None or not ('receive' in current or 'pty write' in current):
                current = {'telnet wake': t}
        elif current is None:
            continue
        elif who == 'telnet' and call == 'sys_enter_recvfrom':
            step = 'receive'
        elif who == 'telnet' and call == 'sys_enter_write' and f'count: 0x{ROUND_BYTES:08x}' in args:
            step = 'pty write'
        elif who == 'xterm' and call == 'sys_exit_pselect6' and 'pty write' in current:
            step = 'xterm wake'
        elif who == 'xterm' and call == 'sys_exit_read' and read_of_round(args) and 'xterm wake' in current:
            step = 'read'
        elif who == 'xterm' and call == 'sys_enter_writev' and 'read' in current:
            current['X request'] = t
            current['send'] = last_before(sends, current['telnet wake'])
            rounds.append(current)
            current = None
        if step:
            current.setdefault(step, t)
    return rounds


def report(title, rounds, order):
    print(f'{title}: {len(rounds)} rounds')
    pairs = list(zip(order, order[1:])) + [(order[0], order[-1]), (order[1], order[-1])]
    for a, b in pairs:
        spans = sorted(r[b] - r[a] for r in rounds if r.get(a) is not None and b in r)
        if spans:
            p90 = spans[int(len(spans) * 0.9)]
            print(f'  {a:>12} -> {b:<12} median {statistics.median(spans):7.1f}  p90 {p90:7.1f}')


def main():
    prefix = sys.argv[1]
    sends = [t for t, _, call, args in events(prefix + '.s.txt')
             if call == 'sys_enter_sendto' and f'len: 0x{ROUND_BYTES:08x}' in args]
    report('Quillterm', quillterm_rounds(events(prefix + '.q.txt'), sends),
           ['send', 'wake', 'read', 'X request'])
    report('xterm + telnet', xterm_rounds(events(prefix + '.x.txt'), sends),
           ['send', 'telnet wake', 'receive', 'pty write', 'xterm wake', 'read', 'X request'])


if __name__ == '__main__':
    main()
