#!/usr/bin/env python3
"""Hostile and busy peers of the program's servers, for bench/load_scan_rate.sh.

  load_peers.py flood-page PORT TOKEN SECONDS   a web page that sends tiny
      commands as fast as its socket allows and reads nothing; it opens again
      whenever it is closed
  load_peers.py idle PORT COUNT SECONDS         COUNT connections that say
      nothing, held open (and opened again when closed)
  load_peers.py rigctl-flood PORT COUNT SECONDS COUNT Hamlib clients asking
      for the frequency as fast as their answers come back
"""
import resource
import selectors
import socket
import sys
import time


def connect(port):
    s = socket.create_connection(("127.0.0.1", port))
    s.setblocking(False)
    return s


def flood_page(port, token, seconds):
    host = f"127.0.0.1:{port}"
    upgrade = (f"GET /ws?token={token} HTTP/1.1\r\nHost: {host}\r\nUpgrade: websocket\r\n"
               "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
               f"Sec-WebSocket-Version: 13\r\nOrigin: http://{host}\r\n\r\n").encode()
    frame = b"\x81\x82\x00\x00\x00\x00up"
    burst = frame * 8192
    end = time.monotonic() + seconds
    opened = 0
    while time.monotonic() < end:
        try:
            s = socket.create_connection(("127.0.0.1", port))
            s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            s.settimeout(0.2)
            s.sendall(upgrade)
            opened += 1
            while time.monotonic() < end:
                try:
                    s.send(burst)
                except socket.timeout:
                    continue
        except OSError:
            time.sleep(0.01)
        finally:
            try:
                s.close()
            except Exception:
                pass
    print(f"flooding page opened {opened} times", file=sys.stderr)


def idle(port, count, seconds):
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    sel = selectors.DefaultSelector()
    end = time.monotonic() + seconds
    held = 0
    reopened = 0
    while held < count:
        sel.register(connect(port), selectors.EVENT_READ)
        held += 1
    while time.monotonic() < end:
        for key, _ in sel.select(timeout=0.1):
            try:
                data = key.fileobj.recv(4096)
            except OSError:
                data = b""
            if not data:
                sel.unregister(key.fileobj)
                key.fileobj.close()
                sel.register(connect(port), selectors.EVENT_READ)
                reopened += 1
    print(f"{count} silent connections held, {reopened} opened again", file=sys.stderr)


def rigctl_flood(port, count, seconds):
    sel = selectors.DefaultSelector()
    ask = b"f\n" * 256
    for _ in range(count):
        sel.register(connect(port), selectors.EVENT_READ | selectors.EVENT_WRITE)
    end = time.monotonic() + seconds
    answers = 0
    while time.monotonic() < end:
        for key, events in sel.select(timeout=0.1):
            if events & selectors.EVENT_READ:
                data = key.fileobj.recv(65536)
                answers += data.count(b"\n")
            if events & selectors.EVENT_WRITE:
                try:
                    key.fileobj.send(ask)
                except BlockingIOError:
                    pass
        # The server's kernel buffers hold thousands of lines from each
        # client: they flood all the same, without this process taking a
        # core from the program on a small machine.
        time.sleep(0.002)
    print(f"{count} rigctl clients got {answers} answers", file=sys.stderr)


if __name__ == "__main__":
    mode, port = sys.argv[1], int(sys.argv[2])
    if mode == "flood-page":
        flood_page(port, sys.argv[3], float(sys.argv[4]))
    elif mode == "idle":
        idle(port, int(sys.argv[3]), float(sys.argv[4]))
    elif mode == "rigctl-flood":
        rigctl_flood(port, int(sys.argv[3]), float(sys.argv[4]))
