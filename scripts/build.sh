#!/usr/bin/env bash
# Configures and builds into build/. With "all", tests and benchmarks are built too; without it, a new
# build folder gets the program only and an existing one keeps what it was configured with. Warnings
# are errors here, whatever the build folder was configured with.
set -euo pipefail
cd "$(dirname "$0")/.."

options=()
if [ "${1:-}" = "all" ]; then
  options=(-DVELTRIK_BUILD_TESTS=ON -DVELTRIK_BUILD_BENCHMARKS=ON)
elif [ ! -f build/CMakeCache.txt ]; then
  options=(-DVELTRIK_BUILD_TESTS=OFF -DVELTRIK_BUILD_BENCHMARKS=OFF)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIK_WARNINGS_AS_ERRORS=ON "${options[@]}" \
  > build.log 2>&1 || {
  cat build.log
  exit 1
}
cmake --build build -j "$(nproc)"
