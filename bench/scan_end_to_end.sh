#!/usr/bin/env bash
# End to end under Wine, pinned to one CPU: how long "tarnwick.exe -Scan" with every built section takes from
# the program's start to the end of its scan, next to "regedit /E" of the whole registry of the same prefix;
# first on a fresh prefix, then on the same prefix seeded with generated keys (and the files they name).
# Usage: bench/scan_end_to_end.sh BUILD_DIR WORK_DIR [KEYS]   (BUILD_DIR: the windows preset's build folder)
set -euo pipefail
if [ -z "${TARNWICK_BENCH_INNER:-}" ]; then
  export TARNWICK_BENCH_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" taskset -c 0 bash "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
keys=${3:-100000}
prefix=$work/wineprefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
trap 'wineserver -k 2>/dev/null || true' EXIT

bash "$here/../scripts/demo/prefix.sh" create "$prefix"
bash "$here/../scripts/demo/prefix.sh" install "$prefix" "$build/tarnwick.exe"
cp -f "$build/tarnwick_gui_probe.exe" "$prefix/drive_c/Tarnwick/gui_probe.exe"
probe() { wine 'C:\Tarnwick\gui_probe.exe' "$@" >/dev/null; }
now() { date +%s.%N; }

measure() {
  local label=$1 t0 t1 t2 t3 pid
  rm -f "$prefix/drive_c/Tarnwick/ScanResult" "$prefix/drive_c/all.reg"
  wineserver -w || true
  t0=$(now)
  wine 'C:\Tarnwick\tarnwick.exe' -Scan &
  pid=$!
  probe wait-window 60000
  probe wait-scan-end 7200000
  t1=$(now)
  probe exit
  probe wait-gone 30000 || true
  wait "$pid" || true
  wineserver -w || true
  t2=$(now)
  wine regedit /E 'C:\all.reg' >/dev/null 2>&1
  wineserver -w || true
  t3=$(now)
  printf '%s: tarnwick.exe -Scan %.1f s, regedit /E %.1f s (%s bytes exported)\n' "$label" \
    "$(awk "BEGIN { print $t1 - $t0 }")" "$(awk "BEGIN { print $t3 - $t2 }")" "$(stat -c %s "$prefix/drive_c/all.reg" 2>/dev/null || echo 0)"
  tr -d '\r' <"$prefix/drive_c/Tarnwick/ScanResult" 2>/dev/null | grep '=' | paste -sd ' ' || true
}

measure "fresh prefix"

mkdir -p "$prefix/drive_c/tarnwick-bench"
cp -f "$build/bench/tarnwick_bench.exe" "$prefix/drive_c/tarnwick-bench/"
wine 'C:\tarnwick-bench\tarnwick_bench.exe' --reg-out 'C:\tarnwick-bench\generated.reg' --size "$keys" | tr -d '\r'
wine regedit /s 'C:\tarnwick-bench\generated.reg' >/dev/null 2>&1
wineserver -w || true
# The files the existing references name: C:\BenchFiles\d<i/100>\f<i>.dll, as many as the generator's pool.
files=$((keys / 50 < 100 ? 100 : keys / 50))
for ((i = 0; i < files; i++)); do
  mkdir -p "$prefix/drive_c/BenchFiles/d$((i / 100))"
  printf 'MZ' >"$prefix/drive_c/BenchFiles/d$((i / 100))/f$i.dll"
done
measure "seeded with $keys generated keys"
