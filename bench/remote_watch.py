#!/usr/bin/env python3
"""Watches the remote as its pages do, and says when each change arrives.

    bench/remote_watch.py HOST PORT TOKEN [--seconds N] [--stage N] [--live N]

Opens N WebSockets like the stage page's (/ws, the state) and N like the live
page's (/ws/live, the display's frames), and prints one line per arrival on
CLOCK_MONOTONIC (Python's time.monotonic), the clock bench/cue_probe uses:

    state <seconds> <line of the cue on view>   (only when it changes)
    frame <seconds> <bytes>

for the first socket of each kind; the others only take their share of the
pushes. A plain-socket WebSocket client: nothing to install.
"""
import argparse
import base64
import json
import os
import socket
import sys
import threading
import time

lock = threading.Lock()


def handshake(host, port, token, path):
    s = socket.create_connection((host, port), timeout=5)
    key = base64.b64encode(os.urandom(16)).decode()
    s.sendall(("GET %s HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\nOrigin: http://%s:%d\r\n"
               "Cookie: quilo_%d=%s\r\n\r\n" % (path, host, port, key, host, port, port, token)).encode())
    head = b""
    while b"\r\n\r\n" not in head:
        chunk = s.recv(1)
        if not chunk:
            raise RuntimeError("closed during the handshake")
        head += chunk
    if b" 101 " not in head.split(b"\r\n")[0]:
        raise RuntimeError(head.split(b"\r\n")[0].decode())
    s.settimeout(None)
    return s


def read_exactly(s, n):
    data = b""
    while len(data) < n:
        chunk = s.recv(n - len(data))
        if not chunk:
            raise EOFError
        data += chunk
    return data


def send(s, opcode, payload):
    mask = os.urandom(4)
    masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
    s.sendall(bytes([0x80 | opcode, 0x80 | len(payload)]) + mask + masked)


def frames(s):
    """Each whole message (opcode, payload); pings answered on the way."""
    while True:
        first, second = read_exactly(s, 2)
        length = second & 0x7F
        if length == 126:
            length = int.from_bytes(read_exactly(s, 2), "big")
        elif length == 127:
            length = int.from_bytes(read_exactly(s, 8), "big")
        payload = read_exactly(s, length)
        opcode = first & 0x0F
        if opcode == 9:
            send(s, 10, payload)
        elif opcode == 8:
            return
        else:
            yield opcode, payload


def watch(host, port, token, path, report, until):
    s = handshake(host, port, token, path)
    s.settimeout(max(0.1, until - time.monotonic()))
    last = None
    try:
        for opcode, payload in frames(s):
            now = time.monotonic()
            if report and opcode == 1:
                state = json.loads(payload)
                line = state["current"]["line"] if state.get("current") else 0
                if line != last:
                    last = line
                    with lock:
                        print("state %.6f %d" % (now, line), flush=True)
            elif report and opcode == 2:
                with lock:
                    print("frame %.6f %d" % (now, len(payload)), flush=True)
            if now > until:
                break
    except (socket.timeout, EOFError, OSError):
        pass
    s.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("host")
    parser.add_argument("port", type=int)
    parser.add_argument("token")
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--stage", type=int, default=2)
    parser.add_argument("--live", type=int, default=1)
    args = parser.parse_args()
    until = time.monotonic() + args.seconds
    threads = []
    for n in range(args.stage):
        threads.append(threading.Thread(target=watch, args=(args.host, args.port, args.token, "/ws", n == 0, until)))
    for n in range(args.live):
        threads.append(threading.Thread(target=watch, args=(args.host, args.port, args.token, "/ws/live", n == 0, until)))
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    return 0


if __name__ == "__main__":
    sys.exit(main())
