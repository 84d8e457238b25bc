#!/usr/bin/env bash
# Builds both Windows programs and packs the download for Windows users:
# dist/ravlin-<version>-windows.zip (ravlin.exe, ravlin-x64.exe, README.txt,
# LICENSE.txt). Needs no Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$root"
install_packages
for arch in i686 x86_64; do
  configure_windows "$arch"
  ninja -C "$build/win-$arch" ravlin >/dev/null
done
dist="$root/dist"
mkdir -p "$dist"
# The 32-bit build makes the package; the 64-bit build adds its program.
(cd "$build/win-i686" && cpack -G ZIP -B "$dist" \
  -D CPACK_INSTALL_CMAKE_PROJECTS="$build/win-i686;ravlin;ALL;/;$build/win-x86_64;ravlin;ALL;/" >/dev/null)
rm -rf "$dist/_CPack_Packages"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win-i686/CMakeCache.txt")
zip="$dist/ravlin-$version-windows.zip"
[ -f "$zip" ] || { echo "no package at $zip" >&2; exit 1; }
log "written: $zip"
