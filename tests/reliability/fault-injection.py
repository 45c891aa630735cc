#!/usr/bin/env python3
"""Kills quill-cli before each file-changing system call of a multi-file
operation in turn, and separately fails each such call with EIO, through
strace's fault injection; then runs the next command and the operation again
and checks what the data point holds.

    fault-injection.py QUILL_CLI [--operation NAME]... [--mode kill|eio]...
                       [--max-calls N] [--details N] [--keep DIR] [--calls]

For every operation a clean run first gives the state before (P), after it
(D) and after running it a second time (D2). Each faulted run must then
leave, once the next command (a listing of the folder) has run, either P or
D: a document whole in exactly one place, or wholly gone after a delete.
A faulted run that exits 0 must already have left D. Running the operation
again must finish it (D after P, D2 after D) and either succeed or, when it
was done already, say so on standard error. Every state met is also read
document by document for companions without their record, attached files no
document names and named attached files that are missing.

The calls faulted: every call of the file-changing kinds the operation
makes (counted per kind, as strace counts them), openat only where it
creates or truncates a file, and with EIO also where it opens a file of the
documents. Of a kind with more than --max-calls calls (default 40; all when
QUILL_FAULTS_LONG is set) an evenly spread selection is faulted.

Prints "OPERATION: N steps x kill, failures: F" per operation and mode, what
kinds of failure they were and the first ones; exits 1 when any step failed,
77 when strace is missing, 2 when an operation fails without a fault.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quill_world as qw  # noqa: E402

# The calls that change files. openat counts only when it creates or
# truncates; the calls that one operation never makes drop out by themselves.
FILE_CHANGING_CALLS = ("openat", "write", "pwrite64", "writev", "ftruncate", "fsync", "fdatasync", "rename",
                       "renameat", "renameat2", "link", "linkat", "symlink", "symlinkat", "unlink", "unlinkat",
                       "mkdir", "mkdirat", "rmdir", "copy_file_range", "sendfile")
CREATING_OPEN = re.compile(r"\bO_(CREAT|TRUNC)\b")
TRACE_LINE = re.compile(r"^(\d+)\s+(\w+)\(")


class Operation:
    """One command under test: how the world is prepared for it, the command
    itself and the folder the next command lists."""

    def __init__(self, name, user, words, listing, setup=()):
        self.name, self.user, self.words, self.listing, self.setup = name, user, words, listing, setup


def operations():
    supplier = "{root}/Contracts/Supplier.contract"
    return [
        Operation("document copy", "ANNA", ["document", "copy", supplier, "{root}/Projects/Supplier.contract"],
                  "{root}/Projects"),
        Operation("document move", "ANNA", ["document", "move", supplier, "{root}/Projects/Supplier.contract"],
                  "{root}/Projects"),
        Operation("document delete", "ANNA", ["document", "delete", supplier], "{root}/Contracts"),
        Operation("trash put", "ANNA", ["trash", "put", supplier], "{root}/Contracts"),
        Operation("trash empty", "ANNA", ["trash", "empty"], "{root}/Contracts",
                  setup=[("ANNA", ["trash", "put", supplier]), ("ANNA", ["trash", "put", "{root}/Projects/Website"])]),
        Operation("folder delete", "ANNA", ["folder", "delete", "{root}/Projects"], "{root}"),
        Operation("new-folder", "ANNA", ["new-folder", "--folder", "{root}/Contracts", "--template", "0", "--name",
                                         "Fresh"], "{root}/Contracts"),
        Operation("edit", "ANNA", ["edit", supplier, "--set", "AMOUNT=4321", "--comment", "Checked after a fault",
                                   "--remove-attachment", "1", "--attach", "{files}/Quote.txt=Quote 2027",
                                   "--schedule", "3.2.2027", "10:30", "1 day before"], "{root}/Contracts",
                  setup=[("write", "{files}/Quote.txt", "12 boxes of paper\r\n")]),
        Operation("datapoint create", "ADMINISTRATOR", ["datapoint", "create", "{files}/New point", "--creator",
                                                        "Fault Check"], "{root}"),
        Operation("user delete", "ADMINISTRATOR", ["user", "delete", "ANNA", "--with-data"], "{root}"),
    ]


OWNED_MARK = ".quill-owned"


class Harness:
    def __init__(self, cli, work, sample, view=None):
        self.world = qw.World(os.path.join(work, "world"), cli)
        # Where quill-cli sees the world: the world itself, or the same
        # directory through a network mount while the harness prepares and
        # compares it on the server's side.
        self.seen = os.path.join(view, "world") if view else self.world.path
        self.work = work
        self.sample = sample
        self.types = qw.record_types(sample)
        # The user's trash (in the data point) is watched; the cache (the
        # local copy of the data point's resources, staged attachments), the
        # logs and the journal of unfinished changes are not documents. Nor
        # is the list of known data points on this computer: a new data
        # point is made known just before it is put in place, and a creation
        # killed in between is finished by running it again, which the
        # harness checks.
        self.trash = os.path.join("DataPoint", "DataPoint.system", "Trash", "ANNA")
        self.unwatched = (os.path.join("DataPoint", "DataPoint.system", "Logs"),
                          os.path.join("DataPoint", "DataPoint.system", "Transactions"),
                          os.path.join("home-user", "XDG_CACHE_HOME"),
                          os.path.join("home-user", "QUILL_CONFIG_HOME"))
        self.document_places = ['"%s/' % self.as_seen(p) for p in (
            self.world.root, os.path.join(self.world.data_point, "DataPoint.users"),
            os.path.join(self.world.path, "files"), os.path.join(self.world.path, self.trash))]

    def as_seen(self, path):
        return self.seen + path[len(self.world.path):] if path.startswith(self.world.path) else path

    def fill(self, words):
        return [w.format(root=self.as_seen(self.world.root), files=self.as_seen(os.path.join(self.world.path, "files")),
                         dp=self.as_seen(self.world.data_point)) for w in words]

    def op_command(self, op):
        return self.world.command(self.fill(op.words), op.user, data_point=self.as_seen(self.world.data_point))

    def listing(self, op):
        return self.world.run(self.world.command(["documents"] + self.fill([op.listing]), op.user,
                                                 data_point=self.as_seen(self.world.data_point)))

    # --- the state of the world, made comparable between runs -------------

    def snapshot(self):
        """Relative path -> content digest of everything in the world that an
        operation may change; quill's own files, the logs and the content of
        histories are left out, attached files are known by their content."""
        state = {}
        base = self.world.path
        for folder, dirs, files in os.walk(base):
            dirs[:] = sorted(d for d in dirs if not d.startswith(qw.OWN_PREFIX))
            rel = os.path.relpath(folder, base)
            in_trash = rel == self.trash or rel.startswith(self.trash + "/")
            if not in_trash and rel.startswith(self.unwatched):
                if not self.trash.startswith(rel + "/"):
                    dirs[:] = []
                continue
            attached = os.path.basename(folder) == qw.ATTACHMENTS_DIR
            # The mark that makes a directory quill's own is no content.
            files = [f for f in files if not f.startswith(qw.OWN_PREFIX) and f != OWNED_MARK]
            # An attachment folder without files means no attachments, and
            # an empty trash is no trash.
            # Nor is an empty directory of the user's own settings.
            if (not files and not dirs and not attached and not self.trash.startswith(rel)
                    and not rel.startswith("home-user")):
                state[rel + "/"] = "dir"
            counts = {}
            for f in sorted(files):
                path = os.path.join(folder, f)
                if os.path.islink(path):
                    state[os.path.join(rel, f)] = "link"
                    continue
                digest = qw.sha(path)
                if attached:
                    counts[digest] = counts.get(digest, 0) + 1
                    state[os.path.join(rel, "<%s#%d>" % (digest, counts[digest]))] = "file"
                elif f.endswith(".history"):
                    state[os.path.join(rel, f)] = "history"
                elif f.endswith(".attachments"):
                    slots = []
                    for name, kind, file in qw.attachment_slots(path):
                        target = os.path.join(folder, qw.ATTACHMENTS_DIR, file)
                        slots.append("%s/%s/%s" % (name, kind, qw.sha(target) if os.path.isfile(target) else "-"))
                    state[os.path.join(rel, f)] = "|".join(slots)
                else:
                    state[os.path.join(rel, f)] = digest
        return state

    def problems(self):
        found = []
        for top in (self.world.root, os.path.join(self.world.data_point, "DataPoint.users"),
                    os.path.join(self.world.path, self.trash)):
            found += qw.scan(top, self.types)[1]
        return [p.replace(self.world.path + "/", "") for p in found]

    @staticmethod
    def difference(state, wanted, limit=4):
        lines = []
        for key in sorted(set(state) | set(wanted)):
            if key not in wanted:
                lines.append("+" + key)
            elif key not in state:
                lines.append("-" + key)
            elif state[key] != wanted[key]:
                lines.append("~" + key)
        more = " (+%d more)" % (len(lines) - limit) if len(lines) > limit else ""
        return ", ".join(lines[:limit]) + more

    def nearest(self, state, references):
        return min(references, key=lambda r: len(self.difference(r[1], state, 10 ** 6)))

    def strip_volatile(self, state):
        return {k: ("*" if k in self.volatile else v) for k, v in state.items()}

    # --- one operation -----------------------------------------------------

    def prepare(self, op):
        """The pristine world for op, and the clean states P, D and D2."""
        self.world.create(self.sample)
        for step in op.setup:
            if step[0] == "write":
                path = self.fill([step[1]])[0]
                with open(path, "w", newline="") as f:
                    f.write(step[2])
                continue
            user, words = step
            rc, out, err = self.world.run(self.op_command(Operation("setup", user, words, "")))
            if rc != 0:
                raise RuntimeError("setting up %s: %s failed: %s" % (op.name, " ".join(words), err.strip()))
        self.listing(op)
        self.pristine = os.path.join(self.work, "pristine")
        self.world.save_to(self.pristine)
        self.volatile = set()
        runs = []
        for _ in range(2):
            self.world.restore_from(self.pristine)
            before = self.snapshot()
            rc, out, err = self.world.run(self.op_command(op))
            if rc != 0:
                raise RuntimeError("%s fails without a fault: %s" % (op.name, err.strip()))
            self.listing(op)
            done = self.snapshot()
            rc2, out2, err2 = self.world.run(self.op_command(op))
            self.listing(op)
            again = self.snapshot()
            runs.append((before, done, again, rc2))
        # What differs between two clean runs (times, generated names) is
        # compared by presence only.
        for a, b in zip(runs[0][:3], runs[1][:3]):
            if set(a) != set(b):
                raise RuntimeError("%s: two clean runs leave different files: %s" % (op.name, self.difference(a, b)))
            self.volatile |= {k for k in a if a[k] != b[k]}
        self.before, self.done, self.again = (self.strip_volatile(s) for s in runs[0][:3])
        self.again_status = runs[0][3]

    def calibrate(self, op, trace):
        """The calls of each kind a clean traced run makes, in order, as
        {call: [line, ...]} for the process that makes the most of them."""
        self.world.restore_from(self.pristine)
        calls = ",".join(FILE_CHANGING_CALLS)
        rc, out, err = self.world.run(self.op_command(op), prefix=["strace", "-f", "-qq", "-o", trace,
                                                                 "-e", "trace=" + calls])
        if rc != 0:
            raise RuntimeError("%s fails under strace: %s" % (op.name, err.strip()))
        per_process = {}
        with open(trace, errors="replace") as f:
            for line in f:
                m = TRACE_LINE.match(line)
                if m:
                    per_process.setdefault(m.group(1), {}).setdefault(m.group(2), []).append(line)
        made = {}
        for calls_made in per_process.values():
            for name, lines in calls_made.items():
                if len(lines) > len(made.get(name, [])):
                    made[name] = lines
        return made

    def candidates(self, made, call, mode, budget):
        """The ordinals of the calls of one kind to fault. An openat is
        faulted when it creates or truncates a file, and with EIO also when
        it opens one of the files of the documents (reading them may fail
        too); every call of the other kinds is. Beyond budget calls, an
        evenly spread selection that keeps the first and the last."""
        lines = made.get(call, [])
        ordinals = []
        for n, line in enumerate(lines, 1):
            if call == "openat" and not CREATING_OPEN.search(line):
                if mode == "kill" or not any(place in line for place in self.document_places):
                    continue
            ordinals.append(n)
        if budget and len(ordinals) > budget:
            picked = sorted({ordinals[round(i * (len(ordinals) - 1) / (budget - 1))] for i in range(budget)})
            return picked, len(ordinals)
        return ordinals, len(ordinals)

    def step(self, op, mode, call, n, trace):
        """Runs op with the n-th call of its kind faulted; None when no call
        was faulted, else a list of what went wrong."""
        self.world.restore_from(self.pristine)
        action = "signal=KILL" if mode == "kill" else "error=EIO"
        rc, out, err = self.world.run(self.op_command(op), prefix=[
            "strace", "-f", "-qq", "-o", trace, "-e", "trace=" + call,
            "-e", "inject=%s:%s:when=%d" % (call, action, n)])
        with open(trace, errors="replace") as f:
            text = f.read()
        fired = "+++ killed by SIGKILL +++" in text if mode == "kill" else "(INJECTED)" in text
        if not fired:
            return None
        faulted = ""
        for line in text.splitlines():
            if (mode == "kill" and line.endswith("= ?")) or "(INJECTED)" in line:
                faulted = line.split(None, 1)[1]
        failures = []
        if mode == "kill" and call == "openat" and not CREATING_OPEN.search(faulted):
            failures.append("harness: the calls came in another order than in the clean run")
        faulted = faulted.replace(self.seen + "/", "").replace(self.world.path + "/", "")
        faulted = faulted[:150] + ("..." if len(faulted) > 150 else "")
        references = [("before", self.before), ("done", self.done)]
        if rc == 0:
            state = self.strip_volatile(self.snapshot())
            if state != self.done:
                failures.append("exited 0 without doing everything: " + self.difference(state, self.done))
        self.listing(op)
        state = self.strip_volatile(self.snapshot())
        failures += ["after the next command: " + p for p in self.problems()]
        if state == self.before:
            outcome = "before"
        elif state == self.done:
            outcome = "done"
        else:
            outcome = "half"
            name, wanted = self.nearest(state, references)
            failures.append("half done after the next command (against %s): %s" %
                            (name, self.difference(state, wanted)))
        rc2, out2, err2 = self.world.run(self.op_command(op))
        self.listing(op)
        again = self.strip_volatile(self.snapshot())
        failures += ["after running it again: " + p for p in self.problems()]
        wanted = {"before": [self.done], "done": [self.again]}.get(outcome, [self.done, self.again])
        if again not in wanted:
            failures.append("running it again did not finish it: " + self.difference(again, wanted[0]))
        if rc2 != 0 and not (outcome == "done" and again == self.again and err2.strip()):
            failures.append("running it again failed (%d): %s" % (rc2, err2.strip()[:160] or "no message"))
        return [(faulted, f) for f in failures]


def failure_kind(text):
    for kind in ("harness", "exited 0 without doing everything", "half done", "orphan", "attached file missing",
                 "running it again did not finish it", "running it again failed"):
        if kind in text:
            return kind
    return "other"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("cli")
    parser.add_argument("--sample", default=qw.sample_data_point())
    parser.add_argument("--operation", action="append", help="only this operation (repeatable)")
    parser.add_argument("--mode", action="append", choices=("kill", "eio"))
    parser.add_argument("--max-calls", type=int, default=None,
                        help="fault at most N calls of each kind, spread evenly (0: all; default 40, "
                             "or all when QUILL_FAULTS_LONG is set)")
    parser.add_argument("--details", type=int, default=3, help="failures shown per operation and mode")
    parser.add_argument("--keep", help="work in this directory and keep it")
    parser.add_argument("--calls", action="store_true", help="only count the calls each operation makes")
    parser.add_argument("--network", action="store_true",
                        help="quill-cli reaches the data point through the sshfs mount QUILL_SHARE_A of "
                             "QUILL_SHARE (run under network-mount.sh)")
    args = parser.parse_args()
    missing = qw.missing_language_files(args.cli)
    if missing:
        print(missing, file=sys.stderr)
        return 2
    if args.max_calls is None:
        args.max_calls = 0 if os.environ.get("QUILL_FAULTS_LONG") else 40
    if not shutil.which("strace"):
        print("fault injection skipped: strace is not installed", file=sys.stderr)
        return 77
    cli = os.path.abspath(args.cli)
    # Every step starts from a fresh copy of the world: in memory that
    # copy takes a third of the time it takes on a disk.
    memory = "/dev/shm" if os.access("/dev/shm", os.W_OK) and not os.environ.get("TMPDIR") else None
    view = None
    if args.network:
        server, mount = os.environ.get("QUILL_SHARE"), os.environ.get("QUILL_SHARE_A")
        if not server or not mount:
            print("fault injection on a network mount skipped: run under network-mount.sh", file=sys.stderr)
            return 77
        work = tempfile.mkdtemp(prefix="quill-faults.", dir=server)
        view = mount + work[len(server):]
    else:
        work = args.keep or tempfile.mkdtemp(prefix="quill-faults.", dir=memory)
    os.makedirs(work, exist_ok=True)
    harness = Harness(cli, work, args.sample, view)
    trace = os.path.join(work, "trace")
    modes = args.mode or ["kill", "eio"]
    started = time.monotonic()
    total_failures = 0
    broken = 0
    try:
        for op in operations():
            if args.operation and op.name not in args.operation:
                continue
            try:
                harness.prepare(op)
                made = harness.calibrate(op, trace)
            except RuntimeError as e:
                print("%s: cannot be tested: %s" % (op.name, e))
                broken += 1
                continue
            if args.calls:
                print("%s: %s" % (op.name, ", ".join("%s %d/%d" % (
                    c, len(harness.candidates(made, c, "kill", 0)[0]), len(harness.candidates(made, c, "eio", 0)[0]))
                    for c in FILE_CHANGING_CALLS if c in made)))
                continue
            for mode in modes:
                steps, failed, details, skipped, kinds = 0, 0, [], 0, {}
                for call in FILE_CHANGING_CALLS:
                    ordinals, available = harness.candidates(made, call, mode, args.max_calls)
                    skipped += available - len(ordinals)
                    for n in ordinals:
                        result = harness.step(op, mode, call, n, trace)
                        if result is None:
                            result = [("", "harness: call %s #%d of the clean run was not made" % (call, n))]
                        steps += 1
                        if result:
                            failed += 1
                            for kind in {failure_kind(text) for _, text in result}:
                                kinds[kind] = kinds.get(kind, 0) + 1
                            if len(details) < args.details:
                                details.append("  %s #%d %s\n    %s" % (call, n, result[0][0], result[0][1]))
                print("%s: %d steps \u00d7 %s, failures: %d%s" % (
                    op.name, steps, mode if mode == "kill" else "EIO", failed,
                    " (%d further calls not faulted)" % skipped if skipped else ""), flush=True)
                if kinds:
                    print("  " + ", ".join("%s: %d" % item for item in sorted(kinds.items())), flush=True)
                for d in details:
                    print(d, flush=True)
                total_failures += failed
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    print("total failures: %d, in %.0f s" % (total_failures, time.monotonic() - started))
    if broken:
        return 2
    return 1 if total_failures else 0


if __name__ == "__main__":
    sys.exit(main())
