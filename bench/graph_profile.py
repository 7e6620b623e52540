"""Which nodes of a PipeWire graph missed their cycles, and by how much.

Runs `pw-profiler` against the server of the environment given, in a folder
of its own, and sums up its log per node when stopped: the cycles seen, those
the node had not finished when the driver looked (a missed cycle: the sink
played silence in place of that node's sound), those it finished past the
cycle's length, and how late it woke (the scheduling latency, from the driver
signalling it to the node running). It tells the program's own misses from
the machine's: a node of the server's own process missing cycles together
with ours means the whole machine stopped, not our stream.

The log has 4 columns for the driver then 8 per follower (id, signalled,
awake, finished, all in us from the driver's signal, scheduling latency,
duration, status, 0); status 3 is "finished". The names come from the gnuplot
script the profiler writes when it ends.
"""
import os
import re
import signal
import statistics
import subprocess

FINISHED = 3


class GraphProfile:
    def __init__(self, env, folder):
        os.makedirs(folder, exist_ok=True)
        self.folder = folder
        self.proc = subprocess.Popen(["pw-profiler", "-o", "profiler.log"], cwd=folder, env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        self.proc.send_signal(signal.SIGINT)
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        return summarize(self.folder)


def names(folder):
    try:
        with open(os.path.join(folder, "Timing3.plot")) as f:
            return {int(i): n for n, i in re.findall(r'title "([^"]*)/(\d+)"', f.read())}
    except OSError:
        return {}


def summarize(folder):
    """Lines, one per node, with its cycles, misses and wake-up latencies."""
    nodes = {}
    cycles = 0
    try:
        log = open(os.path.join(folder, "profiler.log"))
    except OSError:
        return ["graph profile: no log"]
    with log:
        for line in log:
            cols = line.rstrip("\n").split("\t")
            if len(cols) < 4:
                continue
            cycles += 1
            try:
                period = float(cols[3])
            except ValueError:
                continue
            for at in range(4, len(cols) - 7, 8):
                block = cols[at:at + 8]
                if not block[0].strip():
                    continue
                node = nodes.setdefault(int(block[0]), {"cycles": 0, "unfinished": 0, "over": 0,
                                                         "latency": []})
                node["cycles"] += 1
                if int(block[6]) != FINISHED:
                    node["unfinished"] += 1
                elif float(block[3]) > period:
                    node["over"] += 1
                node["latency"].append(float(block[4]))
    named = names(folder)
    out = ["graph profile: %d cycles" % cycles]
    for node_id, n in sorted(nodes.items()):
        lat = sorted(n["latency"])
        out.append("  %-28s cycles %7d  not finished %5d  finished late %5d  woke after "
                   "median %.0f us, p99 %.0f us, worst %.0f us"
                   % ("%s/%d" % (named.get(node_id, "?"), node_id), n["cycles"], n["unfinished"],
                      n["over"], statistics.median(lat) if lat else 0,
                      lat[int(0.99 * (len(lat) - 1))] if lat else 0, lat[-1] if lat else 0))
    return out
