#!/usr/bin/env python3
"""Floods the remote of a running quilo with hostile clients, as someone on a
shared Wi-Fi could, and says how each kind was answered and whether the
remote still serves its own key's requests at the end.

    remote_flood.py HOST PORT TOKEN [--seconds N] [--lockout]

--lockout: instead, strangers without the key (from 127.0.0.2-127.0.0.9,
which on Linux all reach this machine) hold 1 000 connections sending a byte
now and then, and 40 more send a byte a second, while the operator (HOST)
polls the state, sends commands and keeps a WebSocket: how many of its
requests were answered within 500 ms, and whether its WebSocket lived.

Kinds: no key, a wrong key, a key of the wrong length, path traversal in
several encodings, a 1 MB body, 10 000 headers, 200 connections held open,
clients sending a byte a second, garbage and oversized WebSocket frames, an
upgrade from another site's origin, thumbnails of every line number, live
pages that never read their frames; and, among them, polls with the key.
"""
import argparse
import collections
import os
import random
import socket
import threading
import time

counts = collections.Counter()
lock = threading.Lock()


def note(kind, reply):
    status = reply[9:12].decode("latin1") if reply.startswith(b"HTTP/1.1 ") else "closed"
    with lock:
        counts[(kind, status)] += 1


def exchange(host, port, data, timeout=3.0, failures=None):
    """The reply to `data`; b"" when there is none (the error's kind counted
    under `failures` when given)."""
    try:
        with socket.create_connection((host, port), timeout=timeout) as s:
            s.sendall(data)
            reply = b""
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                reply += chunk
            return reply
    except OSError as e:
        if failures is not None:
            with lock:
                counts[(failures, type(e).__name__)] += 1
        return b""


def requests(token):
    wrong = "f" * 32
    yield "no key", b"GET /api/state HTTP/1.1\r\nHost: x\r\n\r\n"
    yield "wrong key", ("GET /api/state?t=%s HTTP/1.1\r\n\r\n" % wrong).encode()
    yield "short key", ("GET /api/state?t=%s HTTP/1.1\r\n\r\n" % token[:31]).encode()
    for path in ("/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/..%2f..%2fetc%2fpasswd",
                 "//etc/passwd", "/remote.js/../../../etc/passwd", "/%252e%252e/etc/passwd"):
        yield "traversal", ("GET %s?t=%s HTTP/1.1\r\n\r\n" % (path, token)).encode()
    yield "1 MB body", (("POST /api/command?t=%s HTTP/1.1\r\nContent-Length: 1048576\r\n\r\n"
                         % token).encode() + b"x" * 1048576)
    yield "10 000 headers", (("GET /api/state?t=%s HTTP/1.1\r\n" % token).encode()
                             + b"".join(b"X-%d: y\r\n" % i for i in range(10000)) + b"\r\n")
    yield "foreign origin", (("GET /ws?t=%s HTTP/1.1\r\nHost: h\r\nUpgrade: websocket\r\n"
                              "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                              "Sec-WebSocket-Version: 13\r\nOrigin: http://evil.example\r\n\r\n")
                             % token).encode()
    yield "unknown command", (('POST /api/command?t=%s HTTP/1.1\r\nContent-Length: 21\r\n\r\n'
                               '{"cmd":"format-disk"}') % token).encode()
    yield "thumbnail", ("GET /api/thumb?line=%d&t=%s HTTP/1.1\r\n\r\n"
                        % (random.randint(1, 99999), token)).encode()
    yield "own key", ("GET /api/state?t=%s HTTP/1.1\r\n\r\n" % token).encode()


def hammer(host, port, token, until):
    while time.time() < until:
        for kind, data in requests(token):
            note(kind, exchange(host, port, data))


def hold_open(host, port, until):
    held = []
    for _ in range(200):
        try:
            held.append(socket.create_connection((host, port), timeout=2))
        except OSError:
            with lock:
                counts[("200 connections", "refused")] += 1
    while time.time() < until:
        time.sleep(0.5)
    alive = 0
    for s in held:
        try:
            s.settimeout(0.01)
            alive += s.recv(1) != b""
        except socket.timeout:
            alive += 1
        except OSError:
            pass
        s.close()
    with lock:
        counts[("200 connections", "%d still open at the end" % alive)] += 1


def slow(host, port, until):
    try:
        s = socket.create_connection((host, port), timeout=2)
        started = time.time()
        for byte in b"GET /api/state HTTP/1.1\r\n" * 100:
            if time.time() > until:
                break
            s.send(bytes([byte]))
            time.sleep(1)
    except OSError:
        with lock:
            counts[("a byte a second", "closed after %.0f s" % (time.time() - started))] += 1
        return
    with lock:
        counts[("a byte a second", "still open")] += 1


def garbage_websocket(host, port, token, until):
    upgrade = (("GET /ws?t=%s HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
                "Origin: http://%s:%d\r\n\r\n") % (token, host, port, host, port)).encode()
    while time.time() < until:
        try:
            with socket.create_connection((host, port), timeout=2) as s:
                s.sendall(upgrade)
                s.recv(4096)
                # a masked text frame claiming 1 MB, then noise
                s.sendall(b"\x81\xff" + (1 << 20).to_bytes(8, "big") + os.urandom(4) + os.urandom(65536))
                s.settimeout(2)
                note("oversized frame", b"HTTP/1.1 ---" if s.recv(4096) == b"" else b"")
        except OSError:
            note("oversized frame", b"")


def unread_live(host, port, token, until):
    """Live pages that take no frame: the frames must not pile up for them."""
    upgrade = (("GET /ws/live?t=%s HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\n"
                "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                "Sec-WebSocket-Version: 13\r\nOrigin: http://%s:%d\r\n\r\n")
               % (token, host, port, host, port)).encode()
    held = []
    for _ in range(16):
        try:
            s = socket.create_connection((host, port), timeout=2)
            s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            s.sendall(upgrade)
            held.append(s)
        except OSError:
            pass
    counts[("unread live page", "opened")] += len(held)
    while time.time() < until:
        time.sleep(0.5)
    for s in held:
        s.close()


def stranger_crowd(port, until, count, pause):
    """Keyless connections from other loopback addresses, each sending a
    byte of a request line every `pause` seconds, reopened when dropped."""
    def one(index):
        source = "127.0.0.%d" % (2 + index % 8)
        line = b"GET /api/state HTTP/1.1\r\n"
        while time.time() < until:
            try:
                with socket.create_connection(("127.0.0.1", port), timeout=2,
                                              source_address=(source, 0)) as s:
                    with lock:
                        counts[("stranger", "connected")] += 1
                    for byte in line * 100:
                        if time.time() > until:
                            return
                        s.send(bytes([byte]))
                        time.sleep(pause)
            except OSError:
                with lock:
                    counts[("stranger", "dropped")] += 1
                time.sleep(0.05)
    threads = [threading.Thread(target=one, args=(i,), daemon=True) for i in range(count)]
    for t in threads:
        t.start()
    return threads


def operator(host, port, token, until, delays):
    """Polls and commands with the key, each timed; None for no answer."""
    command = b'{"cmd":"nessuno"}'  # answered (400), changes nothing in the show
    while time.time() < until:
        for data in (("GET /api/state?t=%s HTTP/1.1\r\n\r\n" % token).encode(),
                     ("POST /api/command?t=%s HTTP/1.1\r\nContent-Length: %d\r\n\r\n"
                      % (token, len(command))).encode() + command):
            started = time.time()
            reply = exchange(host, port, data, timeout=2.0, failures="operator")
            delays.append(time.time() - started if reply.startswith(b"HTTP/1.1 ") else None)
            time.sleep(0.1)


def operator_socket(host, port, token, until):
    """The operator's WebSocket: alive at the end if it still gets an answer."""
    upgrade = (("GET /ws?t=%s HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\n"
                "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                "Sec-WebSocket-Version: 13\r\nOrigin: http://%s:%d\r\n\r\n")
               % (token, host, port, host, port)).encode()
    try:
        s = socket.create_connection((host, port), timeout=3)
        s.sendall(upgrade)
        s.recv(4096)
        while time.time() < until:
            time.sleep(1)
        s.sendall(b"\x89\x80" + os.urandom(4))  # a masked ping
        s.settimeout(3)
        return bool(s.recv(4096))
    except OSError:
        return False


def lockout(args):
    import resource
    resource.setrlimit(resource.RLIMIT_NOFILE, (4096, 4096))
    until = time.time() + args.seconds
    stranger_crowd(args.port, until, 1000, 5.0)
    stranger_crowd(args.port, until, 40, 1.0)
    time.sleep(2)  # the crowd in place first
    delays = []
    alive = []
    ws = threading.Thread(target=lambda: alive.append(
        operator_socket(args.host, args.port, args.token, until)))
    ws.start()
    operator(args.host, args.port, args.token, until, delays)
    ws.join()
    fast = sum(1 for d in delays if d is not None and d <= 0.5)
    answered = [d for d in delays if d is not None]
    answered.sort()
    for (kind, status), n in sorted(counts.items()):
        print("%-16s %-28s %d" % (kind, status, n))
    print("operator: %d requests, %d answered within 500 ms (%.1f %%), %d unanswered; "
          "median %.1f ms, worst %.1f ms; WebSocket %s"
          % (len(delays), fast, 100.0 * fast / max(1, len(delays)), len(delays) - len(answered),
             1000 * answered[len(answered) // 2] if answered else -1,
             1000 * answered[-1] if answered else -1,
             "kept" if alive and alive[0] else "lost"))
    return 0 if fast >= 0.99 * len(delays) and alive and alive[0] else 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("host")
    parser.add_argument("port", type=int)
    parser.add_argument("token")
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--lockout", action="store_true")
    args = parser.parse_args()
    if args.lockout:
        return lockout(args)
    until = time.time() + args.seconds
    threads = [threading.Thread(target=hammer, args=(args.host, args.port, args.token, until))
               for _ in range(4)]
    threads.append(threading.Thread(target=hold_open, args=(args.host, args.port, until)))
    threads += [threading.Thread(target=slow, args=(args.host, args.port, until)) for _ in range(3)]
    threads.append(threading.Thread(target=unread_live,
                                    args=(args.host, args.port, args.token, until)))
    threads.append(threading.Thread(target=garbage_websocket,
                                    args=(args.host, args.port, args.token, until)))
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    time.sleep(0.5)
    final = exchange(args.host, args.port,
                     ("GET /api/state?t=%s HTTP/1.1\r\n\r\n" % args.token).encode())
    for (kind, status), n in sorted(counts.items()):
        print("%-16s %-28s %d" % (kind, status, n))
    print("after the flood, the key's own request: %s" % (final[:12].decode("latin1") or "no answer"))
    return 0 if final.startswith(b"HTTP/1.1 200") else 1


if __name__ == "__main__":
    raise SystemExit(main())
