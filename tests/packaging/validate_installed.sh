#!/usr/bin/env bash
# Installs the program into a scratch prefix and checks the desktop entry and the metadata with
# the desktop's own validators. Skipped (77) when the validators are not installed.
#   validate_installed.sh BUILD_DIR DESKTOP_ID
set -euo pipefail
build=$1 id=$2
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || {
  echo "desktop-file-validate or appstreamcli missing: skipped"; exit 77; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/barqeen share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/man/man1/barqeen.1.gz share/icons/hicolor/scalable/apps/$id.svg \
         share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/256x256/apps/$id.png; do
  [ -s "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
grep -qx 'Exec=barqeen %F' "$prefix/share/applications/$id.desktop"
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop"
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
# Every option --help names is in the manual page (they are made from one text).
man=$(zcat "$prefix/share/man/man1/barqeen.1.gz")
for option in $("$prefix/bin/barqeen" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" <<<"$man" || { echo "the manual page lacks $option"; exit 1; }
done
# The manual page reads without complaint from groff.
if command -v groff >/dev/null; then
  warnings=$(zcat "$prefix/share/man/man1/barqeen.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || { echo "$warnings"; exit 1; }
fi
echo "installed files valid"
