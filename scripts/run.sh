#!/usr/bin/env bash
# Installs what is needed, builds, prepares the data folder ~/Kalvestrin
# (demo design and pictures, help file; nothing the user has there is
# overwritten) and starts the program with that folder as its working directory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

data="${KALVESTRIN_DATA:-$HOME/Kalvestrin}"
mkdir -p "$data"
build/tools/kalvestrin-tool demo "$data/primjer" >/dev/null
# The program only connects to its results database; an existing one is never touched.
[ -e "$data/Kalvestrin.mdb" ] || build/tools/kalvestrin-tool create-database "$data/Kalvestrin.mdb" >/dev/null
for f in build/data/*; do
  [ -e "$f" ] || continue
  [ -e "$data/$(basename "$f")" ] || cp "$f" "$data/"
done

cd "$data"
exec "$OLDPWD/build/app/kalvestrin" "$@"
