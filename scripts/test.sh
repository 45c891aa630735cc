#!/usr/bin/env bash
# Installs what is missing, checks that the C++ files are formatted, builds
# everything and runs every test: the unit, command-line and view tests (the
# views under a virtual X server), the Debian package's contents (installed
# and tried where the run is root), the library's tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the tests of the code on
# several threads under ThreadSanitizer, and each fuzz target over its seed
# corpus.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
jobs=$(nproc)

echo "== the C++ files are formatted"
"$root/scripts/check-format.sh"

echo "== build and test"
"$root/scripts/build.sh" build -DQUILL_BUILD_TESTS=ON -DQUILL_BUILD_APPS=ON
ctest --test-dir "$root/build" --no-tests=error --output-on-failure -j "$jobs"

echo "== the Debian package"
"$root/scripts/package-test.sh" "$root/build"

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILL_SANITIZE=ON -DQUILL_BUILD_GUI=OFF -DQUILL_BUILD_TESTS=ON -DQUILL_BUILD_APPS=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --no-tests=error --output-on-failure -j "$jobs"

echo "== the tests of the code on several threads with ThreadSanitizer"
"$root/scripts/tsan-test.sh" build-tsan

echo "== fuzz"
"$root/scripts/build.sh" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DQUILL_BUILD_FUZZERS=ON -DQUILL_BUILD_GUI=OFF -DQUILL_BUILD_TESTS=OFF -DQUILL_BUILD_APPS=OFF
"$root/fuzz/run-all.sh" "$root/build-fuzz/bin" "${QUILL_FUZZ_RUNS:-20000}"
echo "== all tests passed"
