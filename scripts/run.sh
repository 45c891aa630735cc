#!/usr/bin/env bash
# Installs what is missing, builds, and shows the bundled sample data point.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build -DQUILL_BUILD_TESTS=OFF

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
