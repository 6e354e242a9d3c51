#!/usr/bin/env bash
# Setting the alarm on the real program: ALARM, "5 Min Later" by keyboard, Enter, then EXIT, or
# the session's end (SIGTERM, SIGHUP); the settings file then holds the alarm five minutes ahead,
# armed. A real X display (Xvfb), a real
# settings file and a clock that runs from a set instant (libfaketime).
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

set_alarm_then() { # EXIT | TERM | HUP
  write_settings "$XDG_CONFIG_HOME" "ThemeNo=0" "Left=1500" "Top=1500" "LightOn=False"
  # Wednesday 19 December 2001, 10:58:00, running on from there.
  started=$SECONDS
  start_clock "$XDG_CONFIG_HOME" "@2001-12-19 10:58:00"

  wid=$(wait_window Main) || fail "the clock window did not appear"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  ox=$X oy=$Y
  poll 10 drawn "$wid" || fail "the clock was never drawn"
  xdotool mousemove $((ox + 86)) $((oy + 41)) click 1 # ALARM
  dlg=$(wait_window Alarm) || fail "the alarm dialog did not open"
  xdotool windowfocus --sync "$dlg" 2>/dev/null || true
  xdotool key --delay 100 alt+f Down Return
  wait_gone Alarm || fail "Enter did not close the alarm dialog"
  [ $((SECONDS - started)) -lt 50 ] || fail "too slow: the clock's minute may have moved on"

  if [ "$1" = EXIT ]; then
    xdotool mousemove $((ox + 509)) $((oy + 178)) click 1 # EXIT
  else
    kill -"$1" "$clock_pid"
  fi
  wait_exit 20 || fail "$1 did not end the program (status $?)"

  for line in MusicHour=11 MusicMin=3 MusicAMPM=AM MusicDay=Wednesday MusicMonth=December MusicYear=2001 \
    LightOn=True MusicMessage=True GreenSign=True; do
    grep -qx "$line" "$conf" || { cat "$conf"; fail "$1: the settings file lacks $line"; }
  done
  grep -qE '^MusicSec=([0-9]|[1-5][0-9])$' "$conf" || { cat "$conf"; fail "$1: no alarm second saved"; }
  echo "ok: ALARM, 5 Min Later, Enter, $1: the alarm is saved for 11:03 AM, armed"
}

set_alarm_then EXIT
set_alarm_then TERM
set_alarm_then HUP
