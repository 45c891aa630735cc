#!/usr/bin/env python3
"""Two people working on one document at the same moment: ADMINISTRATOR and
ANNA, each with a home of their own, run one quill-cli command each on a
fresh copy of the sample data point per round. Odd rounds release both at
once; even rounds hold one of them (strace stops it) right after one of its
file-changing calls until the other has finished, the sides taking turns
and the calls spread over what the command does, so that the interleavings
that free races seldom hit are met in every run.

    race.py QUILL_CLI [--rounds N] [--pair NAME]... [--network] [--details N]

Pairs: edit vs edit, edit vs move, edit vs delete, move vs move onto one
name, copy vs copy onto one name. After each round the data point must hold
every document whole (record, every companion it had, every attached file
its attachment list names, nothing left over) and:
  - lost edits: an edit that exited 0 has its field value and its comment in
    the document, unless a delete that exited 0 took the document away; two
    edits of other fields both get in, the second merging the first; an
    edit that reports a conflict (exit 3) wrote nothing;
  - lost files: no document and no attached file went missing, and none
    was replaced by another (nothing at a target is replaced);
  - exit 0 without effect: a move, copy or delete that exited 0 did not
    leave the document where it said it would.
Rounds default to 20, or QUILL_RACE_ROUNDS. With --network the data point
lies on QUILL_SHARE and the two people reach it through the two sshfs mounts
QUILL_SHARE_A and QUILL_SHARE_B (run under network-mount.sh).
Without strace every round releases both at once. Exits 1 when any round
failed, 77 when --network finds no mounts.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quill_world as qw  # noqa: E402

SUPPLIER = "Contracts/Supplier.contract"
SECOND = "Meetings/Supplier.contract"   # a second contract, made in the set-up
TARGET = "Projects/Deal.contract"
MOVED = "Projects/Supplier.contract"


def edit(tag, field):
    return ["edit", "{root}/" + SUPPLIER, "--set", "%s=%s" % (field, tag), "--comment", "Comment " + tag]


# name: (words of ADMINISTRATOR, words of ANNA); {r} is the round.
PAIRS = {
    "edit vs edit": (edit("A{r}", "CONTRACT_NUMBER"), edit("B{r}", "PARTNER")),
    "edit vs move": (edit("A{r}", "CONTRACT_NUMBER"), ["document", "move", "{root}/" + SUPPLIER, "{root}/" + MOVED]),
    "edit vs delete": (edit("A{r}", "CONTRACT_NUMBER"), ["document", "delete", "{root}/" + SUPPLIER]),
    "move vs move onto one name": (["document", "move", "{root}/" + SUPPLIER, "{root}/" + TARGET],
                                   ["document", "move", "{root}/" + SECOND, "{root}/" + TARGET]),
    "copy vs copy onto one name": (["document", "copy", "{root}/" + SUPPLIER, "{root}/" + TARGET],
                                   ["document", "copy", "{root}/" + SECOND, "{root}/" + TARGET]),
}
PEOPLE = (("ADMINISTRATOR", "admin"), ("ANNA", "anna"))
# The calls after which one side may be held while the other runs.
PAUSE_CALLS = ("openat", "write", "fsync", "rename", "renameat2", "link", "linkat", "unlink", "unlinkat", "mkdir",
               "rmdir", "sendfile")



# How long a held program stays stopped while the other runs into it.
HELD_FOR = 1.0

class Race:
    def __init__(self, cli, work, sample, network):
        self.cli = cli
        self.work = work
        self.types = qw.record_types(sample)
        self.fields = self.contract_fields(sample)
        self.network = network
        # The set-up world, local; rounds run on copies of it.
        self.setup = qw.World(os.path.join(work, "setup"), cli, homes=("admin", "anna"))
        self.setup.create(sample)
        self.homes = os.path.join(work, "homes")
        rc, out, err = self.setup.run(self.setup.command(
            ["document", "copy", self.setup.root + "/" + SUPPLIER, self.setup.root + "/" + SECOND], "ANNA"), "anna")
        rc2, out2, err2 = self.setup.run(self.setup.command(
            ["edit", self.setup.root + "/" + SECOND, "--set", "CONTRACT_NUMBER=SECOND", "--set", "AMOUNT=99"],
            "ANNA"), "anna")
        if rc or rc2:
            raise RuntimeError("the second contract cannot be made: " + (err + err2).strip())
        for user, home in PEOPLE:
            self.setup.run(self.setup.command(["documents", self.setup.root + "/Contracts"], user), home)
        shutil.copytree(self.setup.path, self.homes, symlinks=True,
                        ignore=lambda d, names: ["DataPoint", "files"] if d == self.setup.path else [])
        self.original = {}
        for rel in (SUPPLIER, SECOND):
            self.original[rel] = self.document(self.setup.root, rel).signature()

    @staticmethod
    def contract_fields(sample):
        info = qw.read_lines(os.path.join(sample, "DataPoint.system", "Objects", "Public", "contract.info"))
        fields = [line.split("=", 1)[1] for line in info if line.startswith("PROPERTY_")]
        return {name: i for i, name in enumerate(fields)}

    def document(self, root, rel):
        folder, name = os.path.split(os.path.join(root, rel))
        stem, ext = name.rsplit(".", 1)
        for doc in qw.scan(folder, self.types)[0]:
            if doc.folder == folder and doc.stem == stem and doc.ext == ext:
                return doc
        return None

    def leftovers(self, root, rel):
        """Files that still carry the document's name where it is gone."""
        folder, name = os.path.split(os.path.join(root, rel))
        stem = name.rsplit(".", 1)[0]
        if not os.path.isdir(folder):
            return []
        return [f for f in os.listdir(folder) if f.rsplit(".", 1)[0] == stem and not f.startswith(qw.OWN_PREFIX)]

    def commands(self, pair, r, base):
        """The two command lines and environments of round r."""
        commands = []
        for i, ((user, home), words) in enumerate(zip(PEOPLE, PAIRS[pair])):
            data_point = os.path.join(self.network["mounts"][i], os.path.basename(base)) if self.network else base
            root = os.path.join(data_point, "DataPoint.root")
            filled = [w.format(root=root, r=r) for w in words]
            argv = qw.World(os.path.dirname(data_point), self.cli).command(filled, user, data_point=data_point)
            env = self.setup.environment(home)
            for name in qw.HOME_VARIABLES:
                env[name] = os.path.join(self.homes, "home-" + home, name)
            commands.append((argv, env))
        return commands

    def fresh(self, r):
        base = os.path.join(self.network["server"] if self.network else self.work, "round-%d" % r)
        qw.copy_tree(os.path.join(self.setup.path, "DataPoint"), base)
        return base

    def pause_points(self, pair):
        """For each side, the file-changing calls its command makes when it
        runs alone, as (call, ordinal among the calls of that kind)."""
        points = []
        for i in (0, 1):
            base = self.fresh(0)
            argv, env = self.commands(pair, 0, base)[i]
            trace = os.path.join(self.work, "trace")
            subprocess.run(["strace", "-qq", "-o", trace, "-e", "trace=" + ",".join(PAUSE_CALLS)] + argv, env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
            seen, mine = {}, []
            with open(trace, errors="replace") as f:
                for line in f:
                    call = line.split("(", 1)[0].strip()
                    if call not in PAUSE_CALLS:
                        continue
                    seen[call] = seen.get(call, 0) + 1
                    if call != "openat" or re.search(r"\bO_(CREAT|TRUNC)\b", line):
                        mine.append((call, seen[call]))
            points.append(mine)
            shutil.rmtree(base, ignore_errors=True)
        return points

    def round(self, pair, r, pause=None):
        """Runs one round; returns [(kind, text)] of what went wrong and the
        two (exit status, error text). Without pause both start at once;
        with pause (side, call, n) that side stops right after its n-th call
        of that kind, the other side runs to its end, and then it goes on."""
        base = self.fresh(r)
        commands = self.commands(pair, r, base)
        if pause:
            outputs = self.paused(commands, *pause)
        else:
            outputs = self.together(commands)
        results = [(rc, err.decode("utf-8", "replace").strip()) for rc, err in outputs]
        failures = self.check(pair, r, os.path.join(base, "DataPoint.root"), [rc for rc, _ in results])
        shutil.rmtree(base, ignore_errors=True)
        return failures, results

    def together(self, commands):
        fifo = os.path.join(self.work, "start")
        if os.path.exists(fifo):
            os.unlink(fifo)
        os.mkfifo(fifo)
        running = []
        for argv, env in commands:
            # Both wait on one FIFO and start together when it gets a writer.
            running.append(subprocess.Popen(["sh", "-c", 'exec 3<"$0"; exec 3<&-; exec "$@"', fifo] + argv, env=env,
                                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                            stdin=subprocess.DEVNULL))
        # Opening the FIFO for writing releases whoever waits on it; one that
        # comes later finds a writer and goes on at once.
        release = os.open(fifo, os.O_RDWR)
        try:
            return [(p.wait(), p.communicate()[1]) for p in running]
        finally:
            os.close(release)

    def paused(self, commands, side, call, n):
        argv, env = commands[side]
        read, write = os.pipe()
        first = subprocess.Popen(["strace", "-qq", "-o", "/dev/fd/%d" % write, "-e", "trace=" + call,
                                  "-e", "inject=%s:signal=STOP:when=%d" % (call, n)] + argv, env=env, pass_fds=(write,),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
        os.close(write)
        # strace writes a line per event as it happens: the stop, or the end
        # of the output when the call never comes.
        stopped = False
        with os.fdopen(read, errors="replace") as events:
            for line in events:
                if "--- stopped by SIGSTOP ---" in line:
                    stopped = True
                    break
            other = subprocess.Popen(commands[1 - side][0], env=commands[1 - side][1], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
            # The other runs into the held one for a while (long enough to
            # finish where nothing keeps it out), then the held one goes on
            # while the other may still be waiting for it.
            try:
                other.wait(timeout=HELD_FOR)
            except subprocess.TimeoutExpired:
                pass
            if stopped:
                with open("/proc/%d/task/%d/children" % (first.pid, first.pid)) as f:
                    for child in f.read().split():
                        os.kill(int(child), signal.SIGCONT)
            other_err = other.communicate()[1]
            for line in events:
                pass
        err = first.communicate()[1]
        outputs = [None, None]
        outputs[side] = (first.returncode, err)
        outputs[1 - side] = (other.returncode, other_err)
        return outputs

    def edit_present(self, doc, tag, field):
        record = qw.read_lines(doc.record)
        comments = qw.read_lines(doc.companions["comments"]) if "comments" in doc.companions else []
        return record[self.fields[field]] == tag and ("Comment " + tag) in comments

    def whole(self, doc, original):
        """Whether doc has every companion and attached file the original
        had (comments and record may have been edited)."""
        if doc is None:
            return False
        want = dict(line.split("=", 1) for line in original.split("\n") if line.startswith("companions="))
        if ",".join(sorted(doc.companions)) != want["companions"]:
            return False
        mine = sorted(line for line in doc.signature().split("\n") if line.startswith("attachment="))
        theirs = sorted(line for line in original.split("\n") if line.startswith("attachment="))
        return mine == theirs

    def check(self, pair, r, root, status):
        failures = []
        a_ok, b_ok = status[0] == 0, status[1] == 0
        documents, problems = qw.scan(root, self.types)
        failures += [("lost files", p.replace(root + "/", "")) for p in problems if "missing" in p]
        failures += [("leftovers", p.replace(root + "/", "")) for p in problems if "missing" not in p]
        supplier = self.document(root, SUPPLIER)
        original = self.original[SUPPLIER]
        if pair.startswith("edit vs"):
            tags = [("A%d" % r, "CONTRACT_NUMBER", a_ok, status[0])]
            if pair == "edit vs edit":
                tags.append(("B%d" % r, "PARTNER", b_ok, status[1]))
                places = [supplier]
            elif pair == "edit vs move":
                moved = self.document(root, MOVED)
                places = [d for d in (supplier, moved) if d]
                if len(places) != 1:
                    failures.append(("lost files", "the contract lies in %d places" % len(places)))
                if b_ok and supplier is not None:
                    failures.append(("exit 0 without effect", "the move exited 0 and the contract is still there"))
                if not b_ok and supplier is None:
                    failures.append(("lost files", "the move failed and the contract left its folder"))
            else:
                places = [supplier]
                if b_ok:
                    places = []
                    if supplier is not None or self.leftovers(root, SUPPLIER):
                        failures.append(("exit 0 without effect", "the delete exited 0 and left %s" %
                                         ", ".join(self.leftovers(root, SUPPLIER))))
            for doc in places:
                if not self.whole(doc, original):
                    failures.append(("lost files", "the contract is not whole: %s" % (
                        doc.record.replace(root + "/", "") if doc else "missing")))
                    continue
                for tag, field, ok, code in tags:
                    if ok and not self.edit_present(doc, tag, field):
                        failures.append(("lost edits", "%s=%s or its comment is missing" % (field, tag)))
                    # Exit 3: a change it could not merge, and nothing written.
                    if code == 3 and self.edit_present(doc, tag, field):
                        failures.append(("other", "an edit reported a conflict and wrote %s=%s" % (field, tag)))
        else:
            sources = (SUPPLIER, SECOND)
            target = self.document(root, TARGET)
            winners = [i for i in (0, 1) if status[i] == 0]
            moving = pair.startswith("move")
            held = [i for i in (0, 1) if target is not None and target.signature() == self.original[sources[i]]]
            if target is not None and not held:
                failures.append(("lost files", "the target is no whole copy of either contract"))
            if target is None and self.leftovers(root, TARGET):
                failures.append(("leftovers", "the target is half there: " + ", ".join(self.leftovers(root, TARGET))))
            for i, rel in enumerate(sources):
                who = PEOPLE[i][0]
                doc = self.document(root, rel)
                at_source = doc is not None and doc.signature() == self.original[rel]
                if not at_source and i not in held:
                    failures.append(("lost files", "the contract %s moved or copied is gone" % who))
                if i in winners and i not in held:
                    failures.append(("exit 0 without effect", "%s exited 0 and the target is not its contract" % who))
                if moving and i in winners and (doc is not None or self.leftovers(root, rel)):
                    failures.append(("exit 0 without effect", "%s exited 0 and %s is still there" % (who, rel)))
                if i not in winners and i in held:
                    failures.append(("other", "%s failed and its contract is at the target" % who))
                if doc is not None and not at_source:
                    failures.append(("lost files", "%s is no longer whole" % rel))
        return failures


def plan(rounds, points):
    """How each round runs: every odd round both at once; every even round
    one side held after one of its file-changing calls while the other runs,
    the sides taking turns and the calls spread evenly over each side's."""
    schedule = [None] * rounds
    if not points:
        return schedule
    held_rounds = [r for r in range(rounds) if r % 2 == 1]
    for side in (0, 1):
        mine = held_rounds[side::2]
        for k, r in enumerate(mine):
            if points[side]:
                call, n = points[side][k * len(points[side]) // len(mine)]
                schedule[r] = (side, call, n)
    return schedule


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("cli")
    parser.add_argument("--sample", default=qw.sample_data_point())
    parser.add_argument("--rounds", type=int, default=int(os.environ.get("QUILL_RACE_ROUNDS", "20")))
    parser.add_argument("--pair", action="append", choices=sorted(PAIRS))
    parser.add_argument("--network", action="store_true", help="the data point on the sshfs mounts")
    parser.add_argument("--details", type=int, default=3)
    args = parser.parse_args()
    missing = qw.missing_language_files(args.cli)
    if missing:
        print(missing, file=sys.stderr)
        return 2
    network = None
    if args.network:
        names = ("QUILL_SHARE", "QUILL_SHARE_A", "QUILL_SHARE_B")
        if not all(os.environ.get(n) for n in names):
            print("network races skipped: run under network-mount.sh", file=sys.stderr)
            return 77
        network = {"server": os.environ["QUILL_SHARE"],
                   "mounts": (os.environ["QUILL_SHARE_A"], os.environ["QUILL_SHARE_B"])}
    held = shutil.which("strace") is not None
    if not held:
        print("strace is not installed: every round starts both at once", file=sys.stderr)
    work = tempfile.mkdtemp(prefix="quill-races.")
    started = time.monotonic()
    failed_rounds = 0
    try:
        race = Race(os.path.abspath(args.cli), work, args.sample, network)
        for pair in PAIRS:
            if args.pair and pair not in args.pair:
                continue
            counts = {"lost edits": 0, "lost files": 0, "exit 0 without effect": 0, "leftovers": 0, "other": 0}
            refusals = {}
            succeeded = [0, 0]
            details = []
            bad = 0
            schedule = plan(args.rounds, race.pause_points(pair) if held else None)
            for r in range(1, args.rounds + 1):
                pause = schedule[r - 1]
                failures, results = race.round(pair, r, pause)
                for i in (0, 1):
                    succeeded[i] += results[i][0] == 0
                    if results[i][0] != 0:
                        said = re.sub(r"/\S*", "PATH", results[i][1].splitlines()[-1] if results[i][1] else "no message")
                        key = "%s exit %d: %s" % (PEOPLE[i][0], results[i][0], said[:100])
                        refusals[key] = refusals.get(key, 0) + 1
                for kind in {k for k, _ in failures}:
                    counts[kind] += 1
                if failures:
                    bad += 1
                    if len(details) < args.details:
                        how = "together" if pause is None else "%s held after %s #%d" % (
                            PEOPLE[pause[0]][0], pause[1], pause[2])
                        details.append("  round %d (%s; exit %d, %d): %s%s" % (
                            r, how, results[0][0], results[1][0], "; ".join(t for _, t in failures[:3]),
                            "".join(" | %s said: %s" % (PEOPLE[i][0], results[i][1][:120])
                                    for i in (0, 1) if results[i][0] != 0)))
            failed_rounds += bad
            print("%s%s: %d rounds, failed rounds: %d; lost edits: %d, lost files: %d, exit 0 without effect: %d, "
                  "leftovers: %d, other: %d; exit 0: ADMINISTRATOR %d, ANNA %d" % (
                      pair, " (sshfs)" if network else "", args.rounds, bad, counts["lost edits"],
                      counts["lost files"], counts["exit 0 without effect"], counts["leftovers"], counts["other"],
                      succeeded[0], succeeded[1]), flush=True)
            for d in details:
                print(d, flush=True)
            for said, n in sorted(refusals.items(), key=lambda item: -item[1]):
                print("  %d\u00d7 %s" % (n, said), flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("failed rounds: %d, in %.0f s" % (failed_rounds, time.monotonic() - started))
    return 1 if failed_rounds else 0


if __name__ == "__main__":
    sys.exit(main())
