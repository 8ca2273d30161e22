#!/usr/bin/env bash
# Makes the Debian package from the build folder and runs lintian on it; no error may be left.
# Skipped (77) where lintian or the Debian tools are not installed.
#   lint_package.sh BUILD_DIR
set -euo pipefail
build=$1
command -v lintian >/dev/null && command -v dpkg-shlibdeps >/dev/null || {
  echo "lintian or dpkg-shlibdeps missing: skipped"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null)
deb=$(ls "$out"/barqeen_*.deb)
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || { echo "no library dependencies"; exit 1; }
# Errors fail; warnings are shown.
lintian --fail-on error --suppress-tags-from-file /dev/null "$deb"
echo "package $(basename "$deb") passes lintian"
