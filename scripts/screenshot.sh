#!/usr/bin/env bash
# Retakes docs/main-window.png: starts Veltrik on a virtual X server with a window manager and the local
# search engine, opens docs/sample-article.txt through "文件 > 打开", analyses it, compares the first piece,
# lets the automatic run compare a few more, stops it and photographs the main window: the article with the
# piece being compared, a result page with its highlights, the sentence list and the figures. No network
# is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh imagemagick x11-utils xdotool openbox
scripts/build.sh
out="${1:-docs/main-window.png}"
export VELTRIK_SITE_BASE="http://127.0.0.1:1"
# A data folder of its own: no unfinished check of an earlier run is offered, and none is left behind.
export XDG_DATA_HOME
XDG_DATA_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_DATA_HOME"' EXIT
caption="Veltrik V$(build/src/veltrik-cli --version | cut -d' ' -f2)"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  set -euo pipefail
  out=$0
  caption=$1
  work=$(mktemp -d)
  openbox >/dev/null 2>&1 &
  wm=$!
  build/tools/searchengine/veltrik-search-engine >"$work/engine" &
  engine=$!
  trap "kill $engine $wm 2>/dev/null; rm -rf $work" EXIT
  for _ in $(seq 1 50); do [ -s "$work/engine" ] && break; sleep 0.1; done
  export VELTRIK_WEB_SEARCH_BASE=$(cat "$work/engine") VELTRIK_WENKU_BASE=$(cat "$work/engine")
  build/src/veltrik 2>/dev/null &
  app=$!
  trap "kill $app $engine $wm 2>/dev/null; rm -rf $work" EXIT
  window=$(xdotool search --sync --name "^$caption\$" | head -1)
  sleep 2
  click() { xdotool mousemove --sync --window "$window" "$1" "$2"; sleep 0.2; xdotool click 1; sleep 0.8; }
  # 文件 > 打开 (the second item), then the file name in the dialog.
  click 20 10
  xdotool key Down Down Return
  sleep 1.5
  xdotool type --delay 20 "$PWD/docs/sample-article.txt"
  xdotool key Return
  sleep 1.5
  # From the editor, Tab goes to "进行分析", then "手动对比", then past the sentence list to "启动自动对比".
  click 200 120
  xdotool key Tab space
  sleep 1
  xdotool key Tab space
  sleep 2
  xdotool key Tab Tab space
  sleep 3.5
  # The focus stays in the place of the start button, which now reads "停止自动对比！".
  xdotool key space
  sleep 1
  # Down the result page to its highlighted hits.
  xdotool mousemove --sync --window "$window" 300 330
  xdotool click --repeat 4 5
  sleep 1
  import -window "$window" -frame "$out"' "$out" "$caption"
echo "wrote $out"
