#!/usr/bin/env python3
"""Rounds of the XGetImage probe after a run of kdamond, from a perf script.

    bench/kdamond_rounds.py PERF_SCRIPT_TEXT

A round starts with the probe's send of 4 bytes (CR and three letters). Its
client is the one whose thread is switched in first after that send:
Quillterm, or telnet for xterm; the round's wake-to-request time runs from
that switch-in to the first write to the X server by Quillterm or xterm. A
round follows kdamond when kdamond was switched in within the 150 ms before
the send.
"""
import bisect
import re
import statistics
import sys

ROUND_SEND = 'len: 0x00000004'
AFTER_KDAMOND_S = 0.150
HORIZON_S = 0.005  # a round's client runs within this of the send
LINE = re.compile(r'\s*(\S+)\s+\[(\d+)\]\s+([\d.]+):\s+(\S+):\s*(.*)')
CLIENTS = {'quillterm': 'quillterm', 'telnet': 'xterm'}  # who wakes -> who writes to X


def events(path):
    with open(path, encoding='utf-8', errors='replace') as lines:
        for line in lines:
            m = LINE.match(line)
            if m:
                yield m.group(1), float(m.group(3)), m.group(4), m.group(5)


def switched_in(event, args):
    if event != 'sched:sched_switch':
        return None
    return args.split('next_comm=')[1].split()[0]


def wake_to_request(trace, start):
    """(client, microseconds) of the round starting at trace[start]."""
    t0 = trace[start][1]
    woken = None
    for k in range(start + 1, len(trace)):
        comm, t, event, args = trace[k]
        if t - t0 > HORIZON_S:
            return None
        name = switched_in(event, args)
        if woken is None and name in CLIENTS:
            woken = (name, t)
        if woken and comm == CLIENTS[woken[0]] and event == 'syscalls:sys_enter_writev':
            return CLIENTS[woken[0]], (t - woken[1]) * 1e6
    return None


def main(path):
    trace = list(events(path))
    kdamond = [t for _, t, event, args in trace
               if (switched_in(event, args) or '').startswith('kdamond')]
    parts = {}
    for i, (comm, t, event, args) in enumerate(trace):
        if comm != 'python3' or event != 'syscalls:sys_enter_sendto' or ROUND_SEND not in args:
            continue
        found = wake_to_request(trace, i)
        if found is None:
            continue
        k = bisect.bisect_left(kdamond, t) - 1
        after = k >= 0 and t - kdamond[k] < AFTER_KDAMOND_S
        parts.setdefault((found[0], after), []).append(found[1])
    for client in ('quillterm', 'xterm'):
        for after in (True, False):
            times = parts.get((client, after), [])
            if times:
                print('%-9s %-22s %3d rounds, wake to request median %4.0f us' % (
                    client, 'after kdamond' if after else 'otherwise', len(times),
                    statistics.median(times)))


if __name__ == '__main__':
    main(sys.argv[1])
