#!/usr/bin/env bash
# The clock through a screen reader's eyes: a real accessibility bus (at-spi2), the clock started
# with accessibility on, and an AT-SPI client that caches as Orca does (a11y.py check).
# With "dump" as third argument it only prints the tree the client sees.
set -euo pipefail
exe=$1
src=$2
mode=${3:-check}
fail_shows_clock_log=yes
source "$(dirname "$0")/lib.sh"
start_display

# A session bus of our own; the accessibility bus and its registry started here, not by D-Bus
# activation (the registry activated that way asks for a GNOME session, which is not there).
start_accessibility_bus() {
  dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 \
    3>"$work/bus.address" 4>"$work/bus.pid" || fail "no session bus"
  pids+=("$(cat "$work/bus.pid")")
  export DBUS_SESSION_BUS_ADDRESS
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus.address")
  /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$work/atspi-bus.log" 2>&1 &
  pids+=($!)
  local address=""
  a11y_address() {
    address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
      org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') && [ -n "$address" ]
  }
  poll 10 a11y_address || fail "the accessibility bus did not start"
  /usr/libexec/at-spi2-registryd >"$work/registry.log" 2>&1 &
  registry_pid=$!
  pids+=($registry_pid)
  registry_up() {
    dbus-send --bus="$address" --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.a11y.atspi.Registry 2>/dev/null | grep -q true
  }
  poll 10 registry_up || fail "the accessibility registry did not start"
}
start_accessibility_bus

prog="$work/prog"
program_with "$prog" "Digital Age"
with_sounds "$prog"
clock_exe="$prog/morvantis"
export XDG_CONFIG_HOME="$work/home"
# An alarm an hour ahead, armed: the light is lit when the clock starts.
alarm=$(date -d '+1 hour' '+MusicHour=%-I MusicMin=%-M MusicSec=0 MusicAMPM=%p MusicDay=%A MusicMonth=%B MusicYear=%Y')
# shellcheck disable=SC2086
write_settings "$XDG_CONFIG_HOME" "ThemeNo=0" "Left=1500" "Top=1500" "ShowSec=True" "24Hours=False" "LightOn=True" \
  "MusicMessage=True" "GreenSign=True" $alarm
launch_clock "$XDG_CONFIG_HOME" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
wait_window Main >/dev/null || fail "the clock window did not appear"

if [ "$mode" = dump ]; then
  # The face, then each window the buttons open, opened from the keyboard menu.
  wid=$(wait_window Main)
  menu() { # access key, window name
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    xdotool key Menu; sleep 0.5; xdotool key "$1"; wait_window "$2" >/dev/null
  }
  echo "== the face"; /usr/bin/python3 "$(dirname "$0")/a11y.py" dump
  menu s "Select Skin"; menu o Options
  echo "== with the chooser and the options"; /usr/bin/python3 "$(dirname "$0")/a11y.py" dump
  xdotool windowfocus --sync "$wid"; xdotool key Menu; sleep 0.5; xdotool key b; sleep 1.5
  echo "== with the about window"; /usr/bin/python3 "$(dirname "$0")/a11y.py" dump
  xdotool key Escape; sleep 0.5
  xdotool windowfocus --sync "$wid"; xdotool key Menu; sleep 0.5; xdotool key a; sleep 0.5
  xdotool windowfocus --sync "$wid"; xdotool key Menu; sleep 0.5; xdotool key a; sleep 1.5
  echo "== with the alarm dialog"; /usr/bin/python3 "$(dirname "$0")/a11y.py" dump
  exit 0
fi
started=$(date +%s%3N)

# Orca itself, with no speech server: its debug log holds what it would have said. Flat review
# (the keypad) reads the face as a line of objects: the light with its state, the time and date,
# the caption.
HOME="$work" XDG_CONFIG_HOME="$work/orca-config" orca --debug-file="$work/orca.log" >"$work/orca.out" 2>&1 &
orca_pid=$!
pids+=($orca_pid)
said() { grep -q "SPEECH OUTPUT: '$1" "$work/orca.log" 2>/dev/null; } # what Orca said begins so
poll 20 said "Screen reader on" || fail "Orca did not start: $(tail -n 3 "$work/orca.out")"
xdotool windowfocus --sync "$(wait_window Main)" 2>/dev/null || true # no window manager here
poll 10 said "Morvantis frame" || fail "Orca did not name the clock's window"
xdotool key KP_8 # the current line, from its first object
poll 10 said "checked Alarm light" || fail "Orca's flat review did not read the lit light"
xdotool key KP_9 # the next object
poll 10 said "[0-9]*:[0-9][0-9]:[0-9][0-9] [AP]M, [A-Z][a-z]* [0-9]* [A-Z][a-z]* [0-9]\{4\}'" ||
  fail "Orca did not read the time and date"
xdotool key KP_9
poll 10 said "alarm set to: " || fail "Orca did not read the caption"
echo "ok: Orca says: $(grep -o "SPEECH OUTPUT: '[^']*'" "$work/orca.log" | grep -v "num lock\|'[0-9] '" | cut -c16- | tr '\n' ' ')"
kill "$orca_pid"
wait "$orca_pid" 2>/dev/null || true

/usr/bin/python3 "$(dirname "$0")/a11y.py" check || fail "the screen reader's walk failed"
wait_exit 10 || fail "Exit pressed through the screen reader did not end the program (status $?)"
echo "ok: every face button through AT-SPI, the face's events, About, the chooser ($(($(date +%s%3N) - started)) ms)"
