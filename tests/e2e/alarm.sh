#!/usr/bin/env bash
# The alarm on the real program: a real X display (Xvfb), a real settings file with an armed
# alarm in a temporary XDG_CONFIG_HOME, a clock set by libfaketime, and the sound heard through
# a PulseAudio null sink of our own.
# Usage: alarm.sh <morvantis> <player module> <sound_segments> <source dir>
set -euo pipefail
exe=$1
module=$2
segments=$3
src=$4
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -f "$work/run/pulse/pid" ] && kill "$(cat "$work/run/pulse/pid")" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; [ -f "$work/clock.log" ] && cat "$work/clock.log"; exit 1; }
pass() { echo "ok: $*"; passed=$((passed + 1)); }
passed=0

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$faketime_lib" ] || fail "libfaketime is not installed"

# A sound server of our own on a private runtime folder.
export XDG_RUNTIME_DIR="$work/run" HOME="$work"
export PULSE_RUNTIME_PATH="$work/run/pulse" PULSE_SERVER="unix:$work/run/pulse/native"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n --use-pid-file=yes \
  -L module-native-protocol-unix \
  -L "module-null-sink sink_name=testsink rate=44100 channels=2 norewinds=1" >"$work/pulse.log" 2>&1 ||
  fail "PulseAudio could not start: $(head -n1 "$work/pulse.log")"
pactl set-default-sink testsink || fail "pactl cannot reach our PulseAudio"

exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")"
[ "$DISPLAY" != ":" ] || fail "Xvfb did not start"

prog="$work/prog"
mkdir -p "$prog/Skins"
cp "$exe" "$prog/morvantis"
cp "$module" "$prog/"
cp -r "$src/data/Skins/Digital Age" "$prog/Skins/"
cp -r "$src/data/wave" "$src/data/alarm.wav" "$prog/"
skin="$prog/Skins/Digital Age"

export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0:detect_leaks=0"

record() { # file: records the sink until stop_recording
  parec --raw --format=s16le --rate=44100 --channels=2 --latency-msec=10 -d testsink.monitor >"$1" &
  rec_pid=$!
  pids+=($rec_pid)
  sleep 0.3
}
stop_recording() { kill "$rec_pid"; wait "$rec_pid" 2>/dev/null || true; }
wave_ms() { # length of a wave file in ms, from its header: rate, block size and data chunk
  local f=$1 rate align pos size
  rate=$(od -An -t u4 -j 24 -N 4 "$f" | tr -d ' ')
  align=$(od -An -t u2 -j 32 -N 2 "$f" | tr -d ' ')
  pos=$(grep -bao data "$f" | head -n1 | cut -d: -f1)
  size=$(od -An -t u4 -j $((pos + 4)) -N 4 "$f" | tr -d ' ')
  awk -v s="$size" -v a="$align" -v r="$rate" 'BEGIN { printf "%.0f", 1000 * s / a / r }'
}

# The program's clock, set through a file libfaketime reads at every reading: starting slowly
# under load must not make the test miss the alarm.
clock_file="$work/faketime"
set_clock() { # local date and time the clock shows from now on
  echo "$(($(date -d "$1" +%s) - $(date +%s)))s" >"$clock_file"
}

# An alarm for 7:05:00 PM on Friday 1 March 2002, armed, at 100,100; the clock starts well before it.
start_alarm() { # config-home, extra settings...
  local home=$1; shift
  mkdir -p "$home/Morvantis"
  { echo "[StartUp]"
    printf '%s\n' "ThemeNo=0" "Left=1500" "Top=1500" "LightOn=True" "ShakeSpeed=5" \
      "MusicHour=7" "MusicMin=5" "MusicSec=0" "MusicAMPM=PM" "MusicDay=Friday" "MusicMonth=March" \
      "MusicYear=2002" "AlarmPath=$prog/alarm.wav" "$@"
  } >"$home/Morvantis/Morvantis.conf"
  set_clock "2002-03-01 19:04:00"
  XDG_CONFIG_HOME=$home FAKETIME_TIMESTAMP_FILE="$clock_file" FAKETIME_NO_CACHE=1 \
    FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib" "$prog/morvantis" >"$work/clock.log" 2>&1 &
  clock_pid=$!
  pids+=($clock_pid)
}
wait_window() { # name [tenths of a second]
  for _ in $(seq "${2:-100}"); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$clock_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
window_origin() { # window id -> "x y"
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y"
}
# The alarm light on the face: the skin's lit or unlit light over the case.
expect_light() { # on|off
  convert "$skin/base.gif" -crop 17x17+40+33 +repage "$skin/alarm$1.gif" -composite "$work/expect.png"
  import -window root -crop "17x17+$((ox + 40))+$((oy + 33))" +repage "$work/got.png"
  local diff
  diff=$(compare -metric AE -fuzz 3% "$work/got.png" "$work/expect.png" null: 2>&1 || true)
  [ "${diff%% *}" = 0 ]
}
stop_clock() {
  kill -TERM "$clock_pid" 2>/dev/null || true
  wait "$clock_pid" 2>/dev/null || true
}

# ---- 1. A message alarm: the alert window comes, OK puts it and the light out ----
start_alarm "$work/home1" "MusicMessage=True" "MusicCustomBol=True" "MusicCustom=Tea is ready" "RedSign=True"
wid=$(wait_window Main) || fail "the clock window did not appear"
read -r ox oy <<<"$(window_origin "$wid")"
sleep 0.3
expect_light on || fail "the armed alarm's light is not lit"
record "$work/alarm.raw"
set_clock "2002-03-01 19:04:58"
alert=$(wait_window "Custom Message" 150) || fail "no alert window at the alarm's second"
eval "$(xdotool getwindowgeometry --shell "$alert")"
[ "$WIDTH $HEIGHT" = "427 125" ] || fail "the alert window is ${WIDTH}x$HEIGHT, not 427x125"
[ $((X + WIDTH / 2)) -ge 510 ] && [ $((X + WIDTH / 2)) -le 514 ] || fail "the alert window is not centred ($X,$Y)"
pass "the alarm's second brings the \"Custom Message\" window, centred"
xdotool mousemove $((X + 352 + 32)) $((Y + 96 + 12)) click 1
# The click waits for the alarm sound to end: it holds the clock still.
for _ in $(seq 60); do
  xdotool search --onlyvisible --name '^Custom Message$' >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name '^Custom Message$' >/dev/null 2>&1 && fail "OK left the alert window open"
sleep 0.3
expect_light off || fail "the light is still lit after OK"
kill -0 "$clock_pid" 2>/dev/null || fail "the clock ended"
pass "OK closes the alert window and puts the light out"
stop_recording
stop_clock
"$segments" "$work/alarm.raw" >"$work/alarm.txt"
want=$(wave_ms "$prog/alarm.wav")
[ "$(wc -l <"$work/alarm.txt")" = 1 ] || { cat "$work/alarm.txt"; fail "the alarm is not one sound"; }
read -r _ length _ <"$work/alarm.txt"
[ "${length%.*}" -ge $((want - 30)) ] && [ "${length%.*}" -le $((want + 30)) ] ||
  fail "the alarm sounded $length ms, alarm.wav lasts $want ms"
pass "alarm.wav sounds once, whole, in the recording ($length ms)"

# ---- 2. A shake alarm: the window moves round and comes back to where it stood ----
start_alarm "$work/home2" "MusicBolShake=True"
wid=$(wait_window Main) || fail "the clock window did not appear"
read -r ox oy <<<"$(window_origin "$wid")"
[ "$ox $oy" = "100 100" ] || fail "window at $ox,$oy, not at the stored 100,100"
set_clock "2002-03-01 19:04:59"
# Positions as fast as xdotool reads them, until the light has gone out and a moment after.
while :; do window_origin "$wid"; done >"$work/positions" 2>/dev/null &
sampler=$!
pids+=($sampler)
for _ in $(seq 150); do
  expect_light off && break
  sleep 0.1
done
sleep 0.5
kill "$sampler" 2>/dev/null || true
read -r ex ey <<<"$(window_origin "$wid")"
others=$(grep -vc '^100 100$' "$work/positions" || true)
[ "$others" -ge 3 ] || fail "the window was seen at $others other positions during the shake"
grep -vxE '(87|100|113) (87|100|113)' "$work/positions" && fail "the window went beyond the shake's square"
[ "$ex $ey" = "100 100" ] || fail "the window ended the shake at $ex,$ey"
expect_light off || fail "the light is still lit after the shake"
pass "the shake moves the window round ($others readings elsewhere) and back to 100,100; the light is out"
stop_clock

echo "$passed passed, 0 failed"
