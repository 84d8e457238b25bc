#!/usr/bin/env bash
# Builds the program and starts it under Wine: in the prefix that WINEPREFIX
# names (made with wineboot if it does not exist yet), else in the project's
# own (build/wineprefix). Without a display it runs on a virtual one, saves
# screenshots of the start-up box and of the window, and ends.
set -euo pipefail
source "$(dirname "$0")/common.sh"
# Wine wants an absolute path; a relative one is the caller's.
prefix=${WINEPREFIX:+$(realpath -m "$WINEPREFIX")}
cd "$root"
headless=0
[ -n "${DISPLAY:-}" ] || headless=1
install_packages
setup_wine "$prefix"
if [ -n "$prefix" ]; then log "Wine prefix: $WINEPREFIX (from WINEPREFIX)"
else log "Wine prefix: $WINEPREFIX (the project's own; set WINEPREFIX to use yours)"; fi
if host_runs_32bit; then arch=i686; else
  arch=x86_64
  log "this host cannot run 32-bit programs: starting the 64-bit build instead"
  log "to start the 32-bit one under emulation, as root: apt-get install -t bookworm-backports qemu-user,"
  log "register it for i386 programs (update-binfmts, or /proc/sys/fs/binfmt_misc/register), then RAVLIN_WINE32=1 $0"
fi
configure_windows "$arch"
ninja -C "$build/win-$arch" ravlin uidriver >/dev/null
exe="$build/win-$arch/bin/ravlin.exe"
if [ $headless -eq 0 ]; then
  log "starting $exe"
  exec "$WINE" "$exe" "$@"
fi
setup_display
shots="$build/screenshots"
mkdir -p "$shots"
log "no display: running on $DISPLAY and saving screenshots"
RAVLIN_ARTIFACTS=$(winpath "$shots") "$WINE" "$build/win-$arch/bin/uidriver.exe" --screenshots
bmp_to_png "$shots"
ls -1 "$shots"/*.png
