#!/usr/bin/env python3
"""Walks the AT-SPI tree of one application as a screen reader does and
reports every shown control that has no name.

Usage: atspi-names.py APPLICATION_NAME [MIN_CONTROLS]

It talks to the accessibility bus with gdbus, so it needs nothing beyond
at-spi2-core and glib's command line tools. Exit status: 0 every control
has a name, 1 some have none (listed), 77 AT-SPI is not there (said why).
"""
import os
import re
import shutil
import subprocess
import sys
import time

SKIP = 77

# AT-SPI roles of controls a user reaches (atspi-constants.h).
ROLES = {
    7: "check box", 10: "column header", 11: "combo box", 31: "list", 34: "menu bar",
    38: "page tab list", 40: "password text", 43: "push button", 44: "radio button",
    52: "spin button", 55: "table", 57: "table column header", 61: "text",
    62: "toggle button", 63: "tool bar", 65: "tree", 66: "tree table", 79: "entry",
    129: "push button menu",
}
HEADERS = {10, 57}
# Their rows are data, not controls; only column headers are looked at.
CONTAINERS = {31, 55, 65, 66}
STATE_SHOWING = 25


def gdbus(address, *args):
    done = subprocess.run(["gdbus", "call", "--address", address, *args],
                          capture_output=True, text=True, timeout=20)
    if done.returncode != 0:
        raise RuntimeError(done.stderr.strip())
    return done.stdout.strip()


def a11y_bus():
    done = subprocess.run(["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                           "/org/a11y/bus", "--method", "org.a11y.Bus.GetAddress"],
                          capture_output=True, text=True, timeout=20)
    if done.returncode != 0:
        return None
    found = re.search(r"'([^']*)'", done.stdout)
    return found.group(1) if found else None


def children(address, bus, path):
    text = gdbus(address, "--dest", bus, "--object-path", path, "--method",
                 "org.a11y.atspi.Accessible.GetChildren")
    return re.findall(r"\('([^']*)', (?:objectpath )?'([^']*)'\)", text)


def prop(address, bus, path, name):
    return gdbus(address, "--dest", bus, "--object-path", path, "--method",
                 "org.freedesktop.DBus.Properties.Get", "org.a11y.atspi.Accessible", name)


def name_of(address, bus, path):
    found = re.search(r"<'(.*)'>", prop(address, bus, path, "Name"))
    return found.group(1) if found else ""


def role_of(address, bus, path):
    text = gdbus(address, "--dest", bus, "--object-path", path, "--method",
                 "org.a11y.atspi.Accessible.GetRole")
    found = re.search(r"uint32 (\d+)", text)
    return int(found.group(1)) if found else -1


def showing(address, bus, path):
    text = gdbus(address, "--dest", bus, "--object-path", path, "--method",
                 "org.a11y.atspi.Accessible.GetState")
    words = [int(w) for w in re.findall(r"uint32 (\d+)", text)]
    return len(words) >= 1 and bool(words[0] & (1 << STATE_SHOWING))


def application(address, wanted):
    """The bus name of the application of that name."""
    for bus, path in children(address, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"):
        if name_of(address, bus, path) == wanted:
            return bus
    return None


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    wanted = sys.argv[1]
    least = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    if not shutil.which("gdbus"):
        print("skipped: gdbus (glib's command line tools) is not installed")
        return SKIP
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        print("skipped: no D-Bus session bus (run under dbus-run-session)")
        return SKIP
    address = a11y_bus()
    if not address:
        print("skipped: no AT-SPI bus on the session bus (at-spi2-core is not installed)")
        return SKIP
    bus = None
    waited = time.monotonic()
    while bus is None and time.monotonic() - waited < 20:
        try:
            bus = application(address, wanted)
        except RuntimeError:
            bus = None
        if bus is None:
            time.sleep(0.5)
    if bus is None:
        print("the application did not register with the AT-SPI registry")
        return 1

    seen, nameless = [], []
    pending = [(path, 0) for _, path in children(address, bus, "/org/a11y/atspi/accessible/root")]
    while pending:
        path, depth = pending.pop()
        if depth > 40 or not showing(address, bus, path):
            continue
        role = role_of(address, bus, path)
        if role in ROLES:
            name = name_of(address, bus, path)
            seen.append(f"{ROLES[role]} '{name}'")
            if not name.strip():
                nameless.append(f"{ROLES[role]} at {path}")
        for _, child in children(address, bus, path):
            if role in CONTAINERS and role_of(address, bus, child) not in HEADERS:
                continue
            pending.append((child, depth + 1))
    print("\n".join(seen))
    if len(seen) < least:
        print(f"only {len(seen)} controls reached, at least {least} expected")
        return 1
    if nameless:
        print("without a name:\n" + "\n".join(nameless))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
