#!/usr/bin/env bash
# Builds the Debian package from a build directory and checks it: the
# programs, the desktop entry (validated), the icon, the manual pages, the
# completion, the language files and the sample data point are in it. As
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
  /usr/share/icons/hicolor/scalable/apps/quill.svg /usr/share/icons/hicolor/48x48/apps/quill.png \
  /usr/share/man/man1/quill.1 /usr/share/man/man1/quill-cli.1 \
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
for dependency in xdg-utils libqt6widgets6 libqt6webenginewidgets6 qt6-qpa-plugins; do
  dpkg-deb -f "$deb" Depends | grep -q "$dependency" || {
    echo "package-test: the package does not depend on $dependency"
    exit 1
  }
done
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
