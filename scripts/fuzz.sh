#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) into build-fuzz/ and runs each
# for the given number of seconds (default 60), seeded with the document fixtures and the crafted files
# of fuzz/make_seeds.cpp. Every target has a time and memory budget: an input that takes longer than
# -timeout seconds, or makes the process hold more than -rss_limit_mb or ask for more than
# -malloc_limit_mb at once, is a finding (saved as timeout-*, oom-* or crash-* in the current folder).
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
scripts/install-deps.sh clang libclang-rt-14-dev

# target  largest input  seconds per input  RSS MB  single allocation MB  seed folders
targets=(
  "rtf          1048576  10 2048 1024 tests/data"
  "word         4194304  10 2048 1024 tests/data tests/data/real build-fuzz/seeds/word"
  "compoundfile 4194304  10 2048 1024 tests/data tests/data/real build-fuzz/seeds/word"
  "docx         4194304  10 2048 1024 tests/data tests/data/real"
  "docxbody     4194304  10 2048 1024 build-fuzz/seeds/docxbody"
  "textfile     1048576  10 2048 1024 tests/data"
  "pdfparagraphs 1048576 10 2048 1024 tests/data"
)
wanted=("$@")

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIK_BUILD_FUZZERS=ON \
  -DVELTRIK_WARNINGS_AS_ERRORS=ON -DVELTRIK_BUILD_TESTS=OFF -DVELTRIK_BUILD_BENCHMARKS=OFF > build-fuzz.log
build_targets=(make_seeds)
for entry in "${targets[@]}"; do
  read -r name _ <<< "$entry"
  build_targets+=("${name}_fuzzer")
done
cmake --build build-fuzz -j "$(nproc)" --target "${build_targets[@]}"
build-fuzz/fuzz/make_seeds build-fuzz/seeds/word build-fuzz/seeds/docxbody

for entry in "${targets[@]}"; do
  read -r name max_len timeout rss malloc seeds <<< "$entry"
  if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " =~ " $name " ]]; then
    continue
  fi
  corpus="build-fuzz/corpus-$name"
  mkdir -p "$corpus"
  for folder in $seeds; do
    find "$folder" -maxdepth 1 -type f ! -name '*.sh' ! -name '*.md' -exec cp {} "$corpus"/ \;
  done
  echo "== $name: $seconds s"
  "build-fuzz/fuzz/${name}_fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout="$timeout" \
    -rss_limit_mb="$rss" -malloc_limit_mb="$malloc" "$corpus" 2>&1 | tail -3 || echo "== $name: finding above"
done
