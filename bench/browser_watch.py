#!/usr/bin/env python3
"""Watches the remote's stage and live pages in a real browser, and says when
each change was on screen there.

    bench/browser_watch.py HOST PORT TOKEN --seconds N

Opens /stage and /live each in a headless Chromium of its own, driven over
its DevTools protocol, and records in each page, for every change, the time of the first
animation frame after it: the stage page's current text changing, and the
live page's picture loaded. Prints, on CLOCK_MONOTONIC (Python's
time.monotonic, the clock bench/cue_probe uses):

    stage-page <seconds>
    live-page <seconds>

The pages' clock is the wall clock (performance.timeOrigin); it is turned into
the monotonic one by their difference, read here.
"""
import argparse
import base64
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import remote_watch  # noqa: E402

DEBUG_PORT = 9339

RECORDER = {
    "stage": """
      window.seen = [];
      new MutationObserver(function () {
        requestAnimationFrame(function () { seen.push(performance.timeOrigin + performance.now()); });
      }).observe(document.getElementById('current'), {childList: true, characterData: true, subtree: true});
      true""",
    "live": """
      window.seen = [];
      document.getElementById('frame').addEventListener('load', function () {
        requestAnimationFrame(function () { seen.push(performance.timeOrigin + performance.now()); });
      });
      true""",
}


class Page:
    """One page in a browser of its own (a tab behind another would have its
    animation frames held back), driven over the DevTools protocol."""

    def __init__(self, url, port):
        self.port = port
        self.profile = tempfile.mkdtemp(prefix="quilo-browser.")
        self.browser = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars",
             "--remote-debugging-port=%d" % port, "--remote-allow-origins=*",
             "--user-data-dir=" + self.profile, url],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.s = None
        self.last = 0
        deadline = time.monotonic() + 20
        while self.s is None and time.monotonic() < deadline:
            time.sleep(0.3)
            try:
                listed = json.load(urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port))
            except OSError:
                continue
            for t in listed:
                if t["type"] == "page":
                    self.connect(t["webSocketDebuggerUrl"])
                    break

    def connect(self, ws_url):
        path = ws_url.split(str(self.port), 1)[1]
        self.s = socket.create_connection(("127.0.0.1", self.port))
        key = base64.b64encode(os.urandom(16)).decode()
        self.s.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\n"
                        "Connection: Upgrade\r\nSec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n"
                        % (path, self.port, key)).encode())
        head = b""
        while b"\r\n\r\n" not in head:
            head += self.s.recv(1)

    def call(self, method, params):
        self.last += 1
        payload = json.dumps({"id": self.last, "method": method, "params": params}).encode()
        mask = os.urandom(4)
        n = len(payload)
        head = bytes([0x81]) + (bytes([0x80 | n]) if n < 126 else bytes([0x80 | 126]) + n.to_bytes(2, "big"))
        self.s.sendall(head + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))
        for _, data in remote_watch.frames(self.s):
            message = json.loads(data)
            if message.get("id") == self.last:
                return message.get("result", {})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        return result.get("result", {}).get("value")

    def screenshot(self, path, width, height):
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        time.sleep(1)
        with open(path, "wb") as f:
            f.write(base64.b64decode(self.call("Page.captureScreenshot", {"format": "png"})["data"]))

    def close(self):
        self.browser.kill()
        self.browser.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("host")
    parser.add_argument("port", type=int)
    parser.add_argument("token")
    parser.add_argument("--seconds", type=float, default=30)
    args = parser.parse_args()
    base = "http://%s:%d" % (args.host, args.port)
    pages = {}
    try:
        for n, name in enumerate(("stage", "live")):
            pages[name] = Page("%s/%s?t=%s" % (base, name, args.token), DEBUG_PORT + n)
        time.sleep(1)
        for name, page in pages.items():
            page.evaluate(RECORDER[name])
        end = time.monotonic() + args.seconds
        while time.monotonic() < end:
            time.sleep(0.5)
        offset = time.time() - time.monotonic()
        for name, page in pages.items():
            for at in page.evaluate("seen") or []:
                print("%s-page %.6f" % (name, at / 1000 - offset))
    finally:
        for page in pages.values():
            page.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
