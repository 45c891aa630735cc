#!/usr/bin/env bash
# Runs every fuzz target for a fixed number of inputs over its seed corpus.
#   run-all.sh BIN_DIR RUNS
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bin="$1"
runs="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
for fuzzer in "$bin"/*_fuzzer; do
  name="$(basename "$fuzzer" _fuzzer)"
  seeds="$here/corpus/$name"
  mkdir -p "$work/$name"
  echo "-- $name: $runs runs over $(ls "$seeds" 2>/dev/null | wc -l) seeds"
  # New inputs go to the scratch directory; the committed seeds stay as they are.
  if ! "$fuzzer" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -artifact_prefix="$work/" "$work/$name" "$seeds" >"$work/$name.log" 2>&1; then
    tail -n 60 "$work/$name.log"
    for artifact in "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-*; do
      [ -e "$artifact" ] && { echo "input that failed ($artifact):"; xxd "$artifact" | head -20; }
    done
    status=1
  else
    grep -E '^(#[0-9]+ *DONE|Done)' "$work/$name.log" | tail -n 1 || true
  fi
done
exit $status
