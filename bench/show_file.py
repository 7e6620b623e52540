#!/usr/bin/env python3
"""How fast a show file is made and opened, and how much memory that takes.

    bench/show_file.py [BUILD] [--minutes 74] [--photos 200] [--keep DIR]

Makes a CD image of MINUTES of pink noise (music-like to FLAC: it compresses
little) in ten tracks, and PHOTOS camera-like 24-megapixel JPEGs (one made by
ImageMagick, the others copies with a byte of their own at the end), and a
script showing each photo in turn. Then, as a user would run them:

- quilo-pack with the music only: the disc's minutes against the time taken
  (goal: 50x real time or more);
- quilo-pack with the photos only, against `cp -r` of the same photos to the
  same disk, both from a warm page cache (goal: 50 % of cp's speed or more);
- quilo-sim on the show file, the first time (it unpacks) and the second
  (it starts from the unpacked folder);
- the player on the show file the second time, under Xvfb: from launch until
  the first photo is on screen (goal: within 1 s);
- the largest resident memory of each (goal: 100 MB or less).
"""
import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

RATE = 44100


def run(command, env=None):
    """Runs a command; returns its seconds and its largest resident memory (MB)."""
    start = time.monotonic()
    proc = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    seconds = time.monotonic() - start
    if proc.returncode != 0:
        sys.exit("%s failed: %s" % (command[0], proc.stderr.decode()[-400:]))
    return seconds


def max_rss_mb(command, env=None):
    out = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, env=env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(out.stderr.decode().strip().splitlines()[-1]) / 1024


def make_disc(folder, minutes):
    wav = os.path.join(folder, "disc.wav")
    subprocess.run(["sox", "-n", "-r", str(RATE), "-c", "2", "-b", "16", wav, "synth",
                    str(minutes * 60), "pinknoise", "vol", "0.3"], check=True)
    bin_path = os.path.join(folder, "disc.bin")
    # Raw little-endian samples, as a CUE's BINARY file holds them.
    subprocess.run(["sox", wav, "-t", "raw", "-e", "signed", "-b", "16", "-L", bin_path], check=True)
    os.remove(wav)
    sectors = os.path.getsize(bin_path) // 2352
    with open(os.path.join(folder, "disc.cue"), "w") as cue:
        cue.write('FILE "disc.bin" BINARY\n')
        for t in range(10):
            at = sectors * t // 10
            cue.write("  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n"
                      % (t + 1, at // 4500, at // 75 % 60, at % 75))
    return os.path.join(folder, "disc.cue")


def make_root(root, photos):
    os.makedirs(os.path.join(root, "Quilo 1.0"))
    photo_dir = os.path.join(root, "Allegato", "foto")
    os.makedirs(photo_dir)
    with open(os.path.join(root, "Quilo 1.0", "colori.txt"), "w") as f:
        f.write("0\r\n0\r\n0\r\n255\r\n255\r\n255\r\n")
    first = os.path.join(photo_dir, "IMG_0000.JPG")
    subprocess.run(["/usr/bin/convert", "-size", "6000x4000", "plasma:red-blue", "-attenuate", "0.4",
                    "+noise", "Gaussian", "-quality", "92", first], check=True)
    with open(first, "rb") as f:
        jpeg = f.read()
    for n in range(1, photos):
        with open(os.path.join(photo_dir, "IMG_%04d.JPG" % n), "wb") as f:
            f.write(jpeg + n.to_bytes(4, "little"))
    lines = ["01:00:00C:\\Allegato\\foto\\IMG_0000.JPGA"]
    for n in range(1, photos):
        seconds = 8 * n
        lines.append("%02d:%02d:%02dC:\\Allegato\\foto\\IMG_%04d.JPGA"
                     % (1 + seconds // 600, seconds % 600 // 60, seconds % 60, n))
    lines += ["99:59:59Fine00E", "**"]
    with open(os.path.join(root, "Allegato", "foto.txt"), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
    with open(os.path.join(root, "Allegato", "musica.txt"), "w", newline="") as f:
        f.write("01:00:01Musica12C\r\n**\r\n")
    return len(jpeg) * photos


def first_photo_on_screen(app, show, env):
    """Seconds from launching the player on the show until the photo's colours
    are on the screen (polled by screenshots, each about 0.1 s)."""
    script = ("import subprocess, sys, time\n"
              "start = time.monotonic()\n"
              "p = subprocess.Popen([sys.argv[1], sys.argv[2]], stdout=subprocess.DEVNULL,"
              " stderr=subprocess.DEVNULL)\n"
              "seen = None\n"
              "while time.monotonic() - start < 20:\n"
              "    px = subprocess.run(['import', '-window', 'root', '-crop', '1x1+960+540',"
              " '-depth', '8', 'txt:-'], capture_output=True, text=True).stdout\n"
              "    if 'black' not in px and '#000000' not in px and 'srgb(0,0,0)' not in px:\n"
              "        seen = time.monotonic() - start; break\n"
              "p.terminate(); p.wait()\n"
              "print(seen)\n")
    out = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24", sys.executable,
                          "-c", script, app, show], env=env, capture_output=True, text=True)
    value = out.stdout.strip().splitlines()[-1] if out.stdout.strip() else "None"
    return None if value == "None" else float(value)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--minutes", type=int, default=74)
    parser.add_argument("--photos", type=int, default=200)
    parser.add_argument("--keep", help="make the media in this folder and keep them")
    args = parser.parse_args()
    app = os.path.join(os.path.abspath(args.build), "src", "app")
    work = args.keep or tempfile.mkdtemp(prefix="quilo-show-bench-")
    os.makedirs(work, exist_ok=True)
    try:
        disc_dir = os.path.join(work, "disco")
        root = os.path.join(work, "Quilo")
        if not os.path.exists(os.path.join(disc_dir, "disc.cue")):
            os.makedirs(disc_dir, exist_ok=True)
            make_disc(disc_dir, args.minutes)
        if not os.path.exists(root):
            make_root(root, args.photos)
        cue = os.path.join(disc_dir, "disc.cue")
        photo_dir = os.path.join(root, "Allegato", "foto")
        photo_bytes = sum(os.path.getsize(os.path.join(photo_dir, n)) for n in os.listdir(photo_dir))
        pack = os.path.join(app, "quilo-pack")
        out = os.path.join(work, "out")
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        run(["cat", cue.replace(".cue", ".bin")])  # warm the page cache

        music = os.path.join(out, "musica.quilo")
        seconds = run([pack, os.path.join(root, "Allegato", "musica.txt"), "--root", root,
                       "--disc", cue, "--music", "-o", music])
        print("music: %d min of disc packed in %.1f s = %.0fx real time (FLAC %.0f MB)"
              % (args.minutes, seconds, args.minutes * 60 / seconds, os.path.getsize(music) / 1e6))

        run(["cp", "-r", photo_dir, os.path.join(out, "warm")])  # warm the page cache
        shutil.rmtree(os.path.join(out, "warm"))
        run(["sync"])
        copied = run(["cp", "-r", photo_dir, os.path.join(out, "copia")])
        synced = copied + run(["sync", "-f", os.path.join(out, "copia")])
        shutil.rmtree(os.path.join(out, "copia"))
        run(["sync"])
        photos = os.path.join(out, "foto.quilo")
        seconds = run([pack, os.path.join(root, "Allegato", "foto.txt"), "--root", root,
                       "-o", photos])
        # The show file is on the disk when quilo-pack ends (it is synced
        # before it takes its name); cp's copy only once synced too.
        print("photos: %d (%.0f MB) packed in %.1f s; cp -r %.1f s and on disk after %.1f s: "
              "%.0f %% of cp's speed to the disk (%.0f %% of cp's to the page cache)"
              % (args.photos, photo_bytes / 1e6, seconds, copied, synced, 100 * synced / seconds,
                 100 * copied / seconds))

        whole = os.path.join(out, "spettacolo.quilo")
        seconds = run([pack, os.path.join(root, "Allegato", "foto.txt"), "--root", root,
                       "--disc", cue, "--music", "-o", whole])
        rss = max_rss_mb([pack, "--verify", whole])
        print("whole show (%.0f MB) packed in %.1f s; --verify: %.0f MB resident at most"
              % (os.path.getsize(whole) / 1e6, seconds, rss))
        pack_rss = max_rss_mb([pack, os.path.join(root, "Allegato", "foto.txt"), "--root", root,
                               "--disc", cue, "--music", "-o", os.path.join(out, "again.quilo")])
        os.remove(os.path.join(out, "again.quilo"))
        print("packing the whole show: %.0f MB resident at most" % pack_rss)

        env = dict(os.environ, HOME=os.path.join(work, "sala"), XDG_CACHE_HOME="")
        env.pop("XDG_CACHE_HOME")
        shutil.rmtree(env["HOME"], ignore_errors=True)
        os.makedirs(env["HOME"])
        sim = [os.path.join(app, "quilo-sim"), whole, "--until", "01:00:02"]
        first = run(sim, env)
        second = run(sim, env)
        shutil.rmtree(os.path.join(env["HOME"], ".cache"))
        unpack_rss = max_rss_mb(sim, env)
        print("quilo-sim on the show: first opening (unpacks) %.1f s, %.0f MB resident at most; "
              "second %.2f s" % (first, unpack_rss, second))
        seen = first_photo_on_screen(os.path.join(app, "quilo"), whole, env)
        print("player, second opening: first photo on screen %s after launch"
              % ("never" if seen is None else "%.2f s" % seen))
        print("load average: %s" % open("/proc/loadavg").read().split()[:3])
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
