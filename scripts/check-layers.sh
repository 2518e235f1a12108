#!/usr/bin/env bash
# Checks the folders of src/ against the table of what each may include, and the table for cycles. The
# build already refuses an include of a layer a target does not link; this keeps the folders themselves in
# one order, so that no two folders lean on each other, and keeps Qt's module folders out of the includes.
# Usage: scripts/check-layers.sh [SRC_DIR]
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"

# Each folder and the folders its files may include, lowest first. A folder names only folders above it
# in this table, so the table has no cycles; a new folder gets a row here.
layers="
text:
appearance:
components: text
engine: components
analysis: text engine components
documents: text appearance components
editing: components
comparator: text appearance components documents editing
library: text documents comparator components
app: text appearance components engine analysis documents editing comparator library
cli: text engine analysis documents comparator library
"

declare -A allowed
failures=0
fail() {
  echo "$1" >&2
  failures=$((failures + 1))
}

while IFS=: read -r folder uses; do
  [ -n "$folder" ] || continue
  for used in $uses; do
    [ -n "${allowed[$used]+set}" ] || fail "table: $folder uses $used, which is not listed above it"
  done
  allowed[$folder]=" $uses "
done <<<"$layers"

for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [ -z "${allowed[$folder]+set}" ]; then
    fail "$folder/: not in the table of layers"
    continue
  fi
  # Every quoted include as file:line:target; only includes of another folder ("folder/header.h") count.
  while IFS=: read -r file line included; do
    used=${included%%/*}
    if [[ "$included" == *..* ]]; then
      fail "$file:$line: includes $included by a relative path"
    elif [[ "$included" == */* && "$used" != "$folder" && "${allowed[$folder]}" != *" $used "* ]]; then
      fail "$file:$line: $folder/ may not include $included"
    fi
  done < <(grep -rnoE '^\s*#\s*include\s+"[^"]+"' "$dir" | sed -E 's/:\s*#\s*include\s+"([^"]+)"$/:\1/')
done

# Qt's include folder holds every module: <QtWidgets/QWidget> would reach widgets from a core target, where
# <QWidget> does not build.
while IFS= read -r found; do
  fail "$found: include Qt headers by class name, without the module folder"
done < <(grep -rnE '^\s*#\s*include\s+<Qt[A-Za-z]+/' "$src" || true)

if [ "$failures" -gt 0 ]; then
  echo "$failures break(s) of the layers" >&2
  exit 1
fi
echo "layers: every include follows the table"
