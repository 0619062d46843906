#!/usr/bin/env bash
# Keeps every C++ file of the repository in the layout .clang-format states.
#
#   scripts/format.sh          reformat the files in place
#   scripts/format.sh --check  change nothing; list the files that differ and
#                              fail when there are any
#
# The files are those git tracks (*.h, *.cpp). clang-format is Debian's,
# installed on demand: another major version lays out some constructs
# differently, so the check names the version it ran.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh format

mode=${1:-}
mapfile -t files < <(git ls-files '*.h' '*.cpp')
if [ "$mode" = "--check" ]; then
  differing=()
  for file in "${files[@]}"; do
    if ! clang-format --style=file "$file" | cmp -s - "$file"; then
      differing+=("$file")
    fi
  done
  if [ ${#differing[@]} -ne 0 ]; then
    echo "$(clang-format --version): ${#differing[@]} file(s) differ from .clang-format:" >&2
    printf '  %s\n' "${differing[@]}" >&2
    echo "Run 'make format' to fix them." >&2
    exit 1
  fi
  echo "format: ${#files[@]} files follow .clang-format"
elif [ -z "$mode" ]; then
  clang-format --style=file -i "${files[@]}"
else
  echo "usage: scripts/format.sh [--check]" >&2
  exit 2
fi
