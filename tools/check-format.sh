#!/usr/bin/env bash
# Checks that every C and C++ source of the project (not third_party/) is
# laid out as .clang-format says: a dry run that changes nothing and fails,
# naming the files and lines, on any difference. Tracked files and new ones
# not yet added are checked alike.
#   tools/check-format.sh          check
#   tools/check-format.sh --fix    rewrite the files that differ
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  echo "check-format: error: clang-format not found (tools/install-deps.sh --all installs it)" >&2
  exit 1
fi
mapfile -d '' files < <(git ls-files -z --cached --others --exclude-standard \
  '*.cpp' '*.h' '*.c' ':!:third_party/**')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "check-format: error: the files above differ from .clang-format's layout; run tools/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files as .clang-format lays them out"
