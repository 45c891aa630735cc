#!/usr/bin/env bash
# Checks that C++ files are formatted as .clang-format says, changing
# nothing: the .cpp and .h files given, or with none every one under src,
# tests, bench and fuzz. Lists the files that differ and fails when there
# is one.
#   check-format.sh [FILE...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
format="${CLANG_FORMAT:-clang-format}"
command -v "$format" >/dev/null || {
  echo "check-format.sh: $format is not installed" >&2
  exit 2
}

files=()
if [ "$#" -gt 0 ]; then
  # Other files among those given (a list of changed files, say) are not
  # C++ and are left alone.
  for file in "$@"; do
    case "$file" in
    *.cpp | *.h) files+=("$file") ;;
    esac
  done
else
  cd "$root"
  while IFS= read -r -d '' file; do
    files+=("$file")
  done < <(find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
fi

unformatted=0
for file in "${files[@]}"; do
  if ! "$format" --dry-run -Werror "$file" >/dev/null 2>&1; then
    echo "$file"
    unformatted=$((unformatted + 1))
  fi
done
if [ "$unformatted" -gt 0 ]; then
  echo "check-format.sh: $unformatted of ${#files[@]} files are not formatted; clang-format -i them" >&2
  exit 1
fi
