#!/usr/bin/env bash
# Builds the program and its benchmarks, runs them under Wine on a virtual
# display and prints every figure beside its reference. Exits non-zero when a
# benchmark fails (an import outside the list in scripts/check-imports.sh, a
# 32-bit program over 512 KiB, a read that grows with the file, a look in a
# cabinet whose memory grows with it, a step that went wrong).
#   RAVLIN_BENCH_RUNS   timed runs per figure (default 15, at least 10)
#   RAVLIN_BENCH_CYCLES register/unregister cycles for the memory figure (default 200)
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
cd "$root"
runs=${RAVLIN_BENCH_RUNS:-15}
cycles=${RAVLIN_BENCH_CYCLES:-200}
if [ "$runs" -lt 10 ]; then echo "RAVLIN_BENCH_RUNS must be at least 10" >&2; exit 2; fi

install_packages
setup_wine
setup_display

if host_runs_32bit; then arch=i686; else arch=x86_64; fi
log "building both Windows programs and the benchmarks ($arch)"
configure_windows i686
configure_windows x86_64
ninja -C "$build/win-i686" ravlin floor >/dev/null
ninja -C "$build/win-x86_64" ravlin floor >/dev/null
ninja -C "$build/win-$arch" bench >/dev/null

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'),"
echo "         $(uname -sr), $("$WINE" --version), display $DISPLAY (Xvfb)"
if [ "$arch" = x86_64 ]; then
  echo "NOTE: this host cannot run 32-bit programs, so every timing and memory figure below"
  echo "      is of the 64-bit build (ravlin.exe x86_64), not of the 32-bit program."
else
  echo "Timings and memory are of the 32-bit build, the program's main artifact."
fi

status=0

# 3. Size and imports: only DLLs that Windows always takes from its own folder.
echo
echo "3. Size of the stripped executables and the DLLs they import"
printf '   %-26s %10s   %s\n' "executable" "bytes" "imports"
for a in i686 x86_64; do
  for program in ravlin floor; do
    exe="$build/win-$a/bin/$program.exe"
    bytes=$(stripped_size "$a" "$exe")
    checked=$(scripts/check-imports.sh "$a-w64-mingw32-objdump" "$exe") || status=1
    bits=32; [ "$a" = x86_64 ] && bits=64
    printf '   %-26s %10d   %s\n' "$program.exe ($bits-bit)" "$bytes" "$(head -n1 <<<"$checked")"
    tail -n +2 <<<"$checked" | sed "s/^FAILED: /   FAILED: $program.exe ($bits-bit) /"
    if [ "$program$a" = ravlini686 ] && [ "$bytes" -gt "$size_limit" ]; then
      echo "   FAILED: ravlin.exe (32-bit) is over its limit of $size_limit bytes (512 KiB)"
      status=1
    fi
  done
done
echo "   allowed: $(scripts/check-imports.sh --allowed)"
echo "   ravlin.exe (32-bit) may weigh at most $size_limit bytes (512 KiB) stripped"
[ $status -eq 0 ] && echo "   every import is a DLL that Windows always takes from its own folder, and the size is within its limit: met"
echo "   what ravlin.exe (32-bit) is made of, by weight, from its linker's map:"
bench/size-breakdown.sh "$build/win-i686/src/app/ravlin.map" || status=1

bin="$build/win-$arch/bin"
"$WINE" "$bin/benchdriver.exe" --runs "$runs" --cycles "$cycles" || status=1
"$WINE" "$bin/benchversion.exe" "$runs" || status=1
"$WINE" "$bin/benchstate.exe" "$runs" || status=1
"$WINE" "$bin/benchprogram.exe" "$runs" || status=1
"$WINE" "$bin/benchcapture.exe" "$runs" || status=1
"$WINE" "$bin/benchlist.exe" "$runs" || status=1
"$WINE" "$bin/benchlookin.exe" "$runs" || status=1

echo
if [ $status -eq 0 ]; then echo "bench: every figure measured, no benchmark failed"; else echo "bench: FAILED"; fi
exit $status
