#!/usr/bin/env bash
# Fails when a C++ source differs from the repository's .clang-format style.
# With --fix, reformats the files in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
# A missing formatter is a failure: a check that cannot run has not passed.
command -v clang-format >/dev/null || { echo "clang-format is not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }
# New files count too, so that --fix formats them before their first commit.
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.h' '*.cpp' | grep -v '^nbody/tables/')
[[ ${#files[@]} -eq 0 ]] && exit 0
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run --Werror "${files[@]}"
fi
