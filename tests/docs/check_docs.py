#!/usr/bin/env python3
"""Checks that the manual (docs/ and the READMEs) shows what the game does.

Marked blocks of the manual, and what is done with them:

  ```prg name=FILE.prg [check=faulty] [test=CLAIM]
      A robot program. It is saved, in Shift-JIS, as FILE.prg into the
      folder "mine" (a copy of arena/). kivora-check must find no dropped
      line and no unknown label in it, unless it says check=faulty (an
      example of a mistake), in which case the checker must find one.
      test=CLAIM names what the text promises the program does; CLAIMS
      below says how each promise is measured.

  ```spc name=FILE.spc
      A model file, saved into "mine" as well; kivora-arena must be able to
      build a unit from it.

  ```awk name=FILE (or any other block with a name)
      A helper file the examples use, saved into "mine" as it is.

  ```console [cwd=DIR]
      Example commands: each line starting with "$ " is a command (a line
      ending in a backslash, or a following line starting with "> ", goes
      on with it); the lines after it, up to the next command, are what it
      prints (standard output and standard error together). The commands
      run in bash, in a scratch folder that holds "arena" (a copy of
      arena/) and "mine" (arena/ plus every program and model of the
      manual), or in its subfolder DIR, with the built tools first on PATH.
      In the shown output "…" stands for any text within one line: it
      masks what varies from run to run, such as timings. Nothing else is
      masked and no line may be left out.

  ```synopsis
      A usage summary; not run.

The line before a program, model or helper names it (`FILE.prg`): the
reader does not see the block's info string. A program or model with the
same name must read the same everywhere, and
the English and the Japanese manual must show the same programs and models.
Any other block may not hold a line that starts with "$ " or "kivora-":
every example command is run.

With --update, the shown outputs of console blocks are rewritten with what
the commands print now (lines holding "…" are kept where they still match),
for when the game's output changes on purpose.
"""

import argparse
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field
from pathlib import Path

ELLIPSIS = "\u2026"
FENCE = re.compile(r"^(```+)(.*)$")


@dataclass
class Block:
    path: Path
    line: int          # 1-based line of the opening fence
    kind: str
    attrs: dict
    body: list         # the lines between the fences
    body_start: int    # index in the file's lines of the first body line
    language: str = None  # "en", "ja" or None


@dataclass
class Command:
    text: str          # what bash runs
    expected: list     # the shown output lines
    line: int          # 1-based line of the "$ " line
    out_start: int     # index in the file's lines of the first output line


@dataclass
class Failures:
    items: list = field(default_factory=list)

    def add(self, where, message):
        self.items.append(f"{where}: {message}")


def language_of(root, path):
    rel = path.relative_to(root).as_posix()
    if rel == "README.md" or rel.startswith("docs/en/"):
        return "en"
    if rel == "README.ja.md" or rel.startswith("docs/ja/"):
        return "ja"
    return None


def manual_files(root):
    files = [root / "README.md", root / "README.ja.md"]
    files += sorted((root / "docs").rglob("*.md"))
    return [f for f in files if f.exists()]


def read_blocks(path, failures):
    lines = path.read_text(encoding="utf-8").split("\n")
    blocks = []
    i = 0
    while i < len(lines):
        m = FENCE.match(lines[i])
        if not m:
            i += 1
            continue
        fence, info = m.group(1), m.group(2).strip()
        words = info.split()
        kind = words[0] if words else ""
        attrs = {}
        for w in words[1:]:
            key, _, value = w.partition("=")
            attrs[key] = value
        j = i + 1
        while j < len(lines) and lines[j].rstrip() != fence:
            j += 1
        if j >= len(lines):
            failures.add(f"{path}:{i + 1}", "code block is never closed")
            break
        blocks.append(Block(path, i + 1, kind, attrs, lines[i + 1:j], i + 1))
        i = j + 1
    return blocks


def parse_console(block, failures):
    commands = []
    k = 0
    body = block.body
    while k < len(body):
        line = body[k]
        if not line.startswith("$ "):
            failures.add(f"{block.path}:{block.body_start + k + 1}", "console output before the first command")
            k += 1
            continue
        start = k
        parts = [line[2:]]
        k += 1
        while True:
            if parts[-1].endswith("\\") and k < len(body):
                parts.append(body[k].removeprefix("> "))
                k += 1
            elif k < len(body) and body[k].startswith("> "):
                parts.append(body[k][2:])
                k += 1
            else:
                break
        out_start = k
        while k < len(body) and not body[k].startswith("$ "):
            k += 1
        commands.append(Command("\n".join(parts), body[out_start:k], block.body_start + start + 1,
                                block.body_start + out_start))
    return commands


def line_matches(shown, actual):
    if ELLIPSIS not in shown:
        return shown == actual
    pattern = ".*?".join(re.escape(piece) for piece in shown.split(ELLIPSIS))
    return re.fullmatch(pattern, actual, re.DOTALL) is not None


def output_matches(shown, actual):
    return len(shown) == len(actual) and all(line_matches(s, a) for s, a in zip(shown, actual))


class Runner:
    def __init__(self, scratch, tools):
        self.scratch = scratch
        self.env = dict(os.environ)
        self.env["PATH"] = f"{tools}{os.pathsep}{self.env.get('PATH', '')}"
        self.env["LC_ALL"] = "C.UTF-8"

    def shell(self, text, cwd):
        done = subprocess.run(["bash", "-c", text], cwd=self.scratch / cwd, env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
        out = done.stdout.decode("utf-8", errors="replace")
        if out.endswith("\n"):
            out = out[:-1]
        return done.returncode, out.split("\n") if out else []

    def run(self, args, cwd="mine"):
        done = subprocess.run(args, cwd=self.scratch / cwd, env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=300)
        return done.returncode, done.stdout.decode("utf-8", errors="replace"), done.stderr.decode(
            "utf-8", errors="replace")


# --- What the text promises of a program, and how it is measured ----------

MODEL = "standard.spc"


def summary_money(text):
    m = re.search(r"^money (\d+),", text, re.MULTILINE)
    return int(m.group(1)) if m else None


def claim_collects(runner, name):
    """The collector picks parts up: in at least 15 of the first 20 battles of
    1500 ticks in which it does not start on top of a wall, its money has
    grown."""
    grew, tried, seed, problems = 0, 0, 0, []
    while tried < 20:
        seed += 1
        status, out, err = runner.run(["kivora-arena", "--ticks", "1500", "--seed", str(seed), "--trace", "-",
                                       "--trace-every", "1500", "--player", f"{MODEL}:{name}"])
        if status != 0:
            return [f"seed {seed}: status {status} {err.strip()}"]
        if starts_in_wall(out):
            continue
        tried += 1
        money = summary_money(out)
        if money is not None and money > 1000:
            grew += 1
        else:
            problems.append(f"seed {seed}: money {money}")
    return [] if grew >= 15 else [f"money grew in only {grew} of 20 battles: " + "; ".join(problems)]


def trace_objects(line):
    """The id, kind and box of a trace line "O id kind x=.. y=.. w=.. h=..", or None."""
    words = line.split()
    if len(words) < 7 or words[0] != "O":
        return None
    x, y, w, h = (int(v.split("=")[1]) for v in words[3:7])
    return int(words[1]), int(words[2]), (x - w // 2, y - h // 2, w, h)


def boxes_overlap(a, b):
    return a[0] < b[0] + b[2] and a[0] + a[2] > b[0] and a[1] < b[1] + b[3] and a[1] + a[3] > b[1]


def starts_in_wall(trace, kind=1):
    """Whether the (only) unit of `kind` stands on a wall at tick 0."""
    walls, unit = [], None
    for line in trace.splitlines():
        if line.startswith("T ") and line.split()[1] != "0":
            break
        o = trace_objects(line)
        if o and o[1] == 3:
            walls.append(o[2])
        elif o and o[1] == kind:
            unit = o[2]
    return unit is not None and any(boxes_overlap(unit, w) for w in walls)


def still_spells(trace, kind=1):
    """The longest run of ticks in which the (only) unit of `kind` stood on
    one spot, with the tick it began."""
    longest, began = 0, None
    last, run, run_start = None, 0, None
    tick = None
    for line in trace.splitlines():
        if line.startswith("T "):
            tick = int(line.split()[1])
            continue
        words = line.split()
        if len(words) < 5 or words[0] != "O" or words[2] != str(kind):
            continue
        spot = (words[3], words[4])
        if spot == last:
            run += 1
        else:
            last, run, run_start = spot, 0, tick
        if run > longest:
            longest, began = run, run_start
    return longest, began


def claim_avoids_walls(runner, name):
    """The wall-avoider never stands on one spot for 100 ticks in a row, in
    the first twelve battles of 2000 ticks in which it does not start on top
    of a wall (a unit inside a wall can never leave it)."""
    problems, tried, seed = [], 0, 0
    while tried < 12:
        seed += 1
        status, out, err = runner.run(["kivora-arena", "--ticks", "2000", "--seed", str(seed), "--quiet",
                                       "--trace", "-", "--player", f"{MODEL}:{name}"])
        if status == 0 and starts_in_wall(out):
            continue
        tried += 1
        longest, began = still_spells(out)
        if status != 0 or longest >= 100:
            problems.append(f"seed {seed}: stood still for {longest} ticks from tick {began} "
                            f"(status {status}) {err.strip()}")
    return problems


def duel_tally(runner, name, rival="hunter.prg", seeds=range(1, 51)):
    """Exact duels won by `name` against `rival`, both on the standard model,
    in "mine": no random rival, no random walls or parts, fought until one
    side has fallen; `name` is the player's side."""
    won = 0
    for seed in seeds:
        status, out, err = runner.run(["kivora-arena", "--no-rival", "--no-random", "--until-decided",
                                       "--seed", str(seed), "--player", f"{MODEL}:{name}",
                                       "--rival", f"{MODEL}:{rival}"])
        if status != 0:
            return None, f"seed {seed}: status {status} {err.strip()}"
        won += re.search(r"^result: the player's side won ", out, re.MULTILINE) is not None
    return won, None


def claim_beats_hunter(runner, name):
    """The worked example beats hunter.prg, both on the standard model, in
    more than half of 50 exact duels."""
    won, problem = duel_tally(runner, name)
    if problem:
        return [problem]
    return [] if won > 25 else [f"won only {won} of 50 exact duels against hunter.prg"]


CLAIMS = {
    "collects": claim_collects,
    "avoids-walls": claim_avoids_walls,
    "beats-hunter": claim_beats_hunter,
}


# --- The checks ------------------------------------------------------------

def collect_files(blocks, failures):
    """Programs and models by name: {name: (kind, text, block)}; and the
    names each language shows."""
    files, by_language = {}, {"en": set(), "ja": set()}
    for b in blocks:
        name = b.attrs.get("name", "")
        if b.kind not in ("prg", "spc") and not name:
            continue
        where = f"{b.path}:{b.line}"
        if (b.kind in ("prg", "spc") and not name.endswith("." + b.kind)) or not name or "/" in name:
            failures.add(where, f"a {b.kind} block needs name=FILE.{b.kind}")
            continue
        lines = b.path.read_text(encoding="utf-8").split("\n")[:b.line - 1]
        shown_before = next((x for x in reversed(lines) if x.strip()), "")
        if f"`{name}`" not in shown_before:
            failures.add(where, f"the reader does not see the name: write `{name}` in the line before the block")
        text = "\n".join(b.body) + "\n"
        if b.language:
            by_language[b.language].add(name)
        if name in files and files[name][1] != text:
            failures.add(where, f"{name} differs from the one at {files[name][2].path}:{files[name][2].line}")
            continue
        files.setdefault(name, (b.kind, text, b))
    for name in sorted(by_language["en"] ^ by_language["ja"]):
        shown = "English" if name in by_language["en"] else "Japanese"
        failures.add(name, f"shown only in the {shown} manual")
    return files


LINK = re.compile(r"\[[^\]]*\]\(([^)\s]+)\)")


def slug(heading):
    """The anchor a heading gets on the project's web pages."""
    text = heading.strip().lower().replace("`", "")
    return re.sub(r"[^\w\- ]", "", text).replace(" ", "-")


def anchors_of(path):
    found, fence = set(), False
    for line in path.read_text(encoding="utf-8").split("\n"):
        if line.startswith("```"):
            fence = not fence
        elif not fence and line.startswith("#"):
            found.add(slug(line.lstrip("#")))
    return found


def check_links(files, failures):
    """Every link between the manual's pages leads to a page that exists,
    and to a heading of it that exists."""
    for path in files:
        fence = False
        for number, line in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
            if line.startswith("```"):
                fence = not fence
            if fence:
                continue
            for target in LINK.findall(line):
                if re.match(r"[a-z]+:", target):
                    continue
                page, _, anchor = target.partition("#")
                goal = (path.parent / page).resolve() if page else path
                if not goal.exists():
                    failures.add(f"{path}:{number}", f"link to a missing page: {target}")
                elif anchor and goal.suffix == ".md" and anchor not in anchors_of(goal):
                    failures.add(f"{path}:{number}", f"link to a missing heading: {target}")


def check_unmarked(blocks, failures):
    for b in blocks:
        if b.kind in ("console", "synopsis", "prg", "spc") or b.attrs.get("name"):
            continue
        for k, line in enumerate(b.body):
            if line.startswith("$ ") or line.startswith("kivora-"):
                failures.add(f"{b.path}:{b.body_start + k + 1}",
                             "an example command outside a console block is never checked")


def check_files(runner, files, failures):
    for name, (kind, _, block) in sorted(files.items()):
        where = f"{block.path}:{block.line}"
        if kind not in ("prg", "spc"):
            continue
        if kind == "prg":
            status, out, _ = runner.run(["kivora-check", name])
            faulty = block.attrs.get("check") == "faulty"
            if faulty and status != 1:
                failures.add(where, f"{name} is shown as faulty, but kivora-check says:\n{out}")
            if not faulty and status != 0:
                failures.add(where, f"kivora-check finds faults in {name}:\n{out}")
        else:  # a model
            status, _, err = runner.run(["kivora-arena", "--ticks", "0", "--quiet", "--player", name])
            if status != 0:
                failures.add(where, f"no unit can be built from {name}: {err.strip()}")


def start_claims(pool, runner, files, failures):
    """Starts measuring every promise the text makes of a program; returns a
    function that waits for the measurements and records what failed."""
    jobs = {}
    for name, (kind, _, block) in sorted(files.items()):
        claim = block.attrs.get("test")
        if not claim:
            continue
        if claim not in CLAIMS:
            failures.add(f"{block.path}:{block.line}", f"unknown test={claim}")
            continue
        jobs[pool.submit(CLAIMS[claim], runner, name)] = (block, name, claim)

    def finish():
        for job, (block, name, claim) in jobs.items():
            for problem in job.result():
                failures.add(f"{block.path}:{block.line}", f"{name} ({claim}): {problem}")
    return finish


def check_consoles(pool, runner, blocks, failures, update):
    """Runs the commands of every console block and compares their output.
    The commands of one block run in order, one after the other; blocks run
    side by side in the pool, and a block shown twice (in both languages)
    runs once."""
    consoles = []
    for b in blocks:
        if b.kind == "console":
            consoles.append((b, b.attrs.get("cwd", "."), parse_console(b, failures)))
    unique = {}
    for _, cwd, commands in consoles:
        unique.setdefault((cwd, tuple(c.text for c in commands)), None)
    jobs = {key: pool.submit(lambda k: [runner.shell(text, k[0]) for text in k[1]], key) for key in unique}
    results = {key: job.result() for key, job in jobs.items()}

    rewrites = {}  # path -> [(first output line, shown length, new lines)]
    for b, cwd, commands in consoles:
        outputs = results[(cwd, tuple(c.text for c in commands))]
        for c, (_, actual) in zip(commands, outputs):
            if output_matches(c.expected, actual):
                continue
            if update:
                kept = []
                for k, line in enumerate(actual):
                    shown = c.expected[k] if k < len(c.expected) else None
                    kept.append(shown if shown is not None and ELLIPSIS in shown and line_matches(shown, line)
                                else line)
                rewrites.setdefault(b.path, []).append((c.out_start, len(c.expected), kept))
                continue
            shown = "\n".join("    " + x for x in c.expected)
            printed = "\n".join("    " + a for a in actual)
            failures.add(f"{b.path}:{c.line}", f"`{c.text}` shows\n{shown}\n  but prints\n{printed}")
    for path, edits in rewrites.items():
        lines = path.read_text(encoding="utf-8").split("\n")
        for start, length, new in sorted(edits, reverse=True):
            lines[start:start + length] = new
        path.write_text("\n".join(lines), encoding="utf-8")
        print(f"updated {path}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", type=Path, required=True, help="the repository")
    parser.add_argument("--tools", type=Path, required=True, help="the folder with kivora-check and kivora-arena")
    parser.add_argument("--update", action="store_true", help="rewrite the shown outputs")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder and say where it is")
    args = parser.parse_args()

    root = args.source.resolve()
    failures = Failures()
    blocks = []
    check_links(manual_files(root), failures)
    for path in manual_files(root):
        for b in read_blocks(path, failures):
            b.language = language_of(root, path)
            blocks.append(b)

    scratch = Path(tempfile.mkdtemp(prefix="kivora-docs-"))
    try:
        shutil.copytree(root / "arena", scratch / "arena")
        shutil.copytree(root / "arena", scratch / "mine")
        files = collect_files(blocks, failures)
        for name, (_, text, block) in files.items():
            try:
                (scratch / "mine" / name).write_bytes(text.encode("cp932"))
            except UnicodeEncodeError as e:
                failures.add(f"{block.path}:{block.line}", f"{name} cannot be saved in Shift-JIS: {e}")
        check_unmarked(blocks, failures)
        runner = Runner(scratch, args.tools.resolve())
        check_files(runner, files, failures)
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            claims_done = start_claims(pool, runner, files, failures)
            check_consoles(pool, runner, blocks, failures, args.update)
            claims_done()
    finally:
        if args.keep:
            print(f"scratch folder: {scratch}")
        else:
            shutil.rmtree(scratch, ignore_errors=True)

    for item in failures.items:
        print(item, file=sys.stderr)
    consoles = sum(1 for b in blocks if b.kind == "console")
    print(f"{len(blocks)} blocks, {consoles} console blocks, {len(failures.items)} problems")
    return 1 if failures.items else 0


if __name__ == "__main__":
    sys.exit(main())
