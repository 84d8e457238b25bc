#!/usr/bin/env bash
# Runs every test: unit tests natively and under sanitizers, a fuzz smoke run,
# both Windows builds, and the platform and end-to-end tests under Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$root"
install_packages
setup_wine32  # before the prefix, which is made under the same handler
setup_wine  # always the project's own prefix, whatever WINEPREFIX says
setup_display
export RAVLIN_ARTIFACTS_DIR="$build/artifacts"
mkdir -p "$RAVLIN_ARTIFACTS_DIR"
export RAVLIN_ARTIFACTS=$(winpath "$RAVLIN_ARTIFACTS_DIR")

summary=()
run_ctest() {  # label, build folder, ctest options
  local label=$1 dir=$2 out
  shift 2
  out=$(mktemp)
  if ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$out"; then :; else
    summary+=("$label: FAILED")
    grep -E 'tests passed' "$out" | tail -n1 >>"$build/test-counts"
    return 1
  fi
  grep -E 'tests passed' "$out" | tail -n1 >>"$build/test-counts"
  summary+=("$label: ok")
}

# A check of this script's own, counted as one test.
run_check() {  # label, command...
  local label=$1
  shift
  if "$@"; then
    summary+=("$label: ok")
    echo "100% tests passed, 0 tests failed out of 1" >>"$build/test-counts"
  else
    summary+=("$label: FAILED")
    echo "0% tests passed, 1 tests failed out of 1" >>"$build/test-counts"
    return 1
  fi
}

# The download holds the two programs, each of its kind, and the two texts.
check_package() {
  scripts/package.sh >/dev/null || return 1
  local version zip listing unpacked
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win-i686/CMakeCache.txt")
  zip="dist/ravlin-$version-windows.zip"
  listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
  echo "  $zip: $listing"
  [ "$listing" = "LICENSE.txt README.txt ravlin-x64.exe ravlin.exe " ] || return 1
  unpacked=$(mktemp -d)
  unzip -q "$zip" -d "$unpacked"
  i686-w64-mingw32-objdump -f "$unpacked/ravlin.exe" | grep -q 'file format pei-i386' &&
    x86_64-w64-mingw32-objdump -f "$unpacked/ravlin-x64.exe" | grep -q 'file format pei-x86-64'
  local kinds=$?
  rm -rf "$unpacked"
  return $kinds
}

check_size() {
  local bytes
  bytes=$(stripped_size i686 "$build/win-i686/bin/ravlin.exe")
  echo "  ravlin.exe (32-bit): $bytes bytes stripped, at most $size_limit"
  [ "$bytes" -le "$size_limit" ]
}

# run.sh in a user's own prefix, made afresh, draws the caption buttons as the
# project's prefix does: Wine's own fonts are found whatever the prefix.
check_user_prefix_captions() {
  local arch=i686 work differing
  host_runs_32bit || arch=x86_64
  work=$(mktemp -d)
  mkdir "$work/project"
  if ! RAVLIN_ARTIFACTS=$(winpath "$work/project") \
      "$WINE" "$build/win-$arch/bin/uidriver.exe" --screenshots >/dev/null; then
    rm -rf "$work"; return 1
  fi
  bmp_to_png "$work/project"
  # Started as a user starts it, with nothing of this script's environment.
  if ! env -i PATH="$PATH" HOME="$HOME" WINEPREFIX="$work/user-prefix" scripts/run.sh >/dev/null; then
    rm -rf "$work"; return 1
  fi
  # The top right corner of the window: the minimize, maximize and close glyphs.
  convert "$work/project/window.png" -gravity NorthEast -crop 80x28+0+0 +repage "$work/project.png"
  convert "$build/screenshots/window.png" -gravity NorthEast -crop 80x28+0+0 +repage "$work/user.png"
  differing=$(compare -metric AE "$work/project.png" "$work/user.png" null: 2>&1) || true
  echo "  caption buttons in a fresh user prefix: $differing pixels differ from the project prefix's"
  rm -rf "$work"
  [ "$differing" = 0 ]
}

rm -f "$build/test-counts"
status=0

log "the folders include downward only"
run_check includes scripts/check-includes.sh || status=1

log "unit tests (native)"
cmake -S . -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C "$build/native"
run_ctest unit "$build/native" || status=1

log "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, fuzz target"
cmake -S . -B "$build/sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DRAVLIN_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
ninja -C "$build/sanitize"
run_ctest sanitizers "$build/sanitize" || status=1

log "Windows builds"
configure_windows i686
ninja -C "$build/win-i686"
configure_windows x86_64
ninja -C "$build/win-x86_64"

log "the download for Windows and the 32-bit program's size"
run_check package check_package || status=1
run_check size check_size || status=1

log "platform and end-to-end tests under Wine (64-bit)"
run_ctest wine64 "$build/win-x86_64" || status=1
if [ "$wine32" != none ]; then
  log "platform and end-to-end tests under Wine (32-bit, $wine32_how)"
  run_ctest "wine32: $wine32_how" "$build/win-i686" || status=1
else
  log "no 32-bit programs run here: the 32-bit build is built and its imports checked, not run"
  summary+=("wine32: built only")
  run_ctest imports32 "$build/win-i686" -R '^imports$' || status=1
fi
log "run.sh in a user's own prefix, made afresh: the caption buttons"
run_check user-prefix-captions check_user_prefix_captions || status=1
bmp_to_png "$RAVLIN_ARTIFACTS_DIR"

log "summary"
printf '  %s\n' "${summary[@]}"
echo "  screenshots: $RAVLIN_ARTIFACTS_DIR"
passed=0; failed=0
while read -r line; do
  # "100% tests passed, 0 tests failed out of 12"
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
done <"$build/test-counts"
echo "tests: $passed passed, $failed failed"
exit $status
