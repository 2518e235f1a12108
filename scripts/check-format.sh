#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format says (clang-format 14, Debian 12's);
# prints the files to format with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
unformatted=()
while IFS= read -r file; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    unformatted+=("$file")
  fi
done < <(git ls-files '*.cpp' '*.h')
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "Not formatted as .clang-format says (run clang-format -i on them):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
