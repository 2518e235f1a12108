#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) into build-fuzz/ and runs each
# for the given number of seconds (default 60), seeded with the document fixtures.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
scripts/install-deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIK_BUILD_FUZZERS=ON \
  -DVELTRIK_WARNINGS_AS_ERRORS=ON -DVELTRIK_BUILD_TESTS=OFF -DVELTRIK_BUILD_BENCHMARKS=OFF > build-fuzz.log
cmake --build build-fuzz -j "$(nproc)" --target rtf_fuzzer word_fuzzer docx_fuzzer
for reader in rtf word docx; do
  corpus="build-fuzz/corpus-$reader"
  mkdir -p "$corpus"
  cp tests/data/*sample.* "$corpus"/ 2>/dev/null || true
  echo "== $reader: $seconds s"
  "build-fuzz/fuzz/${reader}_fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 "$corpus" 2>&1 | tail -3
done
