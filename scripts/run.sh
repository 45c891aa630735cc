#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quill! on the bundled sample
# data point.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# The same build directory as the tests; only what running needs is built.
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
ninja -C "$root/build" quill quill-cli quill_resources

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Quill! is built ($root/build/bin/quill), but there is no display to show it on." >&2
  echo "Run this command from a desktop session, or with DISPLAY set." >&2
  exit 1
fi
# The first start remembers build/bin/DataPoint as the data point to log on to.
exec "$root/build/bin/quill"
