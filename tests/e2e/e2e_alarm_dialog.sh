#!/usr/bin/env bash
# Setting the alarm on the real program: ALARM, "5 Min Later" by keyboard, Enter, EXIT; the
# settings file then holds the alarm five minutes ahead, armed. A real X display (Xvfb), a real
# settings file and a clock that runs from a set instant (libfaketime).
set -euo pipefail
exe=$1
src=$2
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/clock.log" ] && cat "$work/clock.log"; exit 1; }

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$faketime_lib" ] || fail "libfaketime is not installed"

exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")"
[ "$DISPLAY" != ":" ] || fail "Xvfb did not start"

prog="$work/prog"
mkdir -p "$prog/Skins"
cp "$exe" "$prog/morvantis"
cp -r "$src/data/Skins/Digital Age" "$prog/Skins/"
cp -r "$src/data/wave" "$src/data/alarm.wav" "$prog/"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0:detect_leaks=0"
export XDG_RUNTIME_DIR="$work/run"; mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export XDG_CONFIG_HOME="$work/home"
mkdir -p "$XDG_CONFIG_HOME/Morvantis"
conf="$XDG_CONFIG_HOME/Morvantis/Morvantis.conf"
printf '[StartUp]\nThemeNo=0\nLeft=1500\nTop=1500\nLightOn=False\n' >"$conf"

# Wednesday 19 December 2001, 10:58:00, running on from there.
started=$SECONDS
FAKETIME="@2001-12-19 10:58:00" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib" \
  "$prog/morvantis" >"$work/clock.log" 2>&1 &
clock_pid=$!
pids+=($clock_pid)

wait_window() { # name
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$clock_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}

wid=$(wait_window Main) || fail "the clock window did not appear"
eval "$(xdotool getwindowgeometry --shell "$wid")"
ox=$X oy=$Y
sleep 0.3
xdotool mousemove $((ox + 86)) $((oy + 41)) click 1 # ALARM
dlg=$(wait_window Alarm) || fail "the alarm dialog did not open"
xdotool windowfocus --sync "$dlg" 2>/dev/null || true
xdotool key --delay 100 alt+f Down Return
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Alarm$' >/dev/null 2>&1 || break; sleep 0.1; done
! xdotool search --onlyvisible --name '^Alarm$' >/dev/null 2>&1 || fail "Enter did not close the alarm dialog"
[ $((SECONDS - started)) -lt 50 ] || fail "too slow: the clock's minute may have moved on"

xdotool mousemove $((ox + 509)) $((oy + 178)) click 1 # EXIT
for _ in $(seq 200); do kill -0 "$clock_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$clock_pid" 2>/dev/null && fail "EXIT did not end the program"
wait "$clock_pid" || fail "the program ended with status $?"

for line in MusicHour=11 MusicMin=3 MusicAMPM=AM MusicDay=Wednesday MusicMonth=December MusicYear=2001 \
  LightOn=True MusicMessage=True GreenSign=True; do
  grep -qx "$line" "$conf" || { cat "$conf"; fail "the settings file lacks $line"; }
done
grep -qE '^MusicSec=([0-9]|[1-5][0-9])$' "$conf" || { cat "$conf"; fail "no alarm second saved"; }
echo "ok: ALARM, 5 Min Later, Enter, EXIT: the alarm is saved for 11:03 AM, armed"
