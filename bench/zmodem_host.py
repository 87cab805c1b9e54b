#!/usr/bin/env python3
"""A loopback host that runs sz for one client and keeps the connection.

    zmodem_host.py PORT MODE FILE ENDED

MODE is how the connection carries the transfer:
  raw        raw TCP, the bytes as they are;
  binary     Telnet with BINARY offered and asked for (IAC WILL / DO BINARY),
             sz started once the client has taken it both ways, IAC doubled;
  nonbinary  Telnet with every option refused, IAC doubled and CR sent as
             CR NUL (a received CR NUL is taken as CR).
When sz ends, the time (seconds since the epoch) is written to the file
ENDED; the connection stays open until the client closes it (600 s at most).
"""
import os
import socket
import subprocess
import sys
import threading
import time

IAC, DONT, DO, WONT, WILL, SB, SE = 255, 254, 253, 252, 251, 250, 240
BINARY = 0
NEGOTIATION_SECONDS = 10
STAY_SECONDS = 600
BLOCK = 1 << 16


class FromClient:
    """The client's bytes with Telnet taken out; notes its BINARY replies."""

    def __init__(self, sock, mode):
        self.sock = sock
        self.mode = mode
        self.state = "data"
        self.command = 0
        self.after_cr = False
        self.binary = set()  # WILL and DO, once the client has answered them
        self.answered = threading.Event()

    def take(self, data):
        if self.mode == "raw":
            return data
        out = bytearray()
        for b in data:
            if self.state == "iac":
                self.state = "data"
                if b == IAC:
                    out.append(b)
                elif DONT >= b >= WILL:
                    self.command, self.state = b, "option"
                elif b == SB:
                    self.state = "sb"
            elif self.state == "option":
                self.state = "data"
                self.option(self.command, b)
            elif self.state in ("sb", "sbiac"):
                self.state = "data" if self.state == "sbiac" and b == SE else (
                    "sbiac" if b == IAC else "sb")
            elif b == IAC:
                self.state = "iac"
            else:
                dropped = self.mode == "nonbinary" and self.after_cr and b == 0
                self.after_cr = b == ord("\r")
                if not dropped:
                    out.append(b)
        return bytes(out)

    # BINARY is taken in binary mode (it was offered and asked for already);
    # everything else, and BINARY in the other mode, is refused.
    def option(self, command, option):
        agreed = self.mode == "binary" and option == BINARY
        if agreed and command in (WILL, DO):
            self.binary.add(command)
            if len(self.binary) == 2:
                self.answered.set()
        elif command == WILL:
            self.sock.sendall(bytes([IAC, DONT, option]))
        elif command == DO:
            self.sock.sendall(bytes([IAC, WONT, option]))


def to_client(data, mode):
    if mode == "raw":
        return data
    data = data.replace(b"\xff", b"\xff\xff")
    return data.replace(b"\r", b"\r\x00") if mode == "nonbinary" else data


def client_reader(sock, decoder, program):
    while True:
        try:
            data = sock.recv(BLOCK)
        except OSError:
            return
        if not data:
            return
        data = decoder.take(data)
        if data and program[0] is not None and program[0].poll() is None:
            try:
                program[0].stdin.write(data)
                program[0].stdin.flush()
            except OSError:
                pass


def main():
    port, mode, path, ended = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    listener = socket.create_server(("127.0.0.1", port), reuse_port=False)
    sock, _ = listener.accept()
    listener.close()
    decoder = FromClient(sock, mode)
    program = [None]
    reader = threading.Thread(target=client_reader, args=(sock, decoder, program), daemon=True)
    reader.start()
    if mode == "binary":
        sock.sendall(bytes([IAC, WILL, BINARY, IAC, DO, BINARY]))
        if not decoder.answered.wait(NEGOTIATION_SECONDS):
            sys.exit("the client did not take BINARY both ways")
    program[0] = subprocess.Popen(["sz", "-b", "-q", path], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = program[0].stdout.fileno()
    while True:
        data = os.read(out, BLOCK)
        if not data:
            break
        sock.sendall(to_client(data, mode))
    program[0].wait()
    with open(ended, "w") as f:
        f.write("%.6f\n" % time.time())
    reader.join(STAY_SECONDS)


if __name__ == "__main__":
    main()
