#!/usr/bin/env bash
# Applies the repository's .clang-format to every C++ file under version control.
#   scripts/format.sh            format in place
#   scripts/format.sh --check    change nothing; fail and list the files that differ
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.inc')
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
