#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, checks it as a
# distribution would (lintian, desktop entry, AppStream metadata) and starts
# the installed program from a scratch root with a fresh HOME: it must reach
# its main window with "Podaci" enabled (the database it made on first start).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/kalvestrin_*_amd64.deb)
echo "package: $deb"
lintian --fail-on error --suppress-tags-from-file /dev/null "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net --explain "$root"/usr/share/metainfo/*.metainfo.xml

mkdir -p "$root/home"
HOME="$root/home" KALVESTRIN_DATA= QT_QPA_PLATFORM=offscreen timeout 60 "$root/usr/bin/kalvestrin" --smoke-test
test -f "$root/home/Kalvestrin/primjer/primjer.txt"
echo "installed program started with its data folder prepared"
