# Shared by run.sh and test.sh: installs what is missing, sets up Wine and a display.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

log() { printf '== %s\n' "$*"; }

install_packages() {
  local needed=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev googletest
                g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb xauth imagemagick unzip gcab
                mscompress)
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
# Through an emulator (a qemu-i386 binfmt handler) it runs, but misreports exceptions inside 32-bit
# code. run.sh counts such a host as one without, unless RAVLIN_WINE32=1 asks for it anyway;
# test.sh runs its 32-bit scenarios there (setup_wine32).
host_runs_32bit() {
  if [ "${RAVLIN_WINE32:-}" != 1 ] && [ -n "$(i386_handler)" ]; then return 1; fi
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The enabled binfmt handler that sends i386 programs to qemu, if any (its path).
i386_handler() {
  local handler
  for handler in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$handler" ] && grep -qx enabled "$handler" 2>/dev/null || continue
    # Debian names it qemu-i386, its interpreter /usr/libexec/qemu-binfmt/i386-binfmt-P.
    case "${handler##*/} $(sed -n 's/^interpreter //p' "$handler" 2>/dev/null)" in
      qemu-i386*|*qemu-i386*|*qemu-binfmt/i386*) echo "$handler"; return 0 ;;
    esac
  done
}

# Steps run when the script ends, on every path, the last registered first.
exit_steps=()
at_exit() {
  exit_steps=("$1" "${exit_steps[@]}")
  trap run_exit_steps EXIT
  trap 'exit 129' HUP; trap 'exit 130' INT; trap 'exit 143' TERM
}
run_exit_steps() {
  local rc=$? step
  trap - EXIT HUP INT TERM
  for step in "${exit_steps[@]}"; do "$step" || true; done
  exit "$rc"
}

# How the 32-bit scenarios run: sets wine32 to native, emulated or none, and wine32_how to the
# summary's words. With no native support and no handler, and as root, qemu-user is installed and
# a handler of this run's own registered, removed again when the script ends. RAVLIN_WINE32=0
# skips the emulated run; RAVLIN_WINE32=emulated emulates even where 32-bit programs run natively.
binfmt=/proc/sys/fs/binfmt_misc
own_handler=""
setup_wine32() {
  local existing left
  for left in "$binfmt"/ravlin-i386-*; do
    [ -e "$left" ] && ! kill -0 "${left##*-}" 2>/dev/null && echo -1 >"$left" 2>/dev/null
  done
  existing=$(i386_handler)
  if [ -z "$existing" ] && [ "${RAVLIN_WINE32:-}" != emulated ] &&
     /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine32=native wine32_how=native
  elif [ "${RAVLIN_WINE32:-}" = 0 ] || ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    wine32=none wine32_how="built only"
  elif [ -n "$existing" ] || register_i386_handler; then
    wine32=emulated wine32_how="emulated (qemu-i386 $(qemu_version "${existing:-$binfmt/$own_handler}"))"
  else
    wine32=none wine32_how="built only"
  fi
}

qemu_version() {  # handler
  local interpreter
  interpreter=$(sed -n 's/^interpreter //p' "$1" 2>/dev/null)
  { "$interpreter" --version 2>/dev/null || qemu-i386 --version; } |
    sed -n 's/^qemu-i386 version \([0-9]*\.[0-9]*\).*/\1/p' | head -n1
}

# Debian 12's own qemu-user (7.2) hangs under Wine: version 10 comes from bookworm-backports.
install_qemu_user() {
  local major
  major=$(qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
  [ "${major:-0}" -ge 10 ] && return 0
  log "installing qemu-user 10 to run the 32-bit programs under emulation"
  local suite=() codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if [ "$codename" = bookworm ]; then
    if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
      printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
        'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' \
        >/etc/apt/sources.list.d/bookworm-backports.sources
    fi
    suite=(-t bookworm-backports)
  fi
  apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${suite[@]}" qemu-user >/dev/null
}

# A handler named after this script's process, so that one left by a run that was killed outright
# is known for what it is and removed by the next.
register_i386_handler() {
  [ "$(id -u)" -eq 0 ] || { log "not root: no i386 handler can be registered"; return 1; }
  install_qemu_user || { log "qemu-user could not be installed"; return 1; }
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" || return 1
  own_handler=ravlin-i386-$$
  # qemu's own magic and mask for i386 executables and shared objects.
  printf '%s' ":$own_handler:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:" \
    '\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:' \
    "$(command -v qemu-i386):" >"$binfmt/register" || { own_handler=""; return 1; }
  at_exit unregister_i386_handler
  log "registered $binfmt/$own_handler for this run"
}
unregister_i386_handler() {
  [ -n "$own_handler" ] && [ -e "$binfmt/$own_handler" ] && echo -1 >"$binfmt/$own_handler"
  own_handler=""
}

# Wine in a prefix: the one given (a user's own, of the kind their WINEARCH
# says, if any), or else the project's own 64-bit one in build/, never one
# inherited through WINEPREFIX.
# A prefix that does not exist yet is made by wineboot alone: Wine's offer to
# add Mono and Gecko is turned down.
setup_wine() {  # [prefix]
  local runs32=no
  case "${wine32:-}" in
    native|emulated) runs32=yes ;;
    none) ;;
    *) host_runs_32bit && runs32=yes ;;
  esac
  if [ $runs32 = yes ]; then WINE=/usr/bin/wine; else
    WINE=/usr/lib/wine/wine64
    # Tests that need a 32-bit program (the 32-bit regsvr32) skip and say why.
    export RAVLIN_NO_32BIT=1
  fi
  # Tests that need exceptions inside 32-bit code reported exactly skip under emulation.
  [ "${wine32:-}" != emulated ] || export RAVLIN_WINE32_EMULATED=1
  export WINE
  if [ -n "${1:-}" ]; then
    export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all}
  else
    export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # The project's prefix made where 32-bit programs could not start lacks their half: made anew.
    if [ $runs32 = yes ] && [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/.with-wine32" ]; then
      log "the project's prefix was made without 32-bit programs: making it anew"
      /usr/lib/wine/wineserver -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
    fi
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
    [ $runs32 = no ] || touch "$WINEPREFIX/.with-wine32"
  fi
}

# Runs on exit under errexit: every step must be allowed to fail, or a wineserver
# that already ended would turn a passing run into exit code 1.
end_display() {
  # A user's prefix may run programs of theirs: there Wine is left to end on its own.
  if [ "${WINEPREFIX:-}" = "$build/wineprefix" ]; then
    /usr/lib/wine/wineserver -k 2>/dev/null || true
  else
    timeout 30 /usr/lib/wine/wineserver -w 2>/dev/null || true
  fi
  kill "$xvfb_pid" 2>/dev/null || true
}

# A virtual display when there is none; ended when the script exits.
setup_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  at_exit end_display
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
