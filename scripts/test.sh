#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything and runs every test: core tests directly, widget tests on
# the offscreen platform, browser-engine tests under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
scripts/build.sh all
cd build
ctest --output-on-failure -j 2
