#!/usr/bin/env python3
"""How late a cue lands after the beat it belongs to, as a user perceives it.

    bench/cue_latency.py [BUILD] [--seconds N] [--sync-offset MS] [--reference]
                         [--server pulseaudio|pipewire] [--runs N] [--idle MS]
                         [--stall program|server] [--photos] [--flood] [--watch] [--profile]

Makes a disc of clicks (one at the first sample of every second) and a script
that recolours the whole display at each of those seconds, then plays it with
the real program on a private X server (Xvfb) and a private sound server's
null sink (PulseAudio, or PipeWire with its PulseAudio service). bench/cue_probe records the sink's monitor and polls one screen pixel
once a millisecond, both on CLOCK_MONOTONIC; each click is paired with the
first colour change after it. Prints count, median, p95, p99, max and the
changes that came early (before their click at all), for every cue and for
the cues of the first three seconds after Play apart (where a stream that
stood corked a long while could once run ahead), and the program's CPU.

--watch turns the remote on with three pages open (two stage pages and a
live page, as bench/remote_watch.py opens them) and also reports when each
cue's state and its live frame reached them, from the same clicks.

--watch --browser opens the stage and live pages in headless Chromium instead
(bench/browser_watch.py) and times each change at the page's first animation
frame after it.

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
import threading
import time
import wave

import graph_profile

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
    if photos:
        # The last photo slides in when nothing follows within 7 s; a caption
        # after the measured seconds keeps it a plain cut like the others.
        lines.append("01:%02d:%02d" % (seconds // 60, seconds % 60))
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
    """Each click with the nearest colour change, as (click index, latency ms)."""
    clicks = [t for kind, t in events if kind == "click"]
    pixels = [t for kind, t in events if kind == "pixel"]
    latencies = []
    for n, c in enumerate(clicks):
        after = [p - c for p in pixels if -0.3 < p - c < 0.7]
        if after:
            latencies.append((n, min(after, key=abs) * 1000))
    return clicks, pixels, latencies


def stall_now_and_then(pid, every, length, until):
    """Stops process `pid` for `length` seconds every `every` seconds: a program
    that misses its sound's deadline (an underrun), or a sound graph that stalls."""
    while time.time() + every < until:
        time.sleep(every)
        try:
            os.kill(pid, signal.SIGSTOP)
            time.sleep(length)
            os.kill(pid, signal.SIGCONT)
        except ProcessLookupError:
            return


def cpu_times():
    """The machine's CPU time so far, in ticks: (all, stolen by the hypervisor)."""
    with open("/proc/stat") as f:
        ticks = [int(v) for v in f.readline().split()[1:]]
    return sum(ticks[:8]), ticks[7] if len(ticks) > 7 else 0


def server_cpu(server_dir):
    """CPU seconds the sound server's own processes have used so far."""
    ticks = 0
    try:
        with open(os.path.join(server_dir, "pids")) as f:
            pids = f.read().split()
    except OSError:
        return 0.0
    for pid in pids:
        try:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            ticks += int(fields[11]) + int(fields[12])
        except (OSError, IndexError, ValueError):
            pass
    return ticks / os.sysconf("SC_CLK_TCK")


def server_pid(work, name):
    out = subprocess.run(["pgrep", "-f", "-n", "^" + name], capture_output=True, text=True).stdout
    return int(out.split()[0]) if out.split() else None


def measure(args, build, env, work, run):
    """One launch of the program (or of the reference); its paired latencies,
    each with its click's second after Play."""
    root = os.path.join(work, "root%d" % run)
    if not args.reference:  # made first: the photos take a while
        write_root(root, args.seconds, args.photos)
    probe_seconds = args.seconds + 8 + args.idle // 1000
    probe = start([os.path.join(build, "bench", "cue_probe"), str(probe_seconds), str(X), str(Y)]
                  + (["--reference"] if args.reference else []), env,
                  stdout=subprocess.PIPE, text=True)
    app_out = ""
    time.sleep(2)  # the monitor's timing settles in its first second
    if not args.reference:
        disc = os.path.join(work, "disc")
        if not os.path.exists(disc):
            os.makedirs(disc)
            write_click_track(os.path.join(disc, "01.wav"), args.seconds + 5)
        remote = []
        if args.flood or args.watch:
            token_file = os.path.join(work, "chiave")
            with open(token_file, "w") as f:
                f.write(FLOOD_TOKEN)
            remote = ["--remote", str(FLOOD_PORT), "--remote-token", token_file]
        app = start([os.path.join(build, "bench", "app_measure"), str(time.time_ns()),
                     "--script", "clicks.txt", "--seconds", str(args.seconds),
                     "--idle-before-play", str(args.idle),
                     "--root", root, "--disc", disc, "--screen", "0",
                     "--sync-offset", str(args.sync_offset)] + remote,
                    dict(env, QUILO_VERBOSE="1"), stdout=subprocess.PIPE,
                    stderr=open(os.path.join(work, "app%d.err" % run), "w"), text=True)
        if args.flood:
            time.sleep(1)
            flood = start((["nice", "-n", "19"] if args.flood_elsewhere else [])
                          + [sys.executable, os.path.join(os.path.dirname(__file__), "remote_flood.py"),
                           "127.0.0.1", str(FLOOD_PORT), FLOOD_TOKEN,
                           # it starts a second after the program, and must end
                           # before it: a request to a program that has quit is
                           # refused, and is no fault of the remote's
                           "--seconds", str(args.seconds + args.idle / 1000 - 2)]
                          + (["--lockout"] if args.lockout else []),
                          env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        if args.watch:
            time.sleep(1)
            watcher = "browser_watch.py" if args.browser else "remote_watch.py"
            watch = start([sys.executable, os.path.join(os.path.dirname(__file__), watcher),
                           "127.0.0.1", str(FLOOD_PORT), FLOOD_TOKEN,
                           "--seconds", str(args.seconds + 2 + args.idle / 1000)],
                          env, stdout=subprocess.PIPE, text=True)
        if args.stall:
            target = app.pid if args.stall == "program" else server_pid(work, args.stall_process)
            length = 0.15 if args.stall == "program" else 0.025
            threading.Thread(target=stall_now_and_then,
                             args=(target, 7, length, time.time() + args.seconds + args.idle / 1000),
                             daemon=True).start()
        app_out, _ = app.communicate(timeout=probe_seconds + 30)
        # The output it used, and what its graph thread saw (QUILO_VERBOSE).
        with open(os.path.join(work, "app%d.err" % run), errors="replace") as err:
            said = [l.strip() for l in err if l.startswith("quilo: ") and
                    ("uscita audio" in l or "PipeWire:" in l)]
        app_out = "\n".join([app_out.strip()] + said)
        if args.flood:
            flood_out, _ = flood.communicate(timeout=60)
            app_out += "\nflood:\n" + flood_out.strip()
        if args.watch:
            watched, _ = watch.communicate(timeout=60)
    out, _ = probe.communicate(timeout=probe_seconds + 30)
    events = []
    for line in out.splitlines():
        parts = line.split()
        events.append((parts[0], float(parts[1])))
    # A dropout (the server playing silence where the program's sound was
    # late) moves every later click: the heard clicks are one second apart
    # to within the monitor's own precision otherwise.
    heard = [t for kind, t in events if kind == "click"]
    args.intervals = getattr(args, "intervals", []) + [
        (b - a - 1.0) * 1000 for a, b in zip(heard, heard[1:])]
    args.dropouts = getattr(args, "dropouts", []) + lasting_shifts(heard)
    if not args.reference:
        # The script has cues at seconds 1 to N-1; what follows is the program ending.
        clicks_kept = [t for kind, t in events if kind == "click"][:args.seconds - 1]
        if args.photos:  # only the even seconds carry a cue
            clicks_kept = clicks_kept[1::2]
        events = [e for e in events if e[0] != "click" or e[1] in clicks_kept]
    clicks, pixels, paired = pair(events)
    step = 2 if args.photos else 1
    if not args.reference and args.watch:
        args.remote_seen = getattr(args, "remote_seen", {})
        arrivals = {}
        for line in watched.splitlines():
            kind, at = line.split()[:2]
            arrivals.setdefault(kind, []).append(float(at))
        for kind, times in arrivals.items():
            for c in clicks:
                after = [t - c for t in times if 0 <= t - c < 0.7]
                if after:
                    args.remote_seen.setdefault(kind, []).append(min(after) * 1000)
    return [((n + 1) * step, l) for n, l in paired], len(clicks), len(pixels), app_out


def lasting_shifts(heard, least_ms=1.0):
    """The times the heard clicks moved later and stayed there (silence put in
    by the server: a dropout), in ms. A recording's own timestamps jitter a
    click now and then, but then the clicks after it are back in step, so
    each click's place is compared between the three before and the three
    after it."""
    offsets = [(t - heard[0] - i) * 1000 for i, t in enumerate(heard)]
    shifts, i = [], 3
    while i + 3 <= len(offsets):
        before = statistics.median(offsets[i - 3:i])
        after = statistics.median(offsets[i:i + 3])
        if abs(after - before) > least_ms:
            shifts.append(after - before)
            i += 3
        else:
            i += 1
    return shifts


FLOOD_PORT = 8395
FLOOD_TOKEN = "0123456789abcdef0123456789abcdef"


def report(title, latencies):
    if not latencies:
        print("%s: no cue" % title)
        return
    print("%s: %d cues, ms: median %.1f  p95 %.1f  p99 %.1f  max %.1f  min %.1f  "
          "early (<0 ms) %d  late (>20 ms) %d"
          % (title, len(latencies), statistics.median(latencies), percentile(latencies, 95),
             percentile(latencies, 99), max(latencies), min(latencies),
             sum(1 for l in latencies if l < 0), sum(1 for l in latencies if l > 20)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--seconds", type=int, default=40)
    parser.add_argument("--sync-offset", type=int, default=0)
    parser.add_argument("--reference", action="store_true")
    parser.add_argument("--photos", action="store_true",
                        help="cue 24-megapixel JPEGs every other second instead of colours")
    parser.add_argument("--screen-size", default="1920x1080", help="the virtual screen, WxH")
    parser.add_argument("--server", choices=["pulseaudio", "pipewire"], default="pulseaudio")
    parser.add_argument("--runs", type=int, default=1, help="launches of the program, each measured")
    parser.add_argument("--idle", type=int, default=0,
                        help="milliseconds between Lettore and Play (the stream stands corked)")
    parser.add_argument("--flood", action="store_true",
                        help="the remote on, flooded by bench/remote_flood.py all along")
    parser.add_argument("--lockout", action="store_true",
                        help="with --flood: 1 000 keyless and 40 slow clients while a keyed one "
                             "polls, commands and keeps a WebSocket (remote_flood.py --lockout)")
    parser.add_argument("--flood-elsewhere", action="store_true",
                        help="the flooding clients at the lowest priority, as when they run on "
                             "other machines of the network and only their requests reach this one")
    parser.add_argument("--watch", action="store_true",
                        help="the remote on with two stage pages and a live page open; "
                             "when each cue reached them")
    parser.add_argument("--browser", action="store_true",
                        help="with --watch: the stage and live pages in headless Chromium "
                             "(bench/browser_watch.py), timed at the first frame after each change")
    parser.add_argument("--profile", action="store_true",
                        help="under PipeWire, which graph nodes missed cycles (pw-profiler)")
    parser.add_argument("--stall", choices=["program", "server"],
                        help="every 7 s stop the program for 150 ms (an underrun) or the sound "
                             "graph for 25 ms")
    args = parser.parse_args()
    args.stall_process = "pipewire" if args.server == "pipewire" else "pulseaudio"
    build = os.path.abspath(args.build)
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    work = tempfile.mkdtemp(prefix="quilo-latency.")
    env = dict(os.environ)
    env["DISPLAY"] = ":83"
    env.pop("QT_QPA_PLATFORM", None)
    server_dir = os.path.join(work, "server")
    procs = []
    try:
        procs.append(start(["Xvfb", ":83", "-screen", "0", args.screen_size + "x24", "-nolisten", "tcp"], env,
                           stderr=subprocess.DEVNULL))
        line = subprocess.run([os.path.join(top, "scripts", "sound-server"), "start", args.server,
                               server_dir], check=True, capture_output=True, text=True,
                              env=dict(env, QUILO_KEEP_SINK_AWAKE="0")).stdout
        for setting in line.split():
            name, value = setting.split("=", 1)
            env[name] = value
        time.sleep(0.5)
        profile = (graph_profile.GraphProfile(env, os.path.join(work, "profile"))
                   if args.profile and args.server == "pipewire" else None)
        latencies, first, outs = [], [], []
        cpu_before = cpu_times()
        server_before = server_cpu(server_dir)
        for run in range(args.runs):
            got, clicks, pixels, app_out = measure(args, build, env, work, run)
            if not got:
                print("run %d: no click was paired with a colour change (%d clicks, %d changes)"
                      % (run + 1, clicks, pixels))
                print(app_out)
                return 1
            if os.environ.get("QUILO_LATENCY_ALL"):
                print(" ".join("%d:%.1f" % g for g in got))
            latencies += [l for _, l in got]
            first += [l for second, l in got if second <= 3]
            outs.append(app_out)
        print("%s under %s, sync offset %+d ms, %d run(s), %d ms idle before Play%s"
              % ("reference" if args.reference else "quilo", args.server, args.sync_offset,
                 args.runs, args.idle, (", stalling the " + args.stall if args.stall else "") + (", remote flooded" + (" (lockout)" if args.lockout else "") + (" (flooders at nice 19)" if args.flood_elsewhere else "") if args.flood else "") + ((", the stage and live pages open in Chromium" if args.browser else ", three remote pages open") if args.watch else "")))
        report("every cue", latencies)
        report("first 3 s after Play", first)
        off = [abs(g) for g in getattr(args, "intervals", []) if abs(g) > 1.0]
        drops = getattr(args, "dropouts", [])
        print("heard clicks: %d intervals, %d off one second by more than 1 ms%s; "
              "lasting shifts (dropouts) %d%s"
              % (len(getattr(args, "intervals", [])), len(off),
                 ", largest %.1f ms" % max(off) if off else "", len(drops),
                 " (" + ", ".join("%+.1f ms" % d for d in drops[:8]) + ")" if drops else ""))
        if args.watch:
            names = {"state": "stage socket", "frame": "live socket",
                     "stage-page": "stage page on screen", "live-page": "live page on screen"}
            for kind, seen in sorted(args.remote_seen.items()):
                report("%s, from the beat" % names.get(kind, kind), seen)
        if profile:
            print("\n".join(profile.stop()))
        # On a virtual machine the host may take the CPUs away: a graph
        # cycle of 1.5 ms cannot wait for them, so every figure depends on it.
        total, stolen = (a - b for a, b in zip(cpu_times(), cpu_before))
        print("load average: %.2f %.2f %.2f; CPU time stolen by the host %.1f %%; "
              "the sound server's processes used %.2f s of CPU"
              % (os.getloadavg() + (100.0 * stolen / max(total, 1),
                                    server_cpu(server_dir) - server_before)))
        for out in outs:
            if out:
                print(out)
        return 0
    finally:
        subprocess.run([os.path.join(top, "scripts", "sound-server"), "stop", server_dir],
                       stderr=subprocess.DEVNULL)
        for p in procs:
            p.send_signal(signal.SIGTERM)
            p.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
