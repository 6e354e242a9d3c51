#!/usr/bin/env bash
# The clock without a mouse, on the real program: the Menu key, Alarm, "5 Min Later" in the fast
# select, Return; the Menu key, Exit. The settings file then holds the alarm five minutes ahead,
# armed. A real X display (Xvfb), a real settings file and a clock running from a set instant.
set -euo pipefail
exe=$1
src=$2
fail_shows_clock_log=yes
source "$(dirname "$0")/lib.sh"
need_faketime
start_display

prog="$work/prog"
program_with "$prog" "Digital Age"
with_sounds "$prog"
clock_exe="$prog/morvantis"
export XDG_CONFIG_HOME="$work/home"
conf=$(settings_file "$XDG_CONFIG_HOME")
write_settings "$XDG_CONFIG_HOME" "ThemeNo=0" "Left=1500" "Top=1500" "LightOn=False"

# The Menu key on the focused clock, then the entry's access key once the menu is up.
menu() { # access key
  local before
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  before=$(clock_windows)
  xdotool key Menu
  poll 5 more_windows "$before" || fail "the Menu key opened no menu"
  xdotool key "$1"
}

# Wednesday 19 December 2001, 10:58:00, running on from there.
started=$SECONDS
start_clock "$XDG_CONFIG_HOME" "@2001-12-19 10:58:00"
wid=$(wait_window Main) || fail "the clock window did not appear"

menu a # Alarm
dlg=$(wait_window Alarm) || fail "the menu's Alarm did not open the alarm dialog"
xdotool windowfocus --sync "$dlg" 2>/dev/null || true
xdotool key --delay 100 alt+f Down Return
wait_gone Alarm || fail "Return did not close the alarm dialog"
[ $((SECONDS - started)) -lt 50 ] || fail "too slow: the clock's minute may have moved on"

menu x # Exit
wait_exit 20 || fail "the menu's Exit did not end the program (status $?)"

for line in MusicHour=11 MusicMin=3 MusicAMPM=AM MusicDay=Wednesday MusicMonth=December MusicYear=2001 \
  LightOn=True MusicMessage=True; do
  grep -qx "$line" "$conf" || { cat "$conf"; fail "the settings file lacks $line"; }
done
echo "ok: Menu key, Alarm, 5 Min Later, Return, Menu key, Exit: the alarm is saved for 11:03 AM, armed"
