#!/usr/bin/env bash
# Builds the Debian package from a build directory and checks it: the
# programs, the desktop entry (validated), the AppStream metadata (validated),
# the icon, the manual pages, the completion, the language files, the
# copyright and changelog and the sample data point are in it; lintian finds
# nothing to warn of; the programs are hardened (fortify, stack protector,
# full RELRO). As
# root on a disposable machine (QUILL_PACKAGE_INSTALL=1, the default for
# root) it is also installed with apt, quill-cli is run from PATH and its
# manual page is found, and the package is removed again.
set -euo pipefail
build="${1:?usage: package-test.sh BUILD_DIR}"
build="$(cd "$build" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB --config CPackConfig.cmake >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  exit 1
}
deb="$(ls "$build"/quill_*.deb | head -n 1)"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"

missing=0
for file in /usr/bin/quill /usr/bin/quill-cli /usr/share/applications/quill.desktop \
  /usr/share/metainfo/org.example.quill.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/quill.svg /usr/share/icons/hicolor/48x48/apps/quill.png \
  /usr/share/man/man1/quill.1.gz /usr/share/man/man1/quill-cli.1.gz \
  /usr/share/doc/quill/copyright /usr/share/doc/quill/changelog.Debian.gz \
  /usr/share/bash-completion/completions/quill-cli /usr/share/quill/Language/GUI.ini \
  /usr/share/quill/Language/Help/index.htm /usr/share/quill/DataPoint/DataPoint.info; do
  if ! grep -qx "$file" "$work/contents"; then
    echo "package-test: $file is not in $(basename "$deb")"
    missing=1
  fi
done
[ "$missing" -eq 0 ]

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/quill.desktop"
grep -q '^Exec=quill %f$' "$work/root/usr/share/applications/quill.desktop" || {
  echo "package-test: the desktop entry does not hand a data point directory to quill"
  exit 1
}
appstreamcli validate --no-net --pedantic "$work/root/usr/share/metainfo/org.example.quill.metainfo.xml"

# The changelog names the version the package has.
version="$(dpkg-deb -f "$deb" Version)"
gzip -dc "$work/root/usr/share/doc/quill/changelog.Debian.gz" | head -n 1 | grep -qF "quill ($version)" || {
  echo "package-test: resources/debian/changelog does not begin with version $version"
  exit 1
}

# Errors and warnings fail; pedantic and informational tags are shown only.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || {
  cat "$work/lintian.log"
  echo "package-test: lintian found problems in $(basename "$deb")"
  exit 1
}
grep -v 'running with root privileges' "$work/lintian.log" || true

# Hardened: resolved at start (BIND_NOW), relocations read-only afterwards
# (GNU_RELRO), the stack guard and the C library's checked functions used.
# The compiler calls a checked function only where a size is unknown, so a
# program may need none (quill-cli); but built with fortify, no program
# calls the printf family unchecked, and the two together call some.
checked=0
for program in quill quill-cli; do
  binary="$work/root/usr/bin/$program"
  readelf -d "$binary" >"$work/dynamic"
  readelf -lW "$binary" >"$work/segments"
  readelf --dyn-syms -W "$binary" >"$work/symbols"
  problems=""
  grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).* NOW\b' "$work/dynamic" || problems+=" BIND_NOW"
  grep -q 'GNU_RELRO' "$work/segments" || problems+=" GNU_RELRO"
  grep -q ' UND .*__stack_chk_fail' "$work/symbols" || problems+=" __stack_chk_fail"
  if grep -Eq ' UND +(v?s?n?printf|v?fprintf|v?dprintf)(@|$)' "$work/symbols"; then
    problems+=" fortified functions (it calls the printf family unchecked)"
  fi
  if grep -Eq ' UND .*__[a-z0-9_]+_chk(@|$)' "$work/symbols"; then checked=1; fi
  if [ -n "$problems" ]; then
    echo "package-test: $program is not hardened, it lacks:$problems"
    exit 1
  fi
done
[ "$checked" -eq 1 ] || {
  echo "package-test: neither program calls a checked (*_chk) function: built without fortify?"
  exit 1
}
for dependency in xdg-utils libqt6widgets6 libqt6webenginewidgets6 qt6-qpa-plugins; do
  dpkg-deb -f "$deb" Depends | grep -q "$dependency" || {
    echo "package-test: the package does not depend on $dependency"
    exit 1
  }
done
dpkg-deb -f "$deb" Recommends | grep -q qt6-translations-l10n || {
  echo "package-test: the package does not recommend qt6-translations-l10n"
  exit 1
}
"$work/root/usr/bin/quill-cli" --version | grep -q "^quill-cli (Quill!) "

if [ "$(id -u)" -eq 0 ] && [ "${QUILL_PACKAGE_INSTALL:-1}" = 1 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    exit 1
  }
  status=0
  (cd / && env -i PATH=/usr/bin:/bin quill-cli --version) || status=1
  if command -v man >/dev/null; then man -w quill-cli >/dev/null || status=1; fi
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -q quill >/dev/null 2>&1 || true
  [ "$status" -eq 0 ] || {
    echo "package-test: the installed quill-cli or its manual page is missing"
    exit 1
  }
  echo "package-test: installed, ran quill-cli from PATH, removed"
fi
echo "package-test: $(basename "$deb") holds what it should"
