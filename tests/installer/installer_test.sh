#!/usr/bin/env bash
# The setup program and the portable zip under Wine, on a fresh prefix of their own.
#  1. A silent install puts the program files, the Start menu shortcuts and the uninstall entry in place; the entry
#     has what the uninstall manager lists (a string DisplayName and UninstallString) and the rest of its values.
#  2. The installed console front end runs and reads the installed program's version information through the
#     autostart value the options window writes.
#  3. A silent uninstall through the entry's UninstallString removes the files, shortcuts, entry, the autostart
#     value and the scheduled scan of this copy, and keeps what the user made in the folder (backups, ignore list).
#  4. The zip unpacks to a Tarnwick folder whose console front end runs; an autostart value and a scheduled scan
#     that start that portable copy survive a silent install and uninstall of another copy elsewhere (/D=).
# Usage: installer_test.sh SETUP_EXE ZIP WORK_DIR
set -euo pipefail
setup=$(realpath "$1")
zip=$(realpath "$2")
work=$(realpath -m "$3")
version=$(basename "$setup" .exe)
version=${version#TarnwickSetup-}

prefix=$work/wineprefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export XDG_DATA_HOME=$prefix/xdg-data
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1 || true
wineserver -w || true
rm -f "$prefix/dosdevices/z:"
c=$prefix/drive_c
cd "$c"
mkdir -p "$c/dist"
cp -f "$setup" "$c/dist/TarnwickSetup.exe"

uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
# One value of a key as "TYPE DATA", or nothing when the value or key is missing.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p" || true
}
# A work item file as the Task Scheduler writes it: a fixed-length part of 0x44 bytes, the running-instance
# count, then the application name (length in characters with its NUL, UTF-16LE) and the parameters.
write_job() {
  local file=$1 app=$2
  mkdir -p "$(dirname "$file")"
  {
    head -c 68 /dev/zero
    printf '\0\0'
    local n=$((${#app} + 1))
    printf "\\x$(printf %02x $((n & 255)))\\x$(printf %02x $((n >> 8)))"
    printf '%s\0' "$app" | iconv -f UTF-8 -t UTF-16LE
    printf '\x06\0'
    printf '%s\0' "-Scan" | iconv -f UTF-8 -t UTF-16LE
  } >"$file"
}
# Runs the entry's UninstallString silently. The uninstaller copies itself to the temporary folder, starts the
# copy and returns at once; the copy removes the entry last, so the wait is for the entry to go.
uninstall_silently() {
  local command exe
  command=$(reg_value "$uninstall_key" UninstallString)
  command=${command#REG_SZ }
  [[ $command == \"*\" ]] || fail "UninstallString is not one quoted path: $command"
  exe=${command:1:${#command}-2}
  wine "$exe" /S || fail "the uninstaller failed"
  for _ in $(seq 1 120); do
    [ -z "$(reg_value "$uninstall_key" DisplayName)" ] && break
    sleep 0.5
  done
  [ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "the uninstall entry is still there after 60 s"
}

echo "== silent install"
start=$SECONDS
wine 'C:\dist\TarnwickSetup.exe' /S || fail "the setup program failed"
dir=$c/Program\ Files/Tarnwick
menu=$c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Tarnwick
for file in "$dir/tarnwick.exe" "$dir/tarnwick-cli.exe" "$dir/TarnwickUpdate.exe" "$dir/Uninstall.exe" \
            "$menu/Tarnwick.lnk" "$menu/Uninstall Tarnwick.lnk"; do
  [ -f "$file" ] || fail "missing after install: ${file#"$c"/}"
done
installed='C:\Program Files\Tarnwick'
while IFS='|' read -r name expected; do
  actual=$(reg_value "$uninstall_key" "$name")
  [ "$actual" = "$expected" ] || fail "uninstall entry $name: '$actual', expected '$expected'"
done <<EOF
DisplayName|REG_SZ Tarnwick
UninstallString|REG_SZ "$installed\\Uninstall.exe"
DisplayVersion|REG_SZ $version
Publisher|REG_SZ Pellamont
DisplayIcon|REG_SZ $installed\\tarnwick.exe,0
InstallLocation|REG_SZ $installed
EOF
echo "ok: files, shortcuts and entry ($((SECONDS - start)) s)"

echo "== the installed program"
wine reg add "$run_key" /v tarnwick.exe /t REG_SZ /d "$installed\\tarnwick.exe" /f >/dev/null
entries=$(wine "$installed\\tarnwick-cli.exe" startup list --format csv | tr -d '\r') ||
  fail "the installed tarnwick-cli.exe failed"
grep -F "$installed\\tarnwick.exe" <<<"$entries" | grep -F "Tarnwick registry cleaner" | grep -qF "$version" ||
  fail "the installed console did not list the installed program with its version: $entries"
echo "ok: the installed console lists the installed program, version $version"

echo "== silent uninstall"
write_job "$c/windows/Tasks/Tarnwick.job" "$installed\\tarnwick.exe"
mkdir -p "$dir/RepairBackup"
printf 'REGEDIT4\r\n' >"$dir/RepairBackup/x.reg"
printf 'Most Recently Used Files|HKEY_CURRENT_USER\\Software\\X|\r\n' >"$dir/TarnwickIgnores.dat"
printf '[Section]\r\n' >"$dir/ScanResult"
start=$SECONDS
uninstall_silently
for file in "$dir/tarnwick.exe" "$dir/tarnwick-cli.exe" "$dir/TarnwickUpdate.exe" "$dir/Uninstall.exe" \
            "$dir/ScanResult" "$menu" "$c/windows/Tasks/Tarnwick.job"; do
  [ ! -e "$file" ] || fail "still there after uninstall: ${file#"$c"/}"
done
[ -z "$(reg_value "$run_key" tarnwick.exe)" ] || fail "the autostart value of the installed copy is still there"
for file in "$dir/RepairBackup/x.reg" "$dir/TarnwickIgnores.dat"; do
  [ -f "$file" ] || fail "the user's ${file#"$c"/} was removed"
done
echo "ok: removed, the user's backup and ignore list kept ($((SECONDS - start)) s)"

echo "== the portable zip beside an installed copy"
mkdir -p "$c/Portable"
(cd "$c/Portable" && cmake -E tar xf "$zip")
for file in tarnwick.exe tarnwick-cli.exe TarnwickUpdate.exe; do
  [ -f "$c/Portable/Tarnwick/$file" ] || fail "the zip has no Tarnwick/$file"
done
wine 'C:\Portable\Tarnwick\tarnwick-cli.exe' --help >/dev/null || fail "the unpacked tarnwick-cli.exe failed"
portable='C:\Portable\Tarnwick\tarnwick.exe'
wine reg add "$run_key" /v tarnwick.exe /t REG_SZ /d "$portable" /f >/dev/null
write_job "$c/windows/Tasks/Tarnwick.job" "$portable"
wine 'C:\dist\TarnwickSetup.exe' /S '/D=C:\Tools\Tarnwick' || fail "the setup program failed"
[ -f "$c/Tools/Tarnwick/tarnwick.exe" ] || fail "/D= did not choose the folder"
[ "$(reg_value "$uninstall_key" InstallLocation)" = 'REG_SZ C:\Tools\Tarnwick' ] || fail "wrong InstallLocation"
uninstall_silently
[ ! -e "$c/Tools/Tarnwick" ] || fail "the emptied folder C:\\Tools\\Tarnwick is still there"
[ "$(reg_value "$run_key" tarnwick.exe)" = "REG_SZ $portable" ] || fail "the portable copy's autostart value was removed"
[ -f "$c/windows/Tasks/Tarnwick.job" ] || fail "the portable copy's scheduled scan was removed"
echo "ok: the portable copy runs; its autostart value and scheduled scan survive"
