#!/usr/bin/env bash
# Makes and seeds Wine prefixes for running Tarnwick on a known set of broken entries.
#   prefix.sh create PREFIX   a fresh 64-bit prefix without its Z: drive (nothing inside reaches the Linux root)
#   prefix.sh seed PREFIX     the files of demo_files.txt and the registry entries of demo.reg
#   prefix.sh install PREFIX EXE   copies the program to C:\Tarnwick\
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
case $action in
  create)
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    rm -f "$WINEPREFIX/dosdevices/z:"
    # Wine registers the system's fonts under the user's "External Fonts" key at its next start, filling a key that
    # is empty until then; one more start now keeps that change out of later comparisons of scan counts.
    printf 'REGEDIT4\r\n\r\n' >"$WINEPREFIX/drive_c/settle.reg"
    wine regedit /s 'C:\settle.reg' >/dev/null 2>&1 || true
    wineserver -w || true
    rm -f "$WINEPREFIX/drive_c/settle.reg"
    ;;
  seed)
    grep -v '^#' "$here/demo_files.txt" | while IFS= read -r file; do
      [ -n "$file" ] || continue
      mkdir -p "$(dirname "$WINEPREFIX/drive_c/$file")"
      printf 'Tarnwick demo file\r\n' >"$WINEPREFIX/drive_c/$file"
    done
    mkdir -p "$WINEPREFIX/drive_c/tarnwick-demo"
    cp "$here/demo.reg" "$WINEPREFIX/drive_c/tarnwick-demo/demo.reg"
    wine regedit /s 'C:\tarnwick-demo\demo.reg' >/dev/null 2>&1
    wineserver -w || true
    ;;
  install)
    mkdir -p "$WINEPREFIX/drive_c/Tarnwick"
    cp -f "$3" "$WINEPREFIX/drive_c/Tarnwick/tarnwick.exe"
    ;;
  *)
    echo "usage: prefix.sh create|seed|install PREFIX [EXE]" >&2
    exit 2
    ;;
esac
