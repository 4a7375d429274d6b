#!/usr/bin/env bash
# GUI smoke test: tarnwick.exe under Xvfb and Wine on a fresh prefix.
#  0. The tray menu's Exit during the one-second wait of a "-Scan" start ends the program at once, scanning nothing.
#     Two plain starts at the same moment leave one main window.
#  1. A "-Scan" start on the bare prefix gives the baseline "ScanResult".
#  2. After seeding the demo entries a second "-Scan" start must count exactly the seeded problems more; the
#     probe measures meanwhile how long the window goes without answering messages.
#  3. The keyboard on the review page: the Tab order, Space ticks a row, the menu key opens the context menu.
#     Repair: the backup message, a backup file in RepairBackup\, the finish page; Finish returns to Scan Now.
#     Enter and Space press the bar buttons; a tool button shows its window on the tools page.
#  4. Closed to the tray, the program is restored by a second start, which ends at once; a second "-Scan" start
#     makes it restore itself and scan.
#  5. Minimized, it is restored by the restore request and by a double click on the tray icon; a right click
#     shows the tray menu.
#  6. The tray menu's Exit during a repair ends the program.
#  The console front end's scan of the seeded prefix counts what the window counted.
# Usage: gui_smoke.sh TARNWICK_EXE PROBE_EXE WORK_DIR CLI_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
demo=$here/../../scripts/demo

if [ -z "${TARNWICK_SMOKE_INNER:-}" ]; then
  export TARNWICK_SMOKE_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi

exe=$1
probe_exe=$2
work=$3
cli_exe=$4
mkdir -p "$work"
prefix=$work/wineprefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# The prefix's Recycle Bin lives inside it.
export XDG_DATA_HOME=$prefix/xdg-data
result=$prefix/drive_c/Tarnwick/ScanResult

cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null || true
  exit 1
}
probe() { wine 'C:\Tarnwick\gui_probe.exe' "$@" | tr -d '\r'; }
count_of() { grep -F "$1=" "$2" 2>/dev/null | head -1 | cut -d= -f2 | tr -d '\r' || true; }
wait_for_file() {
  for _ in $(seq 1 "$2"); do [ -f "$1" ] && return 0; sleep 1; done
  return 1
}

bash "$demo/prefix.sh" create "$prefix"
bash "$demo/prefix.sh" install "$prefix" "$exe"
cp -f "$probe_exe" "$prefix/drive_c/Tarnwick/gui_probe.exe"
# The one-time full-backup offer is taken as made, so Repair goes straight to the backup message.
wine reg add 'HKCU\Software\Tarnwick' /v OneTime /t REG_SZ /d 1 /f >/dev/null 2>&1

echo "== the tray menu's Exit during the wait before a -Scan start's scan"
wine 'C:\Tarnwick\tarnwick.exe' -Scan &
first=$!
probe exit-when-shown 30000 || fail "no main window"
probe wait-gone 5000 || fail "Exit during the first-activation wait did not end the program"
wait "$first" || true
[ ! -f "$result" ] || fail "a scan ran after Exit"
echo "ok: ended at once, nothing scanned"

echo "== two plain starts at the same moment"
wine 'C:\Tarnwick\tarnwick.exe' &
one=$!
wine 'C:\Tarnwick\tarnwick.exe' &
two=$!
probe wait-window 30000 || fail "no main window"
timeout 30 bash -c "while kill -0 $one 2>/dev/null && kill -0 $two 2>/dev/null; do sleep 0.2; done" ||
  fail "neither start ended"
windows=$(probe count)
[ "$windows" = 1 ] || fail "$windows main windows after two starts at once"
probe exit || fail "no tray close request"
probe wait-gone 15000 || fail "the program did not end"
wait "$one" || true
wait "$two" || true
echo "ok: one main window, the other start ended"

echo "== baseline scan on the bare prefix"
wine 'C:\Tarnwick\tarnwick.exe' -Scan &
first=$!
probe wait-window 30000 || fail "no main window"
probe wait-scan-end 120000 || fail "the baseline scan did not end"
cp "$result" "$work/baseline.ini" 2>/dev/null || : >"$work/baseline.ini"
probe exit || fail "no tray close request"
probe wait-gone 15000 || fail "the program did not end on the tray close request"
wait "$first" || true

echo "== scan of the seeded prefix"
bash "$demo/prefix.sh" seed "$prefix"
# Invalid ShortCuts: two shortcuts made through the shell's link object whose targets are then removed.
mkdir -p "$prefix/drive_c/Demo Links"
probe make-broken-shortcut 'C:\Demo Links\Demo Gone.lnk' 'C:\Program Files\Demo Vendor\demogone2.exe' ||
  fail "could not make a shortcut"
probe make-broken-shortcut 'C:\Demo Links\Demo Folder.lnk' 'C:\Program Files\Demo Vendor\Gone Folder' ||
  fail "could not make a shortcut"
rm -f "$result"
wine 'C:\Tarnwick\tarnwick.exe' -Scan &
first=$!
probe wait-window 30000 || fail "no main window"
latency=$(probe latency 'C:\Tarnwick\ScanResult' 120000) || fail "no ScanResult after the seeded scan"
echo "responsiveness during the scan: $latency"
probe wait-scan-end 10000 || fail "the scan did not end after writing ScanResult"
import -window root "$work/seeded_scan.png" 2>/dev/null || true
cp "$result" "$work/seeded.ini"
grep -q '^\[Scan\]' "$result" || fail "ScanResult has no [Scan] group"
while IFS='|' read -r caption added; do
  case $caption in '#'* | '') continue ;; esac
  before=$(count_of "$caption" "$work/baseline.ini")
  after=$(count_of "$caption" "$result")
  expected=$((${before:-0} + added))
  [ "${after:-0}" -eq "$expected" ] || fail "$caption: $after problems, expected $expected (baseline ${before:-0} + $added)"
  echo "ok: $caption=$after"
done <"$demo/expected_counts.txt"

echo "== the console front end lists the window's findings"
cp -f "$cli_exe" "$prefix/drive_c/Tarnwick/tarnwick-cli.exe"
status=0
wine 'C:\Tarnwick\tarnwick-cli.exe' scan --format json --out 'C:\Tarnwick\scan.json' || status=$?
[ "$status" -eq 1 ] || fail "the console scan ended with $status, expected 1 (problems found)"
# The JSON counts, one "caption=count" per line as in ScanResult.
sed -n '/"counts": {/,/}/p' "$prefix/drive_c/Tarnwick/scan.json" | grep -E '": [0-9]+,?$' |
  sed -E 's/^ *"(.*)": ([0-9]+),?$/\1=\2/' | sort >"$work/cli_counts.txt"
grep '=' "$work/seeded.ini" | tr -d '\r' | sort >"$work/window_counts.txt"
diff "$work/window_counts.txt" "$work/cli_counts.txt" || fail "the console scan's counts differ from the window's"
echo "ok: $(wc -l <"$work/cli_counts.txt") sections with the same counts as the window"

echo "== the keyboard on the review page"
probe tab-to ListBox || fail "Tab does not reach the problems list"
order=$(probe tab-cycle)
expected="ListBox|Select All|Repair|About|Update|Options|Help|Minimize|Close|Registry Scan|Backup|System Optimizer|Startup Manager"
expected="$expected|Uninstall Manager|Disk Cleaner|IE Restore"
[ "$order" = "$expected" ] || fail "Tab order: $order"
probe key 40  # Down: the first row becomes the current one
[ "$(probe checked 'Select All')" = 1 ] || fail "not every row ticked after the scan"
probe key 32
[ "$(probe checked 'Select All')" = 0 ] || fail "Space did not untick the current row"
probe key 32
[ "$(probe checked 'Select All')" = 1 ] || fail "Space did not tick the current row again"
probe key 93  # the context-menu key
probe wait-menu 10000 >/dev/null || fail "the menu key did not open the context menu"
probe close-menu 10000 || fail "the context menu did not close"
echo "ok: Tab order, Space and the menu key on the review page"

echo "== repair of the seeded problems"
backups=$prefix/drive_c/Tarnwick/RepairBackup
probe click Repair || fail "no Repair button"
message=$(probe wait-message 20000) || fail "no message after Repair"
case $message in "Registry backup complete! Backup file at |C:\Tarnwick\RepairBackup\ folder.|"*) ;;
  *) fail "unexpected message: $message" ;; esac
probe answer 1 || fail "could not press OK"
probe wait-finish 120000 || fail "the repair did not reach the finish page"
import -window root "$work/finish.png" 2>/dev/null || true
ls "$backups"/_*.reg >/dev/null 2>&1 || fail "no backup file in RepairBackup"
probe click Finish || fail "no Finish button"
probe wait-text "Scan Now" 10000 || fail "Finish did not return to the scan page"
for shortcut in "Demo Gone.lnk" "Demo Folder.lnk"; do
  [ ! -e "$prefix/drive_c/Demo Links/$shortcut" ] || fail "$shortcut is still there after the repair"
  [ -f "$XDG_DATA_HOME/Trash/files/$shortcut" ] || fail "$shortcut is not in the Recycle Bin"
done
echo "ok: repaired with a backup in RepairBackup, shortcuts in the Recycle Bin, back on the scan page"

echo "== the bar by the keyboard and the tools page"
probe tab-to Backup || fail "Tab does not reach the Backup button"
probe key 13
probe wait-no-text "Scan Now" 5000 || fail "Enter did not press the Backup button"
probe tab-to "Uninstall Manager" || fail "Tab does not reach the Uninstall Manager button"
probe key 32
[ "$(probe tool)" = "Manage Installed Programs" ] || fail "Space showed no Uninstall Manager window: $(probe tool)"
import -window root "$work/tool_page.png" 2>/dev/null || true
probe click "Disk Cleaner" || fail "no Disk Cleaner button"
probe wait-text "Select drives to be scaned" 10000 || fail "the disk cleaner shows no drives page: $(probe tool)"
probe tab-to "Registry Scan" || fail "Tab does not reach the Registry Scan button"
probe key 13
probe wait-text "Scan Now" 5000 || fail "Enter on Registry Scan did not return to the scan page"
! probe tool >/dev/null || fail "a tool window stays shown on the scan page"
echo "ok: Enter and Space press the bar buttons, the tool window shows and goes ($work/tool_page.png)"

echo "== the options window: autostart, the ignore list and the daily scan, round trip"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
job=$prefix/drive_c/windows/tasks/Tarnwick.job
printf 'Fonts|HKEY_LOCAL_MACHINE\\Demo|Arial\r\n\r\nHelp|HKEY_CURRENT_USER\\Demo|x\r\n' \
  >"$prefix/drive_c/Tarnwick/TarnwickIgnores.dat"
prefs() { probe dialog Preferences "$@"; }
settle() { sleep 0.5; }
probe click Options || fail "no Options button"
probe wait-dialog Preferences 10000 || fail "the Options button showed no Preferences window"
[ "$(prefs checked 'Run at windows startup')" = 0 ] || fail "autostart ticked on a fresh prefix"
import -window root "$work/options_general.png" 2>/dev/null || true
prefs click 'Run at windows startup' && settle
prefs page 1 || fail "could not show the Ignore List page"
[ "$(prefs rows)" = 2 ] || fail "the Ignore List page shows $(prefs rows) rows, expected 2"
import -window root "$work/options_ignore.png" 2>/dev/null || true
prefs page 2 || fail "could not show the Scheduling page"
[ "$(prefs checked 'Active Schedule')" = 0 ] || fail "a schedule is active on a fresh prefix"
prefs click 'Active Schedule' && settle
import -window root "$work/options_scheduling.png" 2>/dev/null || true
prefs click OK || fail "no OK button"
probe wait-no-dialog Preferences 10000 || fail "OK did not close the Preferences window"
wine reg query "$run_key" /v tarnwick.exe 2>/dev/null | grep -qi 'C:\\Tarnwick\\tarnwick.exe' ||
  fail "OK wrote no autostart value"
[ -f "$job" ] || fail "OK made no Tarnwick.job"
probe click Options || fail "no Options button"
probe wait-dialog Preferences 10000 || fail "the Preferences window did not open again"
[ "$(prefs checked 'Run at windows startup')" = 1 ] || fail "autostart not ticked after OK"
prefs click 'Run at windows startup' && settle
prefs page 2 || fail "could not show the Scheduling page"
[ "$(prefs checked 'Active Schedule')" = 1 ] || fail "the saved schedule is not shown"
prefs click 'Active Schedule' && settle
prefs click OK || fail "no OK button"
probe wait-no-dialog Preferences 10000 || fail "OK did not close the Preferences window"
! wine reg query "$run_key" /v tarnwick.exe >/dev/null 2>&1 || fail "unticked autostart left its value"
[ ! -f "$job" ] || fail "unticked schedule left Tarnwick.job"
echo "ok: options saved, shown again and removed ($work/options_*.png)"

echo "== a second instance restores the first"
probe close
sleep 1
[ "$(probe state)" = "visible=0 iconic=1" ] || fail "close did not hide the window to the tray: $(probe state)"
start=$(date +%s)
timeout 20 wine 'C:\Tarnwick\tarnwick.exe' || fail "the second instance did not end"
took=$(($(date +%s) - start))
[ "$(probe count)" = "1" ] || fail "a second main window appeared"
probe wait-shown 10000 || fail "the first instance did not restore itself: $(probe state)"
echo "ok: second instance ended after ${took}s, first restored"

probe close
sleep 1
timeout 20 wine 'C:\Tarnwick\tarnwick.exe' -Scan || fail "the second -Scan instance did not end"
probe wait-shown 10000 || fail "a second -Scan start did not restore the first instance: $(probe state)"
probe wait-scan-end 120000 || fail "a second -Scan start did not make the first instance scan"
echo "ok: a second -Scan start restored the first instance and it scanned"

echo "== the tray icon"
probe minimize
sleep 1
probe restore-request
probe wait-shown 10000 || fail "a restore request did not restore the minimized window: $(probe state)"
probe minimize
sleep 1
probe tray 515
probe wait-shown 10000 || fail "a double click on the tray icon did not restore the window: $(probe state)"
probe tray 516
probe wait-menu 10000 >/dev/null || fail "a right click on the tray icon showed no menu"
import -window root "$work/tray_menu.png" 2>/dev/null || true
probe close-menu 10000 || fail "the tray menu did not close"
echo "ok: restored by 0x2400 and a double click, tray menu shown ($work/tray_menu.png)"

probe exit
probe wait-gone 15000 || fail "the program did not end"
wait "$first" || true

echo "== the tray menu's Exit during a repair"
bash "$demo/prefix.sh" seed "$prefix"
wine 'C:\Tarnwick\tarnwick.exe' -Scan &
first=$!
probe wait-window 30000 || fail "no main window"
probe wait-scan-end 120000 || fail "the scan did not end"
probe click Repair || fail "no Repair button"
probe wait-message 20000 >/dev/null || fail "no message after Repair"
when=$(probe answer-then-exit 10000) || fail "could not press OK and Exit"
probe wait-gone 10000 || fail "Exit during the repair did not end the program"
wait "$first" || true
echo "ok: $when ended the program"
echo "PASS"
