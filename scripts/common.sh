# Shared by run.sh and test.sh: installs what is missing, sets up Wine and a display.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

log() { printf '== %s\n' "$*"; }

install_packages() {
  local needed=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev googletest
                g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb xauth imagemagick unzip gcab)
  local missing=()
  for p in "${needed[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
  # 32-bit Wine, for the main (32-bit) build; some hosts cannot run it, which is handled below.
  dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32:i386)
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  [ "$(id -u)" -eq 0 ] || { echo "run as root to install packages" >&2; exit 1; }
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  local base=() p
  for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || base+=("$p"); done
  [ ${#base[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${base[@]}" >/dev/null
  if [[ " ${missing[*]} " == *" wine32:i386 "* ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine32:i386 >/dev/null ||
      log "wine32 could not be installed: only the 64-bit program runs here"
  fi
}

# The 32-bit Wine loader is a 32-bit Linux program; kernels without 32-bit support cannot start it.
# Started only through an emulator (a qemu-i386 binfmt handler) it runs, but misreports exceptions
# inside 32-bit code: such a host counts as one without, unless RAVLIN_WINE32=1 asks for it anyway.
host_runs_32bit() {
  if [ "${RAVLIN_WINE32:-}" != 1 ] && emulates_32bit; then return 1; fi
  /usr/lib/wine/wine --version >/dev/null 2>&1
}
emulates_32bit() {
  local handler
  for handler in /proc/sys/fs/binfmt_misc/*; do
    # Debian names it qemu-i386, its interpreter /usr/libexec/qemu-binfmt/i386-binfmt-P.
    [ -f "$handler" ] && grep -qx enabled "$handler" 2>/dev/null || continue
    case "${handler##*/} $(sed -n 's/^interpreter //p' "$handler" 2>/dev/null)" in
      qemu-i386*|*qemu-i386*|*qemu-binfmt/i386*) return 0 ;;
    esac
  done
  return 1
}

# Wine in a prefix: the one given (a user's own, of the kind their WINEARCH
# says, if any), or else the project's own 64-bit one in build/, never one
# inherited through WINEPREFIX.
# A prefix that does not exist yet is made by wineboot alone: Wine's offer to
# add Mono and Gecko is turned down.
setup_wine() {  # [prefix]
  if host_runs_32bit; then WINE=/usr/bin/wine; else
    WINE=/usr/lib/wine/wine64
    # Tests that need a 32-bit program (the 32-bit regsvr32) skip and say why.
    export RAVLIN_NO_32BIT=1
  fi
  export WINE
  if [ -n "${1:-}" ]; then
    export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all}
  else
    export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  fi
  # Wine's own fonts (MS Sans Serif, Tahoma, Marlett for the caption buttons),
  # which this Wine finds only when fontconfig lists them. A setting of the
  # process, not of the prefix: every prefix needs it, a user's own too.
  export FONTCONFIG_FILE="$build/fonts.conf"
  mkdir -p "$build"
  printf '%s\n' '<?xml version="1.0"?>' '<fontconfig>' \
    '  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>' \
    '  <dir>/usr/share/wine/fonts</dir>' '</fontconfig>' >"$FONTCONFIG_FILE"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w
  fi
}

# Runs on exit under errexit: every step must be allowed to fail, or a wineserver
# that already ended would turn a passing run into exit code 1.
end_display() {
  local rc=$?
  # A user's prefix may run programs of theirs: there Wine is left to end on its own.
  if [ "${WINEPREFIX:-}" = "$build/wineprefix" ]; then
    /usr/lib/wine/wineserver -k 2>/dev/null || true
  else
    timeout 30 /usr/lib/wine/wineserver -w 2>/dev/null || true
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  exit "$rc"
}

# A virtual display when there is none; ended when the script exits.
setup_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  trap end_display EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2; exit 1
}

configure_windows() {  # arch: i686 | x86_64
  local arch=$1 dir="$build/win-$1"
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    ${WINE:+-DCMAKE_CROSSCOMPILING_EMULATOR="$WINE"} >/dev/null
}

# The most the 32-bit program may weigh, stripped; the test command and the benchmark hold it.
size_limit=$((512 * 1024))
stripped_size() {  # arch, executable
  local copy
  copy=$(mktemp)
  "$1-w64-mingw32-strip" -o "$copy" "$2"
  stat -c %s "$copy"
  rm -f "$copy"
}

# Windows path of a Linux path, through Wine's Z: drive.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

bmp_to_png() {  # folder
  local f
  for f in "$1"/*.bmp; do [ -e "$f" ] && convert "$f" "${f%.bmp}.png" && rm -f "$f"; done
  return 0
}
