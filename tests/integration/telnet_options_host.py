#!/usr/bin/env python3
"""A Telnet host on 127.0.0.1 for the integration tests: it compresses what it
sends (MCCP2), asks for CHARSET and cycles the terminal type inside the
compressed stream, and checks each of the client's replies byte for byte.

It prints the port it listens on, then "negotiation ok" or "negotiation
failed: ...", then what the client sends from then on: "data HEX" for the
stream and "urgent HEX" for TCP urgent data. It serves one client and ends
when the client goes, or after a minute.
"""
import select
import socket
import sys
import time
import zlib

IAC, SB, SE, WILL, DO = 255, 250, 240, 251, 253
COMPRESS2, CHARSET, TTYPE = 86, 42, 24
DEADLINE = time.monotonic() + 60


def say(line):
    print(line, flush=True)


class Client:
    def __init__(self, conn):
        self.conn = conn
        self.received = b""

    def expect(self, reply):
        """Reads until `reply` is exactly what came since the last expect."""
        end = min(DEADLINE, time.monotonic() + 15)
        while len(self.received) < len(reply) and time.monotonic() < end:
            ready, _, _ = select.select([self.conn], [], [], 0.1)
            if ready:
                chunk = self.conn.recv(4096)
                if not chunk:
                    break
                self.received += chunk
        got, self.received = self.received, b""
        if got != reply:
            raise AssertionError(f"expected {reply.hex(' ')}, got {got.hex(' ')}")


def subnegotiation(option, data):
    return bytes([IAC, SB, option]) + data + bytes([IAC, SE])


def negotiate(client):
    conn = client.conn
    conn.sendall(bytes([IAC, WILL, COMPRESS2]))
    client.expect(bytes([IAC, DO, COMPRESS2]))
    stream = zlib.compressobj()

    def compressed(data):
        conn.sendall(stream.compress(data) + stream.flush(zlib.Z_SYNC_FLUSH))

    # The stream starts in the same send as its announcement.
    conn.sendall(subnegotiation(COMPRESS2, b"") + stream.compress(bytes([IAC, DO, CHARSET])) +
                 stream.flush(zlib.Z_SYNC_FLUSH))
    client.expect(bytes([IAC, WILL, CHARSET]))
    compressed(subnegotiation(CHARSET, b"\x01;ISO-8859-1;utf-8;UTF-8"))
    client.expect(subnegotiation(CHARSET, b"\x02utf-8"))
    compressed(subnegotiation(CHARSET, b"\x01 KOI8-R"))
    client.expect(subnegotiation(CHARSET, b"\x03"))
    compressed(bytes([IAC, DO, TTYPE]))
    client.expect(bytes([IAC, WILL, TTYPE]))
    for answer in (b"xterm-256color", b"MTTS 319", b"MTTS 319"):
        compressed(subnegotiation(TTYPE, b"\x01"))
        client.expect(subnegotiation(TTYPE, b"\x00" + answer))
    # The stream ends in the middle of a send; plain bytes follow it.
    conn.sendall(stream.compress(b"compressed text\r\n") + stream.flush(zlib.Z_FINISH) +
                 b"plain again\r\nREADY\r\n")


def report(conn):
    while time.monotonic() < DEADLINE:
        readable, _, urgent = select.select([conn], [], [conn], 0.1)
        # The stream's bytes before the urgent one are read first.
        if readable:
            try:
                chunk = conn.recv(4096)
            except OSError:
                return
            if not chunk:
                return
            say("data " + chunk.hex(" "))
        if urgent:
            try:
                say("urgent " + conn.recv(1, socket.MSG_OOB).hex(" "))
            except OSError:
                pass


def main():
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.bind(("127.0.0.1", 0))
    server.listen(1)
    server.settimeout(30)
    say(str(server.getsockname()[1]))
    conn, _ = server.accept()
    try:
        negotiate(Client(conn))
        say("negotiation ok")
    except AssertionError as failure:
        say(f"negotiation failed: {failure}")
        return 1
    report(conn)
    return 0


if __name__ == "__main__":
    sys.exit(main())
