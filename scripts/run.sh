#!/usr/bin/env bash
# Installs what is missing, builds, and shows the bundled sample data point.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# The same build directory as the tests; only what running needs is built.
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
ninja -C "$root/build" quill-cli quill_resources

bin="$root/build/bin"
dp="$bin/DataPoint"
cli="$bin/quill-cli"
echo
echo "== Object types of the sample data point ($dp)"
"$cli" types "$dp"
for user in "$dp"/DataPoint.system/Users/*.user; do
  echo
  echo "== User record $(basename "$user")"
  "$cli" record read "$dp" "$user"
done
echo
echo "== Folders of the shared tree"
"$cli" walk "$dp/DataPoint.root"
echo
echo "== A text as ANNA sees it"
"$cli" expand --datapoint "$dp" --user ANNA 'Hello $FULLNAME$ ($LOGONNAME$), today is $DATE$; shared folders: $INFORMATION.DATAPOINT_CREATOR_ROOT.INFORMATION$'
"$cli" settings --datapoint "$dp" --user ANNA
