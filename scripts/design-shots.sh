#!/usr/bin/env bash
# Pictures of the design dialog's three pages and its popup on a virtual X
# display, over the demo design: build/shots/design-*.png
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target kalvestrin-tool
build/tools/kalvestrin-tool demo build/shots/demo >/dev/null
design=$(ls build/shots/demo/*.txt | head -n1)
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/tools/kalvestrin-tool design-shots "$design" build/shots
