#!/usr/bin/env bash
# Installs what building and testing Quill! needs on Debian 12, and nothing
# that is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  # The test command checks that the C++ files are formatted.
  clang-format
  xdg-utils
  # The installable package: its manual page of quill-cli is made from the
  # program's own help; its desktop entry, its AppStream metadata and the
  # package as a whole (lintian) are checked.
  help2man desktop-file-utils dpkg-dev lintian appstream
  # Qt's own buttons and dialogs in the language of the language files.
  qt6-translations-l10n
  # The windows: Qt Widgets, the page pane's web engine and Qt Test; the view
  # tests run under a virtual X server; screenshots of it for checking by eye.
  qt6-base-dev qt6-webengine-dev
  xvfb xauth imagemagick
  # A system tray on that server, so the tray icon is tested for real.
  trayer
  # An iCalendar parser that checks the exported tasks, and the PDF tools
  # that check printed documents.
  python3-icalendar poppler-utils
  # The reliability tests on a real network file system: sshfs to an sshd
  # on localhost.
  openssh-server openssh-client sshfs
  # The fault-injection tests kill quill-cli before each file-changing system
  # call, or fail that call, through strace.
  strace
  # bench/slowfs: a slow network share through FUSE, for bench/compare.py.
  libfuse3-dev fuse3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
