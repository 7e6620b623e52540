#!/usr/bin/env python3
"""Feeds hostile files to the built tools and measures each run: peak memory,
wall time, exit status and how many lines it printed on stderr.

    bench/hostile_inputs.py [BUILD_DIR] [--sanitized]     (default: build)

Every case must end within 2 s, under 300 MB, with a few Italian lines at
most. With --sanitized (a build with AddressSanitizer and UBSan, whose memory
and time say nothing) every case must instead end without a sanitizer
report. Runs anywhere; needs no display and no sound server."""

import os
import struct
import subprocess
import sys
import tempfile
import time

ARGS = [a for a in sys.argv[1:] if not a.startswith("--")]
SANITIZED = "--sanitized" in sys.argv
BUILD = ARGS[0] if ARGS else "build"
BIN = os.path.join(BUILD, "src", "app")
LIMIT_S = 60 if SANITIZED else 10


def run(argv):
    with tempfile.TemporaryFile() as err:
        start = time.monotonic()
        proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=err)
        while True:
            pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
            if pid:
                break
            if time.monotonic() - start > LIMIT_S:
                proc.kill()
                _, status, usage = os.wait4(proc.pid, 0)
                break
            time.sleep(0.005)
        wall = time.monotonic() - start
        proc.returncode = 0  # reaped here, not by Popen
        err.seek(0)
        lines = err.read().decode("utf-8", "replace").splitlines()
    return wall, usage.ru_maxrss / 1024, os.waitstatus_to_exitcode(status), lines


def wav_header(rate, channels, data_bytes):
    return (b"RIFF" + struct.pack("<I", 36 + data_bytes) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * channels * 2, channels * 2, 16) +
            b"data" + struct.pack("<I", data_bytes))


def main():
    d = tempfile.mkdtemp(prefix="quilo-hostile-")
    root = os.path.join(d, "root")
    os.makedirs(os.path.join(root, "Quilo 1.0"))
    os.makedirs(os.path.join(root, "Allegato"))
    with open(os.path.join(root, "Quilo 1.0", "colori.txt"), "w") as f:
        f.write("255\r\n0\r\n128\r\n64\r\n32\r\n16\r\n")
    a = lambda name: os.path.join(root, "Allegato", name)

    with open(a("huge.txt"), "wb") as f:
        f.write(b"01:00:01Uno12C\r\n01:00:02Due12C\r\n**\r\n")
        f.truncate(1 << 30)
    with open(a("endless.txt"), "wb") as f:
        f.write(b"01:00:01Uno12C\r\n")
        f.truncate(1 << 30)
    os.symlink("/dev/zero", a("zero.txt"))
    os.mkfifo(a("fifo.txt"))
    os.mkfifo(a("fifo.png"))
    os.mkfifo(a("fifo.wav"))
    with open(a("slow.wav"), "wb") as f:
        f.write(wav_header(2, 1, 200000) + bytes(200000))
    with open(a("big.wav"), "wb") as f:
        f.write(wav_header(8000, 2, 0xF0000000))
        f.truncate(0xF0000000 + 44)
    with open(a("sounds.txt"), "wb") as f:
        f.write(b"01:00:01slow.wavW\r\n01:00:02big.wavW\r\n01:00:03fifo.wavW\r\n"
                b"01:00:04fifo.pngM\r\n**\r\n")
    folder = os.path.join(d, "folder")
    os.makedirs(folder)
    os.link(a("big.wav"), os.path.join(folder, "01.wav"))
    many = os.path.join(d, "many")
    os.makedirs(many)
    tiny = wav_header(44100, 2, 2352) + bytes(2352)
    for i in range(5000):
        with open(os.path.join(many, "%04d.wav" % i), "wb") as f:
            f.write(tiny)
    with open(os.path.join(d, "long.toc"), "w") as f:
        f.write('CD_DA\nTRACK AUDIO\nFILE "' + "x" * 60000 + '" 0 00:02:00\n')
    with open(os.path.join(d, "disc.raw"), "wb") as f:
        f.write(bytes(2352 * 100))
    with open(os.path.join(d, "endless.toc"), "w") as f:
        f.write('CD_DA\nTRACK AUDIO\nFILE "disc.raw" 0 99999999:00:00\n')
    with open(os.path.join(d, "garbage.cue"), "wb") as f:
        f.write(bytes((i * 37) & 255 for i in range(8192)))
    with open(os.path.join(d, "fifo.cue"), "w") as f:
        f.write('FILE "fifo.bin" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n')
    os.mkfifo(os.path.join(d, "fifo.bin"))

    sim = [os.path.join(BIN, "quilo-sim")]
    check = [os.path.join(BIN, "quilo-check")]
    cases = [
        ("script + 1 GB after its end (check)", check + [a("huge.txt"), "--root", root]),
        ("script + 1 GB after its end (sim)", sim + [a("huge.txt"), "--root", root, "--tracks", "5"]),
        ("1 GB script without its end", check + [a("endless.txt"), "--root", root]),
        ("script that is /dev/zero", check + [a("zero.txt"), "--root", root]),
        ("script that is a FIFO", sim + [a("fifo.txt"), "--root", root]),
        ("2 Hz, 3.9 GB, FIFO sounds; FIFO picture (check)", check + [a("sounds.txt"), "--root", root]),
        ("2 Hz, 3.9 GB, FIFO sounds; FIFO picture (sim)", sim + [a("sounds.txt"), "--root", root, "--tracks", "10"]),
        ("3.9 GB WAV as a folder's track", sim + ["--disc", folder, "--toc"]),
        ("5000 tracks in a folder", sim + ["--disc", many, "--toc"]),
        ("TOC with a 60,000-character name", sim + ["--disc", os.path.join(d, "long.toc"), "--toc"]),
        ("TOC of 99,999,999 minutes", sim + ["--disc", os.path.join(d, "endless.toc"), "--toc"]),
        ("8 KB of garbage as a CUE sheet", sim + ["--disc", os.path.join(d, "garbage.cue"), "--toc"]),
        ("CUE sheet naming a FIFO", sim + ["--disc", os.path.join(d, "fifo.cue"), "--toc"]),
        ("--tracks 30000000", sim + [a("huge.txt"), "--root", root, "--tracks", "30000000",
                                     "--until", "01:00:03"]),
    ]
    worst_mb = worst_s = 0
    reports = 0
    print("%-50s %8s %9s %5s %7s" % ("case", "wall s", "peak MB", "exit", "stderr"))
    for name, argv in cases:
        wall, mb, code, err = run(argv)
        worst_mb, worst_s = max(worst_mb, mb), max(worst_s, wall)
        print("%-50s %8.2f %9.1f %5d %7d" % (name, wall, mb, code, len(err)))
        if any("Sanitizer" in line or "runtime error" in line for line in err) or wall >= LIMIT_S:
            reports += 1
            err = [line for line in err if "Sanitizer" in line or "runtime error" in line] or err
        for line in err[:3]:
            print("    " + line[:110])
    print("worst: %.2f s, %.1f MB; %d sanitizer reports or hangs" % (worst_s, worst_mb, reports))
    subprocess.run(["rm", "-rf", d])
    if SANITIZED:
        return 0 if reports == 0 else 1
    return 0 if worst_mb < 300 and worst_s < 2 and reports == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
