#!/usr/bin/env bash
# Retakes docs/main-window.png: starts Veltrik on a virtual X server and photographs its main window.
# The start-up page goes to an address that does not answer, so the picture needs no network.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh imagemagick x11-utils
scripts/build.sh
out="${1:-docs/main-window.png}"
export VELTRIK_SITE_BASE="http://127.0.0.1:1"
caption="Veltrik V$(build/src/veltrik-cli --version | cut -d' ' -f2)"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  build/src/veltrik 2>/dev/null &
  app=$!
  for _ in $(seq 1 60); do
    xwininfo -name "$1" >/dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 3
  import -window "$1" "$0"
  kill $app' "$out" "$caption"
echo "wrote $out"
