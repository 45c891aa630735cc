"""A throw-away world for driving quill-cli from the reliability scripts: a
copy of the sample data point with a home, configuration and cache of its
own, a way to run quill-cli in it, and a reader of the documents it holds
that finds broken ones (a companion without its record, an attached file no
document names, a named attached file that is missing).

A document is a record file (NAME.contract, NAME.note ...) with companions
beside it that share its name (NAME.comments, NAME.attachments,
NAME.scheduler, NAME.history) and the attached files that NAME.attachments
names in the folder's Attachments.systemfiles. Files whose names start with
".~quill-" are quill's own locks, temporaries and intents and are ignored.
"""
import hashlib
import os
import shutil
import subprocess

COMPANIONS = ("comments", "attachments", "scheduler", "history")
ATTACHMENTS_DIR = "Attachments.systemfiles"
FOLDER_RECORD = "folder.folders"
OWN_PREFIX = ".~quill-"
# Environment variables that decide where quill keeps a user's own files.
TWO_WORD_COMMANDS = ("document", "trash", "folder", "folders", "user", "datapoint", "group")
HOME_VARIABLES = ("HOME", "QUILL_CONFIG_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME")


def sample_data_point():
    here = os.path.dirname(os.path.abspath(__file__))
    return os.path.normpath(os.path.join(here, "..", "..", "resources", "DataPoint"))


def missing_language_files(cli):
    """A sentence when quill-cli has no language files where it looks for
    them (beside itself, or ../share/quill when installed), else None."""
    here = os.path.dirname(os.path.abspath(cli))
    for place in (os.path.join(here, "Language"), os.path.join(here, "..", "share", "quill", "Language")):
        if os.path.isdir(place):
            return None
    return "%s has no language files beside it (build the quill_resources target)" % cli


def record_types(data_point):
    """The extensions of the document records: one per public object type."""
    public = os.path.join(data_point, "DataPoint.system", "Objects", "Public")
    return {name[:-5] for name in os.listdir(public) if name.endswith(".info")}


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    return data.decode("cp1250", "replace").replace("\r\n", "\n").split("\n")


def sha(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()[:16]


def copy_tree(source, target):
    """Replaces target with a copy of source, times and links kept (cp is
    several times faster here than shutil.copytree)."""
    subprocess.run(["rm", "-rf", target], check=True)
    subprocess.run(["cp", "-a", source, target], check=True)


class World:
    """A directory holding DataPoint/ and one home per user name given."""

    def __init__(self, path, cli, homes=("user",)):
        self.path = path
        self.cli = cli
        self.data_point = os.path.join(path, "DataPoint")
        self.root = os.path.join(self.data_point, "DataPoint.root")
        self.homes = homes

    def create(self, sample):
        shutil.rmtree(self.path, ignore_errors=True)
        os.makedirs(self.path)
        shutil.copytree(sample, self.data_point, symlinks=True)
        for home in self.homes:
            for name in HOME_VARIABLES:
                os.makedirs(os.path.join(self.path, "home-" + home, name))
        os.makedirs(os.path.join(self.path, "files"))

    def save_to(self, pristine):
        copy_tree(self.path, pristine)

    def restore_from(self, pristine):
        copy_tree(pristine, self.path)

    def environment(self, home="user"):
        env = dict(os.environ)
        for name in HOME_VARIABLES:
            env[name] = os.path.join(self.path, "home-" + home, name)
        env["LC_ALL"] = "C.UTF-8"
        return env

    def command(self, words, user, data_point=None):
        """quill-cli COMMAND --datapoint DP --user USER ARGUMENTS..., where the
        command is one word, or two for the commands that have subcommands."""
        verbs = 2 if words[0] in TWO_WORD_COMMANDS else 1
        return [self.cli] + words[:verbs] + ["--datapoint", data_point or self.data_point, "--user", user] + \
            words[verbs:]

    def run(self, argv, home="user", prefix=()):
        done = subprocess.run(list(prefix) + argv, env=self.environment(home), stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
        return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


class Document:
    def __init__(self, folder, stem, ext):
        self.folder, self.stem, self.ext = folder, stem, ext
        self.companions = {}
        self.attachments = []  # (display name, type, attached file name)

    @property
    def record(self):
        return os.path.join(self.folder, self.stem + "." + self.ext)

    def signature(self, volatile_record_lines=()):
        """What makes this document itself, wherever it lies: its record,
        comments and schedule, which companions it has, and its attachments
        by name, kind and content. The history and the lines of the record
        that a save stamps (its date and time) are left out."""
        lines = read_lines(self.record)
        lines = [line for i, line in enumerate(lines) if i not in volatile_record_lines]
        parts = ["record=" + "|".join(lines), "companions=" + ",".join(sorted(self.companions))]
        for ext in ("comments", "scheduler"):
            if ext in self.companions:
                parts.append(ext + "=" + "|".join(read_lines(self.companions[ext])))
        for name, kind, file in self.attachments:
            path = os.path.join(self.folder, ATTACHMENTS_DIR, file)
            parts.append("attachment=%s/%s/%s" % (name, kind, sha(path) if os.path.isfile(path) else "MISSING"))
        return "\n".join(parts)


def attachment_slots(path):
    """(display name, kind, file name) of each filled slot of an .attachments file."""
    lines = read_lines(path)
    slots = []
    for i in range(0, 30, 3):
        name = lines[i] if i < len(lines) else ""
        file = lines[i + 1] if i + 1 < len(lines) else ""
        kind = lines[i + 2] if i + 2 < len(lines) else ""
        if name or file:
            slots.append((name, kind, file))
    return slots


def scan(top, types):
    """The documents below top and what is broken there, as
    (documents, problems); problems are sentences naming the file."""
    documents, problems = [], []
    if not os.path.isdir(top):
        return documents, problems
    for folder, dirs, files in os.walk(top):
        dirs.sort()
        if os.path.basename(folder) == ATTACHMENTS_DIR:
            continue
        files = sorted(f for f in files if not f.startswith(OWN_PREFIX))
        by_stem = {}
        for f in files:
            stem, dot, ext = f.rpartition(".")
            if dot and ext in types:
                doc = Document(folder, stem, ext)
                if stem in by_stem:
                    problems.append("two records named %s in %s" % (stem, folder))
                by_stem[stem] = doc
                documents.append(doc)
        for f in files:
            stem, dot, ext = f.rpartition(".")
            if not dot or ext not in COMPANIONS:
                continue
            if stem in by_stem:
                by_stem[stem].companions[ext] = os.path.join(folder, f)
            elif not (stem == "folder" and FOLDER_RECORD in files):
                problems.append("orphan companion %s" % os.path.join(folder, f))
        named = set()
        for doc in by_stem.values():
            if "attachments" in doc.companions:
                doc.attachments = attachment_slots(doc.companions["attachments"])
                for name, kind, file in doc.attachments:
                    named.add(file)
                    if not os.path.isfile(os.path.join(folder, ATTACHMENTS_DIR, file)):
                        problems.append("attached file missing: %s names %s" % (doc.record, file))
        attached_dir = os.path.join(folder, ATTACHMENTS_DIR)
        if os.path.isdir(attached_dir):
            for f in sorted(os.listdir(attached_dir)):
                if not f.startswith(OWN_PREFIX) and f not in named:
                    problems.append("orphan attached file %s" % os.path.join(attached_dir, f))
    return documents, problems
