#!/usr/bin/env python3
"""Times quill-cli beside the standard tools doing comparable file work.

Each work is timed in paired runs: one unmeasured warm-up of each, then the
program and the tool alternately, so that both see the same (warm) caches and
the same load. The medians and their ratio are printed as a plain table.

Data points are generated once with `quill-cli generate` and kept under
--cache (default /tmp/quill-scale); delete that directory to start afresh.
Each gets an administrator BOSS, whom no schedule names, besides ANNA, whom
every generated schedule names.

Examples, from the source tree after a build:

  bench/compare.py                          # 10,000 folders, 0/10/20 % scheduled
  bench/compare.py --schedules 10 --works tree,find
  bench/compare.py --schedules 10 --no-local --slow 500 2000 --slow-folders 1000
  bench/compare.py --schedules 10 --strace
  bench/compare.py --schedules 10 --exponent   # adds the 50,000-folder set
  bench/compare.py --folders 1000 --schedules 10

--slow mounts the cache directory through slowfs (build/bin/slowfs, built
when libfuse3-dev is installed; mounting needs /dev/fuse) so that every
lookup, readdir, open and read waits the given microseconds, and prints the
calls each command caused beside the tool's. The calls are serial, so a run
there takes about calls x delay: at 2000 us a tree of the 10k set takes
minutes, hence --slow-folders. --strace counts the file system calls of the
program and the tool with strace -f -c on the 10k set.

The whole default run takes a few minutes; --works, --schedules and --repeat
keep a run short.
"""

import argparse
import math
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from contextlib import contextmanager
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent
WORKS = ("tree", "tree-unnamed", "find", "tasks", "documents")
# "topic 12" is in the note of topic 12, 120-129, 1200-1299 and
# 12000-12999: about 1.1 % of 100,000 documents. No single word of the
# generated text is that rare.
DEFAULT_WORD = "topic 12"
UNNAMED_USER = "BOSS"
DOCUMENTS_IN_FOLDER = 2000


# ---------------------------------------------------------------- running


def run(cmd, shell=False, env=None):
    """Runs a command with its output discarded and returns seconds taken."""
    start = time.perf_counter()
    done = subprocess.run(cmd, shell=shell, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        shown = cmd if isinstance(cmd, str) else " ".join(map(str, cmd))
        # grep says 1 when nothing is found, which is a result, not a failure.
        if not (done.returncode == 1 and "grep" in shown):
            sys.exit(f"failed ({done.returncode}): {shown}\n{done.stderr.decode(errors='replace')}")
    return seconds


class Counter:
    """Reads slowfs's running call counts around a command."""

    def __init__(self, mount):
        self.file = Path(mount) / ".slowfs-counts"

    def read(self):
        counts = {}
        for line in self.file.read_text().splitlines():
            kind, number = line.split()
            counts[kind] = int(number)
        return counts

    def around(self, action):
        before = self.read()
        seconds = action()
        after = self.read()
        return seconds, {k: after[k] - before.get(k, 0) for k in after}


def timed(cmd, counter=None, shell=False, env=None):
    action = lambda: run(cmd, shell=shell, env=env)
    return counter.around(action) if counter else (action(), None)


def paired(program, tool, repeat, counter=None, tool_shell=False):
    """Medians of the program's and the tool's times, with the calls of their
    last runs when counted. Counted runs are on the slow mount, which keeps
    nothing long enough for a warm-up to matter, so they go without one."""
    env = dict(os.environ, LC_ALL="C")
    if not counter:
        run(program)
        run(tool, shell=tool_shell, env=env)
    mine, theirs = [], []
    calls = (None, None)
    for _ in range(repeat):
        t, my_calls = timed(program, counter)
        mine.append(t)
        t, their_calls = timed(tool, counter, shell=tool_shell, env=env)
        theirs.append(t)
        calls = (my_calls, their_calls)
    return statistics.median(mine), statistics.median(theirs), calls


def paired_twice(program, tool, repeat, counter=None):
    """The program run twice in a row against the tool once: the first run
    with an empty cache directory (what a first logon on this computer
    costs), the second with what the first kept."""
    if not counter:
        run(program)
        run(tool)
    first, second, theirs = [], [], []
    calls = (None, None, None)
    for _ in range(repeat):
        with tempfile.TemporaryDirectory(prefix="quill-cache-") as cache:
            env = dict(os.environ, XDG_CACHE_HOME=cache)
            t1, c1 = timed(program, counter, env=env)
            t2, c2 = timed(program, counter, env=env)
        t3, c3 = timed(tool, counter)
        first.append(t1)
        second.append(t2)
        theirs.append(t3)
        calls = (c1, c2, c3)
    return statistics.median(first), statistics.median(second), statistics.median(theirs), calls


# ---------------------------------------------------------------- data points


def generate(quill, sample, target, folders, documents, schedules):
    """Generates a data point once; a half-written one never counts as done."""
    if (target / "DataPoint.info").exists():
        return target
    partial = target.with_name(target.name + ".partial")
    shutil.rmtree(partial, ignore_errors=True)
    print(f"generating {target} ...", file=sys.stderr, flush=True)
    subprocess.run([quill, "generate", partial, "--folders", str(folders), "--documents", str(documents),
                    "--schedules", str(schedules), "--sample", sample], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([quill, "user", "create", "--datapoint", partial, "--user", "ADMINISTRATOR", UNNAMED_USER, "Big",
                    "Boss", "--admin"], input=b"secret\n", check=True, stdout=subprocess.DEVNULL)
    partial.rename(target)
    return target


def scale_point(args, folders, schedules):
    name = f"dp-{folders}f-{folders * 10}d-s{schedules}"
    return generate(args.quill, args.sample, args.cache / name, folders, folders * 10, schedules)


def big_folder_point(args):
    point = generate(args.quill, args.sample, args.cache / f"dp-1f-{DOCUMENTS_IN_FOLDER}d-s10", 1,
                     DOCUMENTS_IN_FOLDER, 10)
    return point


def short_size(folders):
    return f"{folders // 1000}k" if folders % 1000 == 0 else str(folders)


# ---------------------------------------------------------------- measurements
# Each returns rows (work, program seconds, tool seconds, calls or None).


def quill_cmd(args, command, point, user="ANNA", *rest):
    return [args.quill, command, "--datapoint", point, "--user", user, *rest]


def measure_tree(args, point, label, repeat, counter, user="ANNA"):
    mine, theirs, calls = paired(quill_cmd(args, "tree", point, user), ["find", point, "-name", "folder.folders"],
                                 repeat, counter)
    return [(f"tree {user} {label} vs find -name folder.folders", mine, theirs, calls)]


def measure_tree_unnamed(args, point, label, repeat, counter):
    return measure_tree(args, point, label, repeat, counter, UNNAMED_USER)


def measure_find(args, point, label, repeat, counter):
    mine, theirs, calls = paired(quill_cmd(args, "find", point, "ANNA", args.word),
                                 ["grep", "-rilF", args.word, point], repeat, counter)
    return [(f"find '{args.word}' {label} vs grep -rilF", mine, theirs, calls)]


def measure_tasks(args, point, label, repeat, counter):
    rows = []
    tool = ["find", point, "-name", "*.scheduler"]
    for command in ("tasks", "status-line"):
        first, second, theirs, calls = paired_twice(quill_cmd(args, command, point), tool, repeat, counter)
        rows.append((f"{command} {label} cold vs find -name *.scheduler", first, theirs, (calls[0], calls[2])))
        rows.append((f"{command} {label} warm vs find -name *.scheduler", second, theirs, (calls[1], calls[2])))
    return rows


def measure_documents(args, point, label, repeat, counter):
    folder = Path(point) / "DataPoint.root" / "Folder 1"
    program = quill_cmd(args, "documents", point, "ANNA", folder)
    rows = []
    tools = (("cat of its files", f"find '{folder}' -maxdepth 1 -type f -exec cat {{}} + > /dev/null"),
             ("ls -l", f"ls -l '{folder}' > /dev/null"))
    for name, tool in tools:
        mine, theirs, calls = paired(program, tool, repeat, counter, tool_shell=True)
        rows.append((f"documents ({DOCUMENTS_IN_FOLDER} in a folder) vs {name}", mine, theirs, calls))
    return rows


MEASURES = {
    "tree": measure_tree,
    "tree-unnamed": measure_tree_unnamed,
    "find": measure_find,
    "tasks": measure_tasks,
    "documents": measure_documents,
}


def measure_all(args, points, repeat, counter=None, remap=lambda p: p):
    """points: (label, scale data point); the big folder comes extra."""
    rows = []
    for work in args.works:
        if work == "documents":
            rows += measure_documents(args, remap(big_folder_point(args)), "", repeat, counter)
            continue
        for label, point in points:
            rows += MEASURES[work](args, remap(point), label, repeat, counter)
    return rows


# ---------------------------------------------------------------- slow share


@contextmanager
def slow_mount(args, delay):
    if not args.slowfs.exists():
        sys.exit(f"no {args.slowfs}: build the project with libfuse3-dev installed")
    mount = Path(tempfile.mkdtemp(prefix=f"quill-slowfs-{delay}-"))
    subprocess.run([args.slowfs, args.cache, mount, f"--delay={delay}", f"--timeout={args.slow_timeout}"],
                   check=True)
    try:
        yield mount
    finally:
        subprocess.run(["fusermount3", "-u", mount], check=False)
        mount.rmdir()


def measure_slow(args, points):
    tables = []
    for delay in args.slow:
        with slow_mount(args, delay) as mount:
            remap = lambda p: mount / Path(p).relative_to(args.cache)
            rows = measure_all(args, points, args.slow_repeat, Counter(mount), remap)
        tables.append((f"through slowfs, {delay} us per call, medians of {args.slow_repeat}", rows))
    return tables


# ---------------------------------------------------------------- strace


STRACE_GROUPS = ("stat", "openat", "getdents64", "read")


def strace_counts(cmd, shell=False):
    """strace -f -c's call counts of a command, grouped into the stat family,
    openat, getdents64 and read."""
    with tempfile.NamedTemporaryFile(mode="r", suffix=".strace") as out:
        prefix = ["strace", "-f", "-c", "-o", out.name]
        full = prefix + (["sh", "-c", cmd] if shell else [str(c) for c in cmd])
        subprocess.run(full, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=dict(os.environ, LC_ALL="C"))
        counts = dict.fromkeys(STRACE_GROUPS, 0)
        for line in out.read().splitlines():
            fields = line.split()
            if len(fields) < 5 or not fields[3].isdigit():
                continue
            name, calls = fields[-1], int(fields[3])
            group = "stat" if "stat" in name and "statfs" not in name else name
            if group in counts:
                counts[group] += calls
        return counts


def measure_strace(args, point):
    pairs = [
        ("tree vs find -name folder.folders", quill_cmd(args, "tree", point),
         ["find", point, "-name", "folder.folders"]),
        (f"find '{args.word}' vs grep -rilF", quill_cmd(args, "find", point, "ANNA", args.word),
         ["grep", "-rilF", args.word, point]),
        ("tasks vs find -name *.scheduler", quill_cmd(args, "tasks", point),
         ["find", point, "-name", "*.scheduler"]),
    ]
    rows = []
    for work, program, tool in pairs:
        rows.append((work, strace_counts(program), strace_counts(tool)))
    return rows


# ---------------------------------------------------------------- growth


def measure_exponent(args, schedules):
    """Times at 10k and 50k folders; t grows as size^exponent."""
    small = scale_point(args, 10000, schedules)
    large = scale_point(args, 50000, schedules)
    rows = []
    for work, make in (("tree", lambda p: (quill_cmd(args, "tree", p), ["find", p, "-name", "folder.folders"])),
                       ("find", lambda p: (quill_cmd(args, "find", p, "ANNA", args.word),
                                           ["grep", "-rilF", args.word, p])),
                       ("tasks", lambda p: (quill_cmd(args, "tasks", p), ["find", p, "-name", "*.scheduler"]))):
        mine10, theirs10, _ = paired(*make(small), args.repeat)
        mine50, theirs50, _ = paired(*make(large), args.repeat)
        rows.append((work, mine10, mine50, math.log(mine50 / mine10) / math.log(5),
                     theirs10, theirs50, math.log(theirs50 / theirs10) / math.log(5)))
    return rows


# ---------------------------------------------------------------- printing


def print_table(title, header, rows):
    widths = [max(len(str(r[i])) for r in [header] + rows) for i in range(len(header))]
    print(f"\n{title}")

    def line(row):  # the work left, the figures right
        return " | ".join(str(c).ljust(w) if i == 0 else str(c).rjust(w) for i, (c, w) in enumerate(zip(row, widths)))

    print(line(header))
    print("-+-".join("-" * w for w in widths))
    for r in rows:
        print(line(r))


def seconds(value):
    return f"{value:.3f} s"


def time_rows(rows):
    return [(work, seconds(mine), seconds(theirs), f"{mine / theirs:.1f}" if theirs > 0 else "-")
            for work, mine, theirs, _ in rows]


def calls_text(calls):
    if not calls:
        return "-"
    shown = ("getattr", "opendir", "readdir", "open", "read")
    text = " ".join(f"{k} {calls.get(k, 0)}" for k in shown)
    written = sum(calls.get(k, 0) for k in ("create", "write", "mkdir", "unlink", "rmdir", "rename"))
    return text + (f" (+{written} changes)" if written else "")


def print_times(title, rows):
    print_table(title, ("work", "quill median", "tool median", "ratio"), time_rows(rows))


def print_calls(title, rows):
    print_table(title, ("work", "quill calls", "tool calls"),
                [(work, calls_text(calls[0]), calls_text(calls[1])) for work, _, _, calls in rows])


# ---------------------------------------------------------------- main


def number_list(text):
    return [int(x) for x in text.split(",") if x]


def parse_args():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--quill", type=Path, default=ROOT / "build" / "bin" / "quill-cli")
    p.add_argument("--slowfs", type=Path, default=ROOT / "build" / "bin" / "slowfs")
    p.add_argument("--sample", type=Path, default=ROOT / "resources" / "DataPoint")
    p.add_argument("--cache", type=Path, default=Path("/tmp/quill-scale"),
                   help="where generated data points are kept (default /tmp/quill-scale)")
    p.add_argument("--folders", type=number_list, default=[10000],
                   help="folder counts of the sets, 10 documents a folder (default 10000; e.g. 1000,10000,50000)")
    p.add_argument("--schedules", type=number_list, default=[0, 10, 20],
                   help="percentages of scheduled documents (default 0,10,20)")
    p.add_argument("--works", type=lambda t: t.split(","), default=list(WORKS),
                   help="comma-separated subset of " + ",".join(WORKS))
    p.add_argument("--repeat", type=int, default=5, help="measured runs of each (default 5)")
    p.add_argument("--word", default=DEFAULT_WORD, help=f"text to find (default '{DEFAULT_WORD}')")
    p.add_argument("--local", action=argparse.BooleanOptionalAction, default=True,
                   help="time on the local disk (default; --no-local for --slow, --strace or --exponent alone)")
    p.add_argument("--slow", type=int, nargs="+", default=[], metavar="MICROSECONDS",
                   help="also time through slowfs with these delays, on one set of the first percentage")
    p.add_argument("--slow-folders", type=int, default=10000,
                   help="folders of the set timed through slowfs (default 10000; at 2000 us a single tree there "
                   "takes minutes, 1000 keeps a run short)")
    p.add_argument("--slow-repeat", type=int, default=3)
    p.add_argument("--slow-timeout", type=float, default=1.0,
                   help="seconds the kernel keeps names and attributes of the slow mount (default 1, as CIFS)")
    p.add_argument("--strace", action="store_true", help="count file system calls with strace -f -c")
    p.add_argument("--exponent", action="store_true", help="growth from 10k to 50k folders")
    args = p.parse_args()
    unknown = set(args.works) - set(WORKS)
    if unknown:
        p.error(f"unknown works: {', '.join(sorted(unknown))}")
    args.cache.mkdir(parents=True, exist_ok=True)
    args.cache = args.cache.resolve()
    return args


def main():
    args = parse_args()
    if not args.quill.exists():
        sys.exit(f"no {args.quill}: build the project first (or give --quill)")
    if not (args.quill.parent / "Language").is_dir():
        sys.exit(f"no language files beside {args.quill}: build the quill_resources target too")
    points = [(f"{short_size(f)}/{s}%", scale_point(args, f, s)) for f in args.folders for s in args.schedules]
    if args.local:
        rows = measure_all(args, points, args.repeat)
        print_times(f"local disk, warm cache, medians of {args.repeat}", rows)
    if args.slow:
        size = args.slow_folders
        slow_points = [(f"{short_size(size)}/{args.schedules[0]}%", scale_point(args, size, args.schedules[0]))]
        for title, rows in measure_slow(args, slow_points):
            print_times(title, rows)
            print_calls(title + ", calls of the last run", rows)
    if args.strace:
        label, point = f"10k/{args.schedules[0]}%", scale_point(args, 10000, args.schedules[0])
        rows = []
        for work, mine, theirs in measure_strace(args, point):
            rows.append((work, "quill", *(mine[g] for g in STRACE_GROUPS)))
            rows.append(("", "tool", *(theirs[g] for g in STRACE_GROUPS)))
        print_table(f"file calls on {label} (strace -f -c)", ("work", "by", *STRACE_GROUPS), rows)
    if args.exponent:
        rows = measure_exponent(args, args.schedules[0])
        print_table(f"growth 10k -> 50k folders ({args.schedules[0]}% scheduled), t ~ size^exponent",
                    ("work", "quill 10k", "quill 50k", "exponent", "tool 10k", "tool 50k", "tool exponent"),
                    [(w, seconds(a), seconds(b), f"{e:.2f}", seconds(c), seconds(d), f"{f:.2f}")
                     for w, a, b, e, c, d, f in rows])


if __name__ == "__main__":
    main()
