#!/usr/bin/env bash
# Configures and builds into build/ (tests and benchmarks included when the first argument is "all").
set -euo pipefail
cd "$(dirname "$0")/.."

with_tests=OFF
if [ "${1:-}" = "all" ]; then
  with_tests=ON
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTRIK_BUILD_TESTS=$with_tests -DVELTRIK_BUILD_BENCHMARKS=$with_tests > build.log 2>&1 || {
  cat build.log
  exit 1
}
cmake --build build -j "$(nproc)"
