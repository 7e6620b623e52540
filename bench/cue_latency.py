#!/usr/bin/env python3
"""How late a cue lands after the beat it belongs to, as a user perceives it.

    bench/cue_latency.py [BUILD] [--seconds N] [--sync-offset MS] [--reference]

Makes a disc of clicks (one at the first sample of every second) and a script
that recolours the whole display at each of those seconds, then plays it with
the real program on a private X server (Xvfb) and a private PulseAudio null
sink. bench/cue_probe records the sink's monitor and polls one screen pixel
once a millisecond, both on CLOCK_MONOTONIC; each click is paired with the
first colour change after it. Prints count, median, p95, p99, max and the
changes that came early, and the program's CPU while it played.

--reference measures the harness instead: the probe plays the clicks itself
and turns a pixel over exactly when each is heard (ideal: 0 ms).
"""
import argparse
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import wave

RATE = 44100
X, Y = 960, 30  # top middle of a 1920x1080 screen: inside the display area, above the captions


def write_click_track(path, seconds):
    frames = bytearray(seconds * RATE * 4)
    click = struct.pack("<hh", 30000, 30000)
    for s in range(1, seconds):
        for i in range(20):
            at = (s * RATE + i) * 4
            frames[at:at + 4] = click
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


PHOTOS = 6


def write_photos(folder):
    """Camera-like 24-megapixel JPEGs (ImageMagick's convert), tinted red and
    blue in turn so that each differs from the one before where the probe looks."""
    for n in range(PHOTOS):
        tint = "red" if n % 2 == 0 else "blue"
        subprocess.run(["/usr/bin/convert", "-size", "6000x4000", "plasma:%s-%s" % (tint, tint),
                        "-quality", "90", os.path.join(folder, "%d.jpg" % n)], check=True)


def write_root(root, seconds, photos):
    os.makedirs(os.path.join(root, "Quilo 1.0"))
    os.makedirs(os.path.join(root, "Allegato"))
    with open(os.path.join(root, "Quilo 1.0", "colori.txt"), "w") as f:
        f.write("0\r\n0\r\n0\r\n255\r\n255\r\n255\r\n")
    lines = ["01:00:00 .09B"]
    lines += ["99 colore      0"] * 6 + ["99:00:00V"]  # no background picture
    if photos:
        write_photos(os.path.join(root, "Allegato"))
    for s in range(1, seconds):
        if photos:
            # A photo every other second, each other than the last few.
            if s % 2 == 0:
                lines.append("01:%02d:%02d%d.jpgM" % (s // 60, s % 60, (s // 2) % PHOTOS))
            continue
        lines.append("01:%02d:%02d .%02dB" % (s // 60, s % 60, 12 if s % 2 else 9))
    lines.append("**")
    with open(os.path.join(root, "Allegato", "clicks.txt"), "w") as f:
        f.write("\r\n".join(lines) + "\r\n")


def start(cmd, env, **kw):
    return subprocess.Popen(cmd, env=env, **kw)


def percentile(values, p):
    ordered = sorted(values)
    k = (len(ordered) - 1) * p / 100
    lo, hi = int(k), min(int(k) + 1, len(ordered) - 1)
    return ordered[lo] + (ordered[hi] - ordered[lo]) * (k - lo)


def pair(events):
    clicks = [t for kind, t in events if kind == "click"]
    pixels = [t for kind, t in events if kind == "pixel"]
    latencies = []
    for c in clicks:
        after = [p - c for p in pixels if -0.3 < p - c < 0.7]
        if after:
            latencies.append(min(after, key=abs) * 1000)
    return clicks, pixels, latencies


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--seconds", type=int, default=40)
    parser.add_argument("--sync-offset", type=int, default=0)
    parser.add_argument("--reference", action="store_true")
    parser.add_argument("--photos", action="store_true",
                        help="cue 24-megapixel JPEGs every other second instead of colours")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    work = tempfile.mkdtemp(prefix="quilo-latency.")
    env = dict(os.environ)
    env["XDG_RUNTIME_DIR"] = work
    env["DISPLAY"] = ":83"
    env["PULSE_SERVER"] = "unix:" + os.path.join(work, "native")
    env.pop("QT_QPA_PLATFORM", None)
    procs = []
    try:
        procs.append(start(["Xvfb", ":83", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"], env,
                           stderr=subprocess.DEVNULL))
        subprocess.run(["pulseaudio", "-D", "-n", "--exit-idle-time=-1",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" +
                        os.path.join(work, "native"),
                        "--load=module-null-sink sink_name=latency rate=44100"],
                       env=env, check=True, stderr=subprocess.DEVNULL)
        for _ in range(50):
            if subprocess.run(["pactl", "info"], env=env, capture_output=True).returncode == 0:
                break
            time.sleep(0.1)
        subprocess.run(["pactl", "set-default-sink", "latency"], env=env, check=True)
        time.sleep(0.5)

        root = os.path.join(work, "root")
        if not args.reference:  # made first: the photos take a while
            write_root(root, args.seconds, args.photos)
        probe_seconds = args.seconds + 8
        probe = start([os.path.join(build, "bench", "cue_probe"), str(probe_seconds), str(X), str(Y)]
                      + (["--reference"] if args.reference else []), env,
                      stdout=subprocess.PIPE, text=True)
        app_out = ""
        time.sleep(2)  # the monitor's timing settles in its first second
        if not args.reference:
            disc = os.path.join(work, "disc")
            os.makedirs(disc)
            write_click_track(os.path.join(disc, "01.wav"), args.seconds + 5)
            app = subprocess.run(
                [os.path.join(build, "bench", "app_measure"), str(time.time_ns()),
                 "--script", "clicks.txt", "--seconds", str(args.seconds),
                 "--root", root, "--disc", disc, "--screen", "0",
                 "--sync-offset", str(args.sync_offset)],
                env=env, capture_output=True, text=True, timeout=probe_seconds + 30)
            app_out = app.stdout.strip()
        out, _ = probe.communicate(timeout=probe_seconds + 30)
        events = []
        for line in out.splitlines():
            parts = line.split()
            events.append((parts[0], float(parts[1])))
        if not args.reference:
            # The script has cues at seconds 1 to N-1; what follows is the program ending.
            clicks_kept = [t for kind, t in events if kind == "click"][:args.seconds - 1]
            if args.photos:  # only the even seconds carry a cue
                clicks_kept = clicks_kept[1::2]
            events = [e for e in events if e[0] != "click" or e[1] in clicks_kept]
        clicks, pixels, latencies = pair(events)
        if not latencies:
            print("no click was paired with a colour change (%d clicks, %d changes)"
                  % (len(clicks), len(pixels)))
            print(app_out)
            return 1
        if os.environ.get("QUILO_LATENCY_ALL"):
            print(" ".join("%.1f" % l for l in latencies))
        early = [l for l in latencies if l < -3]
        print("%s, sync offset %+d ms: %d cues (%d clicks, %d colour changes)"
              % ("reference" if args.reference else "quilo", args.sync_offset, len(latencies),
                 len(clicks), len(pixels)))
        print("latency ms: median %.1f  p95 %.1f  p99 %.1f  max %.1f  min %.1f  early(<-3 ms) %d"
              % (statistics.median(latencies), percentile(latencies, 95), percentile(latencies, 99),
                 max(latencies), min(latencies), len(early)))
        print("load average: %.2f %.2f %.2f" % os.getloadavg())
        if app_out:
            print(app_out)
        return 0
    finally:
        subprocess.run(["pulseaudio", "--kill"], env=env, stderr=subprocess.DEVNULL)
        for p in procs:
            p.send_signal(signal.SIGTERM)
            p.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
