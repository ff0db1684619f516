#!/usr/bin/env python3
"""How often do the default programs get stuck, and does a first purchase pay?

Runs kivora-arena for every program on every model of an arena directory,
over a number of seeds with the campaign on, and reads the trace every K
ticks.  For the player's unit (the one added with --player) it measures the
share of its alive time that lies inside a stretch of at least S ticks in
which it neither moves nor turns (same x, y and dir at every traced tick of
the stretch).  It also reports the money the unit earned with the cheapest
model of the buy list, and how the rival's side fared, so that one can judge
whether the field stays a battle.

    scripts/stall-report.py [--arena BIN] [--dir ARENA] [--seeds N] ...

Standard library only.  At most --jobs arena processes run at a time.
"""

import argparse
import concurrent.futures
import os
import statistics
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--arena", default=os.path.join(ROOT, "build", "default", "tools", "kivora-arena"),
                   help="the kivora-arena binary (default: the default build's)")
    p.add_argument("--dir", default=os.path.join(ROOT, "arena"), help="arena directory (default: arena/)")
    p.add_argument("--seeds", type=int, default=10, help="number of seeds (default 10)")
    p.add_argument("--first-seed", type=int, default=1, help="first seed (default 1)")
    p.add_argument("--ticks", type=int, default=6000, help="ticks per battle (default 6000)")
    p.add_argument("--every", type=int, default=10, help="trace every K ticks (default 10)")
    p.add_argument("--stretch", type=int, default=300,
                   help="shortest motionless stretch that counts as stuck, in ticks (default 300)")
    p.add_argument("--jobs", type=int, default=2, help="arena processes at a time (default 2)")
    p.add_argument("--programs", nargs="*", help="program files (default: every .prg of the directory)")
    p.add_argument("--models", nargs="*", help="model files (default: the buy list's, in its order)")
    p.add_argument("--stretches", action="store_true",
                   help="also list every stuck stretch of the player's unit, with the states and program "
                        "counters seen in it")
    return p.parse_args()


def buy_list(directory):
    """(spc, price) rows of buylist.txt; the file name and the price are ASCII."""
    rows = []
    try:
        with open(os.path.join(directory, "buylist.txt"), "rb") as f:
            for raw in f:
                fields = raw.rstrip(b"\r\n").split(b",")
                if len(fields) >= 2 and fields[1].strip().isdigit():
                    rows.append((os.fsdecode(fields[0]), int(fields[1])))
    except OSError:
        pass
    return rows


def stuck_stretches(samples, stretch):
    """(first, last) sample indices of the motionless stretches of at least
    `stretch` ticks.

    samples: (tick, pose, ...) in tick order, one per traced tick while the
    unit was on the field.  A stretch runs from the first to the last sample
    of a run of equal poses."""
    found = []
    start = 0
    for i in range(1, len(samples) + 1):
        if i == len(samples) or samples[i][1] != samples[start][1]:
            if samples[i - 1][0] - samples[start][0] >= stretch:
                found.append((start, i - 1))
            start = i
    return found


def stuck_ticks(samples, stretch):
    return sum(samples[b][0] - samples[a][0] for a, b in stuck_stretches(samples, stretch))


def alive_ticks(samples):
    return samples[-1][0] - samples[0][0] if samples else 0


def field_value(fields, key):
    prefix = key + "="
    for f in fields:
        if f.startswith(prefix):
            return f[len(prefix):]
    return None


def run_battle(job):
    """One battle; returns the figures of the player's unit and the rivals."""
    arena, directory, model, program, seed, ticks, every, stretch = job
    cmd = [arena, "--ticks", str(ticks), "--seed", str(seed), "--campaign", "--quiet",
           "--trace", "-", "--trace-every", str(every), "--player", model + ":" + program, directory]
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                            encoding="utf-8", errors="replace")
    player = None          # the player's unit's id: the first kind-1 object of tick 0
    tick = None
    first_money = last_money = None
    tracks = {}            # id -> [(tick, (x, y, dir))], units of both sides
    kinds = {}
    last_tick_ids = set()
    seen_this_tick = set()
    for line in proc.stdout:
        if line.startswith("T "):
            fields = line.split()
            tick = int(fields[1])
            money = int(field_value(fields, "money"))
            if first_money is None:
                first_money = money
            last_money = money
            last_tick_ids = seen_this_tick
            seen_this_tick = set()
        elif line.startswith("O "):
            fields = line.split()
            kind = fields[2]
            if kind not in ("1", "2"):
                continue
            uid = int(fields[1])
            if player is None and tick == 0 and kind == "1":
                player = uid
            pose = (field_value(fields, "x"), field_value(fields, "y"), field_value(fields, "dir"))
            how = (field_value(fields, "st"), field_value(fields, "pc"), field_value(fields, "ammo"))
            tracks.setdefault(uid, []).append((tick, pose, how))
            kinds[uid] = kind
            seen_this_tick.add(uid)
    last_tick_ids = seen_this_tick
    if proc.wait() != 0 or player is None:
        raise RuntimeError("kivora-arena failed (exit status %d) for %s:%s, seed %d"
                           % (proc.returncode, shown(model), shown(program), seed))

    mine = tracks[player]
    fell = player not in last_tick_ids
    rivals = [uid for uid, k in kinds.items() if k == "2"]
    return {
        "model": model, "program": program, "seed": seed,
        "alive": alive_ticks(mine), "stuck": stuck_ticks(mine, stretch),
        "fell": fell, "fell_at": mine[-1][0] if fell else None,
        "earned": last_money - first_money,
        "rivals_alive": sum(1 for uid in rivals if uid in last_tick_ids),
        "rivals_fallen": sum(1 for uid in rivals if uid not in last_tick_ids),
        "rival_alive_ticks": sum(alive_ticks(tracks[uid]) for uid in rivals),
        "rival_stuck_ticks": sum(stuck_ticks(tracks[uid], stretch) for uid in rivals),
        "stretches": [describe_stretch(mine[a:b + 1]) for a, b in stuck_stretches(mine, stretch)],
    }


def describe_stretch(samples):
    """'from-to x,y dir st=... pc=... ammo=...' with the distinct values seen."""
    def seen(k):
        return "/".join(sorted({s[2][k] for s in samples}, key=lambda v: (len(v), v)))
    x, y, d = samples[0][1]
    return "%d-%d x=%s y=%s dir=%s st=%s pc=%s ammo=%s" % (
        samples[0][0], samples[-1][0], x, y, d, seen(0), seen(1), seen(2))


def shown(name):
    """A file name for printing: UTF-8 as it is, anything else read as
    Shift-JIS (code page 932), control characters escaped as \\xNN."""
    raw = os.fsencode(name)
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        text = raw.decode("cp932", "replace")
    return "".join("\\x%02x" % ord(c) if (ord(c) < 0x20 and c != "\t") or 0x7F <= ord(c) <= 0x9F else c
                   for c in text)


def percent(part, whole):
    return "%5.1f%%" % (100.0 * part / whole) if whole else "    - "


def table(header, rows):
    widths = [max(len(str(r[i])) for r in [header] + rows) for i in range(len(header))]
    out = []
    for r in [header] + rows:
        out.append("  ".join(str(c).ljust(widths[0]) if i == 0 else str(c).rjust(widths[i])
                             for i, c in enumerate(r)))
    return "\n".join(out)


def main():
    args = parse_args()
    directory = os.path.abspath(args.dir)
    if not os.access(args.arena, os.X_OK):
        sys.exit("no kivora-arena at %s (build it: cmake --build build/default --target kivora-arena)" % args.arena)
    programs = args.programs or sorted(f for f in os.listdir(directory) if f.endswith(".prg"))
    prices = buy_list(directory)
    models = args.models or [spc for spc, _ in prices] or sorted(f for f in os.listdir(directory) if f.endswith(".spc"))
    cheapest = min(prices, key=lambda r: r[1]) if prices else (models[0], None)
    seeds = list(range(args.first_seed, args.first_seed + args.seeds))

    jobs = [(args.arena, directory, m, p, s, args.ticks, args.every, args.stretch)
            for p in programs for m in models for s in seeds]
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        try:
            results = list(pool.map(run_battle, jobs))
        except RuntimeError as e:
            sys.exit(str(e))
    by = {(r["program"], r["model"], r["seed"]): r for r in results}

    def pick(program=None, model=None):
        return [r for r in results if (program is None or r["program"] == program)
                and (model is None or r["model"] == model)]

    def share(rs, stuck="stuck", alive="alive"):
        return percent(sum(r[stuck] for r in rs), sum(r[alive] for r in rs))

    print("kivora-arena, %d seeds (%d..%d), %d ticks, --campaign, trace every %d ticks"
          % (len(seeds), seeds[0], seeds[-1], args.ticks, args.every))
    print()
    print("Stuck: share of the player's unit's alive time inside a stretch of >= %d ticks"
          % args.stretch)
    print("with the same x, y and dir.")
    rows = [[shown(p)] + [share(pick(p, m)) for m in models] + [share(pick(p))] for p in programs]
    rows.append(["all"] + [share(pick(model=m)) for m in models] + [share(results)])
    print(table(["program"] + [shown(m) for m in models] + ["all"], rows))
    print()

    spc, price = cheapest
    print("Money earned by the player's unit in %d ticks with the cheapest model, %s%s:"
          % (args.ticks, shown(spc), " (price %d)" % price if price is not None else ""))
    rows = []
    for p in programs:
        earned = [by[(p, spc, s)]["earned"] for s in seeds]
        rows.append([shown(p), "%d/%d" % (sum(1 for e in earned if e > 0), len(earned)),
                     int(statistics.median(earned)), int(statistics.mean(earned)),
                     " ".join(str(e) for e in earned)])
    print(table(["program", "seeds>0", "median", "mean", "per seed"], rows))
    print()

    print("Threat: the player's unit fell (of %d battles per program, all models; with %s),"
          % (len(models) * len(seeds), shown(spc)))
    print("rival units alive and fallen at the end (mean per battle), rivals' stuck share.")
    rows = []
    for p in programs + [None]:
        rs = pick(p)
        falls = [r["fell_at"] for r in rs if r["fell"]]
        cheap = [r for r in rs if r["model"] == spc]
        rows.append([shown(p) if p else "all",
                     "%d/%d" % (len(falls), len(rs)),
                     str(int(statistics.mean(falls))) if falls else "-",
                     "%d/%d" % (sum(1 for r in cheap if r["fell"]), len(cheap)),
                     "%.1f" % statistics.mean(r["rivals_alive"] for r in rs),
                     "%.1f" % statistics.mean(r["rivals_fallen"] for r in rs),
                     share(rs, "rival_stuck_ticks", "rival_alive_ticks")])
    print(table(["program", "fell", "mean tick", "fell(" + shown(spc) + ")", "rivals alive", "rivals fallen",
                 "rivals stuck"], rows))

    if args.stretches:
        print()
        print("Stuck stretches of the player's unit:")
        for r in results:
            for text in r["stretches"]:
                print("  %s %s seed %d: %s" % (shown(r["program"]), shown(r["model"]), r["seed"], text))


if __name__ == "__main__":
    main()
