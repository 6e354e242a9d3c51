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
fail_shows_clock_log=yes
source "$(dirname "$0")/lib.sh"
need_faketime

# A sound server of our own on a private runtime folder.
export HOME="$work"
start_sound_server || fail "PulseAudio could not start: $(head -n1 "$work/pulse.log")"
start_display

prog="$work/prog"
program_with "$prog" "Digital Age"
cp "$module" "$prog/"
with_sounds "$prog"
skin="$prog/Skins/Digital Age"
clock_exe="$prog/morvantis"

# The program's clock, set through a file libfaketime reads at every reading: starting slowly
# under load must not make the test miss the alarm.
clock_file="$work/faketime"
set_clock() { # local date and time the clock shows from now on
  echo "$(($(date -d "$1" +%s) - $(date +%s)))s" >"$clock_file"
}

# An alarm for 7:05:00 PM on Friday 1 March 2002, armed, at 100,100; the clock starts well before it.
start_alarm() { # config-home, extra settings...
  local home=$1; shift
  write_settings "$home" "ThemeNo=0" "Left=1500" "Top=1500" "LightOn=True" "ShakeSpeed=5" \
    "MusicHour=7" "MusicMin=5" "MusicSec=0" "MusicAMPM=PM" "MusicDay=Friday" "MusicMonth=March" \
    "MusicYear=2002" "AlarmPath=$prog/alarm.wav" "$@"
  set_clock "2002-03-01 19:04:00"
  launch_clock "$home" FAKETIME_TIMESTAMP_FILE="$clock_file" FAKETIME_NO_CACHE=1 \
    FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib"
}
# The alarm light on the face: the skin's lit or unlit light over the case.
expect_light() { # on|off
  convert "$skin/base.gif" -crop 17x17+40+33 +repage "$skin/alarm$1.gif" -composite "$work/expect.png"
  import -window root -crop "17x17+$((ox + 40))+$((oy + 33))" +repage "$work/got.png"
  same_picture "$work/got.png" "$work/expect.png" 3%
}

# ---- 1. A message alarm: the alert window comes, OK puts it and the light out ----
start_alarm "$work/home1" "MusicMessage=True" "MusicCustomBol=True" "MusicCustom=Tea is ready" "RedSign=True"
wid=$(wait_window Main) || fail "the clock window did not appear"
read -r ox oy <<<"$(window_origin "$wid")"
poll 10 expect_light on || fail "the armed alarm's light is not lit"
record "$work/alarm.raw"
set_clock "2002-03-01 19:04:58"
alert=$(wait_window "Custom Message" 150) || fail "no alert window at the alarm's second"
eval "$(xdotool getwindowgeometry --shell "$alert")"
[ "$WIDTH $HEIGHT" = "427 125" ] || fail "the alert window is ${WIDTH}x$HEIGHT, not 427x125"
[ $((X + WIDTH / 2)) -ge 510 ] && [ $((X + WIDTH / 2)) -le 514 ] || fail "the alert window is not centred ($X,$Y)"
pass "the alarm's second brings the \"Custom Message\" window, centred"
# The user answers once the sound has been heard (answering earlier stops it): the user's
# timing, not a wait for the program.
sleep "$(awk -v ms="$(wave_ms "$prog/alarm.wav" 0)" 'BEGIN { print ms / 1000 + 0.5 }')"
xdotool mousemove $((X + 352 + 32)) $((Y + 96 + 12)) click 1
wait_gone "Custom Message" 6 || fail "OK left the alert window open"
poll 5 expect_light off || fail "the light is still lit after OK"
kill -0 "$clock_pid" 2>/dev/null || fail "the clock ended"
pass "OK closes the alert window and puts the light out"
stop_recording
stop_clock
"$segments" "$work/alarm.raw" >"$work/alarm.txt"
want=$(wave_ms "$prog/alarm.wav" 0)
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
poll 15 expect_light off || fail "the light is still lit after the shake"
# The light goes out once the shake is over: the window stands where it started.
poll 5 at_origin "$wid" "100 100" || fail "the window ended the shake at $(window_origin "$wid")"
kill "$sampler" 2>/dev/null || true
others=$(grep -vc '^100 100$' "$work/positions" || true)
[ "$others" -ge 3 ] || fail "the window was seen at $others other positions during the shake"
grep -vxE '(87|100|113) (87|100|113)' "$work/positions" && fail "the window went beyond the shake's square"
pass "the shake moves the window round ($others readings elsewhere) and back to 100,100; the light is out"
stop_clock

# ---- 3. A long alarm sound is answered while it plays: OK, or Snooze and a minute ----
make_tone "$work/long70.wav" 70
answer_long_alarm() { # home, ok|snooze
  start_alarm "$1" "MusicMessage=True" "AlarmPath=$work/long70.wav"
  wid=$(wait_window Main) || fail "the clock window did not appear"
  read -r ox oy <<<"$(window_origin "$wid")"
  record "$work/long.raw"
  set_clock "2002-03-01 19:04:59"
  alert=$(wait_window "Custom Message" 150) || fail "no alert window at the alarm's second"
  eval "$(xdotool getwindowgeometry --shell "$alert")"
  sleep 2 # the user answers 2 s into the sound: the user's timing, not a wait for the program
  answered=$(date +%s.%N)
  if [ "$2" = ok ]; then
    xdotool mousemove $((X + 352 + 32)) $((Y + 96 + 12)) click 1
  else
    before=$(clock_windows)
    xdotool mousemove $((X + 280 + 32)) $((Y + 96 + 12)) click 1
    poll 5 more_windows "$before" || fail "Snooze opened no menu"
    xdotool key 1 # the menu's "1 Min"
  fi
  wait_gone "Custom Message" 3 || fail "$2 left the alert open"
  # Recorded until half a second of silence (or five seconds more) shows where the sound ended.
  poll 5 quiet_after_sound "$work/long.raw" 0.5 || true
  stop_recording
  ended=$(last_sound_end "$work/long.raw")
  [ -n "$ended" ] || fail "$2: the long alarm was never heard"
  awk -v e="$ended" -v a="$answered" 'BEGIN { exit !(e - a < 0.5 && e > a - 0.5) }' ||
    fail "$2: the sound ended $(awk -v e="$ended" -v a="$answered" 'BEGIN { print e - a }') s after the answer"
  if [ "$2" = ok ]; then poll 5 expect_light off || fail "the light is lit after OK"
  else expect_light on || fail "the light is out after a snooze"; fi
  stop_clock
}
answer_long_alarm "$work/home3" ok
pass "OK 2 s into a 70 s alarm sound silences it at once and puts the light out"
answer_long_alarm "$work/home4" snooze
pass "Snooze 2 s into a 70 s alarm sound silences it at once and re-arms"

# ---- 4. The alert answers above the clock's modal windows ----
alert_above() { # home, face button x y, window it opens, initial light, whether OK closes it
  start_alarm "$1" "MusicMessage=True" "LightOn=$5"
  wid=$(wait_window Main) || fail "the clock window did not appear"
  read -r ox oy <<<"$(window_origin "$wid")"
  poll 10 drawn "$wid" || fail "the clock was never drawn"
  xdotool mousemove $((ox + $2)) $((oy + $3)) click 1
  poll 5 visible "$4" || fail "the window \"$4\" did not open"
  set_clock "2002-03-01 19:04:59"
  alert=$(wait_window "Custom Message" 150) || fail "no alert window above \"$4\""
  eval "$(xdotool getwindowgeometry --shell "$alert")"
  # The user answers once the sound has been heard: the user's timing, not a wait.
  sleep "$(awk -v ms="$(wave_ms "$prog/alarm.wav" 0)" 'BEGIN { print ms / 1000 + 0.5 }')"
  xdotool mousemove $((X + 352 + 32)) $((Y + 96 + 12)) click 1
  wait_gone "Custom Message" 3 || fail "OK above \"$4\" was not heard"
  poll 5 expect_light off || fail "the light is lit after OK above \"$4\""
  if [ "$6" = closes ]; then
    wait_gone "$4" || fail "OK left \"$4\" open"
  else
    # Nothing to wait for when nothing should happen: it stays while OK's changes land.
    holds 0.3 visible "$4" || fail "OK closed \"$4\""
  fi
  stop_clock
}
alert_above "$work/home5" 86 41 Alarm False closes # ALARM lights the light and opens the dialog
pass "above the open alarm dialog the alert's OK is heard, closes both and puts the light out"
alert_above "$work/home6" 509 104 "" True stays # ABOUT
pass "above the about window the alert's OK is heard; the about window stays"

# ---- 5. The wall clock jumps while the clock runs: a suspend, a late snooze, daylight saving ----
set_epoch() { echo "$(($1 - $(date +%s)))s" >"$clock_file"; } # the clock shows this moment from now on
at() { date -d "$1" +%s; } # a date with its UTC offset -> seconds since the epoch
jump_alarm() { # home, alarm (hour min ampm day month year), start moment, environment...
  local home=$1 h=$2 m=$3 ampm=$4 day=$5 month=$6 year=$7 from=$8; shift 8
  write_settings "$home" "ThemeNo=0" "Left=1500" "Top=1500" "LightOn=True" "MusicMessage=True" "MusicHour=$h" "MusicMin=$m" \
    "MusicSec=0" "MusicAMPM=$ampm" "MusicDay=$day" "MusicMonth=$month" "MusicYear=$year" "AlarmPath=$prog/alarm.wav"
  set_epoch "$from"
  launch_clock "$home" FAKETIME_TIMESTAMP_FILE="$clock_file" FAKETIME_NO_CACHE=1 \
    FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib" "$@"
  wid=$(wait_window Main) || fail "the clock window did not appear"
  read -r ox oy <<<"$(window_origin "$wid")"
  poll 10 expect_light on || fail "the armed alarm's light is not lit"
}
press_alert() { # ok|snooze: the alert window's button (Snooze: 5 minutes)
  eval "$(xdotool getwindowgeometry --shell "$alert")"
  if [ "$1" = ok ]; then
    xdotool mousemove $((X + 352 + 32)) $((Y + 96 + 12)) click 1
  else
    local before
    before=$(clock_windows)
    xdotool mousemove $((X + 280 + 32)) $((Y + 96 + 12)) click 1
    poll 5 more_windows "$before" || fail "Snooze opened no menu"
    xdotool key 5
  fi
  wait_gone "Custom Message" 5 || fail "$1 left the alert window open"
}
# A laptop asleep for two hours across the alarm: it rings on waking. Snooze pressed then, long
# after the alarm's own time, counts five minutes from the press.
jump_alarm "$work/home8" 7 5 PM Friday March 2002 "$(at '2002-03-01 19:04:30 +00:00')" TZ=UTC
set_epoch "$(at '2002-03-01 21:05:00 +00:00')"
alert=$(wait_window "Custom Message" 50) || fail "no alert after a 2-hour jump across the alarm"
pass "a 2-hour jump across the alarm rings it on waking"
press_alert snooze
expect_light on || fail "the light is out after the snooze"
set_epoch "$(at '2002-03-01 21:09:58 +00:00')"
alert=$(wait_window "Custom Message" 100) || fail "a late snooze never rang again"
press_alert ok
pass "Snooze pressed two hours late rings five minutes after the press"
stop_clock
# Berlin's spring-forward night: 2:30 never shows, and the alarm rings when the clock passes it.
jump_alarm "$work/home9" 2 30 AM Sunday March 2026 "$(at '2026-03-29 01:59:57 +01:00')" TZ=Europe/Berlin
alert=$(wait_window "Custom Message" 100) || fail "2:30 on the spring-forward night never rang"
press_alert ok
pass "2:30 AM on the spring-forward night rings at 3:00"
stop_clock
# Berlin's fall-back night: 2:30 shows twice; left unanswered, it rings at the first only.
record "$work/fallback.raw"
jump_alarm "$work/home10" 2 30 AM Sunday October 2026 "$(at '2026-10-25 02:29:57 +02:00')" TZ=Europe/Berlin
alert=$(wait_window "Custom Message" 100) || fail "2:30 on the fall-back night never rang"
poll 10 quiet_after_sound "$work/fallback.raw" 0.2 || fail "the first 2:30 was never heard"
set_epoch "$(at '2026-10-25 02:29:58 +01:00')"
# Nothing to wait for when nothing should happen: the repeated 2:30 goes by in silence.
one_sound() { [ "$("$segments" "$work/fallback.raw" | wc -l)" -le 1 ]; }
holds 4 one_sound || fail "the repeated 2:30 rang again"
stop_recording
"$segments" "$work/fallback.raw" >"$work/fallback.txt"
[ "$(wc -l <"$work/fallback.txt")" = 1 ] || { cat "$work/fallback.txt"; fail "the fall-back 2:30 rang more than once"; }
expect_light on || fail "the unanswered alarm's light went out"
pass "2:30 AM on the fall-back night, unanswered, rings once"
stop_clock

# ---- 6. SIGTERM during a long chime ends the program at once ----
make_tone "$work/long60.wav" 60
write_settings "$work/home7" "ThemeNo=0" "HourlyPlay=True" "DefaultSound=False" "SoundPath=$work/long60.wav"
set_clock "2002-03-01 19:59:58"
launch_clock "$work/home7" FAKETIME_TIMESTAMP_FILE="$clock_file" FAKETIME_NO_CACHE=1 \
  FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib"
wait_window Main >/dev/null || fail "the clock window did not appear"
record "$work/chime.raw"
poll 10 heard "$work/chime.raw" || fail "the chime was never heard"
sleep 1 # the session ends a second into the chime: the scenario's timing, not a wait
kill -TERM "$clock_pid"
status=0
wait_exit 1 || status=$?
[ "$status" = 0 ] || fail "SIGTERM during a 60 s chime: status $status (124: still running after 1 s)"
grep -q '^HourlyPlay=True' "$(settings_file "$work/home7")" || fail "SIGTERM did not save"
pass "SIGTERM during a 60 s chime ends the program within a second, with status 0, saved"

# ---- 7. Ringing until answered: the sound comes again as it ends, until OK stops it at once ----
make_tone "$work/tone1.wav" 1
sounds_at_least() { [ "$("$segments" "$1" | wc -l)" -ge "$2" ]; } # recording count
start_alarm "$work/home11" "MusicMessage=True" "RingUntilAnswered=True" "AlarmPath=$work/tone1.wav"
wait_window Main >/dev/null || fail "the clock window did not appear"
record "$work/ring.raw"
set_clock "2002-03-01 19:04:59"
alert=$(wait_window "Custom Message" 150) || fail "no alert window at the alarm's second"
eval "$(xdotool getwindowgeometry --shell "$alert")"
poll 10 sounds_at_least "$work/ring.raw" 2 ||
  fail "a 1 s alarm sound rang $("$segments" "$work/ring.raw" | wc -l) times in 10 s, not again and again"
answered=$(date +%s.%N)
xdotool mousemove $((X + 352 + 32)) $((Y + 96 + 12)) click 1
wait_gone "Custom Message" 3 || fail "OK left the alert open"
poll 5 quiet_after_sound "$work/ring.raw" 1 || fail "the alarm still rang 5 s after OK"
stop_recording
ended=$(last_sound_end "$work/ring.raw")
awk -v e="$ended" -v a="$answered" 'BEGIN { exit !(e - a < 0.5) }' ||
  fail "the ringing ended $(awk -v e="$ended" -v a="$answered" 'BEGIN { print e - a }') s after OK"
pass "ringing until answered, the alarm sound comes again until OK, which stops it at once"
stop_clock

echo "$passed passed, 0 failed"
