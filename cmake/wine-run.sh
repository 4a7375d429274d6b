#!/usr/bin/env bash
# Runs a Windows executable under Wine in a prefix of its own under the build folder.
# The prefix is made on first use, without its Z: drive, so nothing inside reaches the Linux root;
# the executable is copied onto C: and started from there.
set -euo pipefail
exe=$1; shift
build=$(cd "$(dirname "$exe")" && pwd)
export WINEPREFIX=${TARNWICK_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# The Recycle Bin of the prefix: Wine keeps it under the data folder, here inside the prefix.
export XDG_DATA_HOME=$WINEPREFIX/xdg-data
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
rm -f "$WINEPREFIX/dosdevices/z:"
# A folder whose entries lead back to it, reported as reparse points (Wine cannot make junctions itself):
# the file walks must pass them over instead of looping.
loop="$WINEPREFIX/drive_c/tarnwick-loop"
mkdir -p "$loop"
ln -sfn . "$loop/self"
ln -sfn .. "$loop/up"
# A fixed drive J: of its own for the disk cleaner's walks, with a link back to its root.
mkdir -p "$WINEPREFIX/drive_j"
ln -sfn ../drive_j "$WINEPREFIX/dosdevices/j:"
ln -sfn . "$WINEPREFIX/drive_j/loop"
name=$(basename "$exe")
dir="$WINEPREFIX/drive_c/tarnwick-tests"
mkdir -p "$dir"
cp -f "$exe" "$dir/$name"
# Helper programs a suite starts from its own folder.
for helper in "$build"/tarnwick_test_service.exe "$build"/tarnwick_test_uninstaller.exe; do
  if [ -f "$helper" ]; then cp -f "$helper" "$dir/"; fi
done
status=0
wine "C:\\tarnwick-tests\\$name" "$@" || status=$?
exit $status
