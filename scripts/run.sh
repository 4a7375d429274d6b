#!/usr/bin/env bash
# Builds Tarnwick and runs it in a demo Wine prefix seeded with broken registry entries and files
# (scripts/demo/). With a display the window opens; without one the program scans under Xvfb with "-Scan",
# and the script prints where the screenshot and the "ScanResult" file are.
# The demo prefix is made once under build/demo/; TARNWICK_DEMO_FRESH=1 makes it anew.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target tarnwick tarnwick_gui_probe

demo=$root/build/demo
prefix=$demo/wineprefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
if [ "${TARNWICK_DEMO_FRESH:-}" = 1 ] || [ ! -f "$prefix/.tarnwick-seeded" ]; then
  echo "Making the demo Wine prefix in $prefix ..."
  bash scripts/demo/prefix.sh create "$prefix"
  bash scripts/demo/prefix.sh seed "$prefix"
  touch "$prefix/.tarnwick-seeded"
fi
bash scripts/demo/prefix.sh install "$prefix" build/windows/tarnwick.exe
cp -f build/windows/tarnwick_gui_probe.exe "$prefix/drive_c/Tarnwick/gui_probe.exe"
result=$prefix/drive_c/Tarnwick/ScanResult

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting Tarnwick (it lives on in the tray when its window is closed; use the tray menu's Exit)."
  wine 'C:\Tarnwick\tarnwick.exe' "$@"
  exit 0
fi

shot=$demo/tarnwick-scan.png
rm -f "$result" "$shot"
echo "No display: scanning under Xvfb with -Scan ..."
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -u
  wine "C:\\Tarnwick\\tarnwick.exe" -Scan &
  wine "C:\\Tarnwick\\gui_probe.exe" wait-window 30000 >/dev/null &&
    wine "C:\\Tarnwick\\gui_probe.exe" wait-scan-end 600000 >/dev/null
  status=$?
  sleep 1
  import -window root "$1"
  wineserver -k
  exit $status
' _ "$shot" || echo "The scan did not end in time; the screenshot shows where it stood."

echo
echo "Screenshot:  $shot"
if [ -f "$result" ]; then
  echo "ScanResult:  $result"
  cat "$result"
else
  echo "ScanResult:  none written (no problems found)"
fi
