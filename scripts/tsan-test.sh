#!/usr/bin/env bash
# Builds the library and its unit tests with ThreadSanitizer and runs the
# tests of the code that runs on several threads: the find's readers, its
# queue and its session, the work pool, the folder walk that reads ahead
# and the schedule scan. A data race or a lock taken in two orders fails
# the run.
#   tsan-test.sh [BUILD-DIR]     (build-tsan when not given)
# QUILL_JOBS limits how many compilers run at once.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/${1:-build-tsan}"

# Only the library and quill_tests: the views and quill-cli add nothing on
# threads. Little optimisation and line tables only compile in half the
# time and still name the lines of a race. The tests are listed when run,
# not after the link, where a ThreadSanitizer that cannot start would fail
# the build itself.
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DQUILL_SANITIZE_THREAD=ON \
  -DQUILL_BUILD_GUI=OFF -DQUILL_BUILD_APPS=OFF -DQUILL_BUILD_BENCH=OFF -DQUILL_BUILD_TESTS=ON \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null
ninja -C "$dir" ${QUILL_JOBS:+-j "$QUILL_JOBS"} quill_tests

tests="$dir/bin/quill_tests"
run=("$tests")
# ThreadSanitizer needs its shadow memory where the kernel may already have
# put a library when it randomises more address bits than the runtime
# knows ("unexpected memory mapping"). A run without the randomisation
# then still tests everything.
if ! said=$("$tests" --gtest_list_tests 2>&1 >/dev/null); then
  case "$said" in
  *"unexpected memory mapping"* | *ThreadSanitizer*)
    echo "ThreadSanitizer cannot start with address randomisation here: running without it"
    run=(setarch "$(uname -m)" -R "$tests")
    ;;
  *)
    echo "$said" >&2
    exit 1
    ;;
  esac
fi

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
"${run[@]}" --gtest_brief=1 \
  --gtest_filter="WorkPoolTest.*:FileReadersTest.*:FoundQueueTest.*:FolderSearchTest.*:FindSessionTest.*:FolderWalk*:SchedulerTest.*"

# On a network share the schedule scan and the type tables keep several
# reads under way with a pool of threads, where on a local disk they read
# one after another: the scan's tests again with their files on one.
share=0
# The mount's path is known only inside, where the inner shell expands it.
# shellcheck disable=SC2016
"$root/tests/reliability/network-mount.sh" sh -c 'TMPDIR="$QUILL_SHARE_A" exec "$@"' sh \
  "${run[@]}" --gtest_brief=1 --gtest_filter="SchedulerTest.*:ScheduleCacheTest.*" || share=$?
if [ "$share" -eq 77 ]; then
  echo "the schedule scan on a network share was skipped"
elif [ "$share" -ne 0 ]; then
  exit "$share"
fi
