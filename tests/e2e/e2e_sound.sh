#!/usr/bin/env bash
# End-to-end sound: the real program under Xvfb with the clock set by libfaketime, heard
# through a PulseAudio null sink of our own and recorded from its monitor.
# Usage: e2e_sound.sh <morvantis> <player module> <sound_segments> <source dir>
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

fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; passed=$((passed + 1)); }
passed=0

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$faketime_lib" ] || fail "libfaketime is not installed"

# A sound server of our own on a private runtime folder.
export XDG_RUNTIME_DIR="$work/run" HOME="$work" XDG_CONFIG_HOME="$work/config"
export PULSE_RUNTIME_PATH="$work/run/pulse" PULSE_SERVER="unix:$work/run/pulse/native"
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
if ! pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n --use-pid-file=yes \
    -L module-native-protocol-unix \
    -L "module-null-sink sink_name=testsink rate=44100 channels=2 norewinds=1" >"$work/pulse.log" 2>&1; then
  echo "SKIP: PulseAudio could not start: $(head -n1 "$work/pulse.log")"
  exit 0
fi
pactl set-default-sink testsink || fail "pactl cannot reach our PulseAudio"

# A display of our own; -noreset so that back-to-back clients do not race a server reset.
exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")"
[ "$DISPLAY" != ":" ] || fail "Xvfb did not start"

# The program folder: the program, its player, one skin, the words and the chime.
prog="$work/prog"
mkdir -p "$prog/Skins"
cp "$exe" "$prog/morvantis"
cp "$module" "$prog/"
cp -r "$src/data/Skins/Digital Age" "$prog/Skins/"
cp -r "$src/data/wave" "$src/data/alarm.wav" "$prog/"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0:detect_leaks=0"

now() { date +%s.%N; }
write_settings() { # config-home, lines...
  local home=$1; shift
  mkdir -p "$home/Morvantis"
  { echo "[StartUp]"; printf '%s\n' "$@"; } >"$home/Morvantis/Morvantis.conf"
}
record() { # file: records the sink until stop_recording
  parec --raw --format=s16le --rate=44100 --channels=2 --latency-msec=10 -d testsink.monitor >"$1" &
  rec_pid=$!
  pids+=($rec_pid)
  sleep 0.3
  rec_start=$(now)
}
stop_recording() { kill "$rec_pid"; wait "$rec_pid" 2>/dev/null || true; }
start_clock() { # config-home, instant the clock starts from
  XDG_CONFIG_HOME=$1 FAKETIME="@$2" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib" \
    "$prog/morvantis" >"$work/clock.log" 2>&1 &
  clock_pid=$!
  pids+=($clock_pid)
  clock_start=$(now)
}
stop_clock() { kill -TERM "$clock_pid"; wait "$clock_pid" 2>/dev/null || true; }
# Seconds into the recording of a moment taken with now().
offset() { awk -v a="$1" -v b="$rec_start" 'BEGIN { printf "%.3f", a - b + 0.3 }'; }
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; exit !(d <= t && d >= -t) }'; }
wave_ms() { # length of a wave file in ms, from its header: rate, block size and data chunk
  local f=$1 rate align pos size
  rate=$(od -An -t u4 -j 24 -N 4 "$f" | tr -d ' ')
  align=$(od -An -t u2 -j 32 -N 2 "$f" | tr -d ' ')
  pos=$(grep -bao data "$f" | head -n1 | cut -d: -f1)
  size=$(od -An -t u4 -j $((pos + 4)) -N 4 "$f" | tr -d ' ')
  awk -v s="$size" -v a="$align" -v r="$rate" 'BEGIN { printf "%.1f", 1000 * s / a / r }'
}

wait_window() { # name
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$clock_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
# Checks that a recording's sounds are the expected ones in order: "name:milliseconds" each,
# "alert" for the built-in alert (its two pitches). Sounds that follow each other without a
# gap are recorded as one; their lengths add up. Gaps between sounds must stay under 100 ms.
expect_sounds() { # segments-file, expected...
  local file=$1; shift
  awk -v want="$*" '
    function abs(x) { return x < 0 ? -x : x }
    function tone(hz,   k) { for (k = 3; k <= NF; k++) if (abs($k - hz) < 0.03 * hz) return 1; return 0 }
    BEGIN { n = split(want, w, " "); for (i = 1; i <= n; i++) { split(w[i], p, ":"); name[i] = p[1]; len[i] = p[2] } i = 1 }
    {
      if (i > n) { print "an extra sound: " $0; bad = 1; exit }
      sum = len[i]; k = i; names = name[i]
      while ($2 > sum + 30 && k < n) { k++; sum += len[k]; names = names "+" name[k] }
      if (abs($2 - sum) > 30) { printf "sound %s lasted %s ms, expected %s ms\n", names, $2, sum; bad = 1; exit }
      for (j = i; j <= k; j++) if (name[j] == "alert" && !(tone(880) && tone(587.33))) { print "no alert in " $0; bad = 1; exit }
      if (NR > 1 && $1 - last > 100) { printf "a gap of %.1f ms before %s\n", $1 - last, names; bad = 1; exit }
      if (NR > 1) gaps = gaps sprintf(" %.1f", $1 - last)
      last = $1 + $2; i = k + 1
    }
    END { if (bad) exit 1; if (i <= n) { print "missing: " name[i]; exit 1 } print "gaps between sounds (ms):" (gaps == "" ? " none (one sound)" : gaps) }
  ' "$file"
}
word() { echo "$1:$(wave_ms "$prog/wave/$1.WAV")"; }

# ---- The hourly chime: alarm.wav from the full hour on, and nothing with the chime off ----
home1="$work/home1"
write_settings "$home1" "ThemeNo=0" "HourlyPlay=True"
record "$work/chime.raw"
start_clock "$home1" "2001-09-23 13:59:57"
sleep 6
stop_clock
stop_recording
"$segments" "$work/chime.raw" >"$work/chime.txt"
[ "$(wc -l <"$work/chime.txt")" = 1 ] || { cat "$work/chime.txt" "$work/clock.log"; fail "the chime is not one sound"; }
read -r start length rest <"$work/chime.txt"
want=$(wave_ms "$prog/alarm.wav")
near "$length" "$want" 30 || fail "the chime lasted $length ms, alarm.wav $want ms"
hour=$(awk -v s="$(offset "$clock_start")" 'BEGIN { printf "%.0f", 1000 * (s + 3) }')
# Within second 0 of the hour (the clock's own start lags ours a little, never leads it).
awk -v s="$start" -v h="$hour" 'BEGIN { exit !(s >= h - 50 && s < h + 1000) }' ||
  fail "the chime began at $start ms, the full hour was at $hour ms"
pass "the chime plays alarm.wav once, from the full hour ($length ms at $start ms, hour at $hour ms)"

home2="$work/home2"
write_settings "$home2" "ThemeNo=0" "HourlyPlay=False"
record "$work/quiet.raw"
start_clock "$home2" "2001-09-23 13:59:58"
sleep 4
stop_clock
stop_recording
"$segments" "$work/quiet.raw" >"$work/quiet.txt"
[ ! -s "$work/quiet.txt" ] || { cat "$work/quiet.txt"; fail "the clock sounded with the chime off"; }
pass "with the chime off the full hour passes in silence"

# ---- SAY TIME at 21:21: "time nine twenty one p m" in the shipped voice ----
home3="$work/home3"
write_settings "$home3" "ThemeNo=0" "HourlyPlay=False" "Left=1500" "Top=1500"
say_time() { # file to record into
  record "$1"
  start_clock "$home3" "2001-09-23 21:21:00"
  wait_window Main >/dev/null || { cat "$work/clock.log"; fail "the clock window did not appear"; }
  sleep 0.5
  xdotool mousemove $((100 + 509)) $((100 + 70)) click 1
  sleep 3.5
  stop_clock
  stop_recording
  "$segments" --gap 0.001 "$1" >"$1.txt"
}
say_time "$work/say.raw"
gaps=$(expect_sounds "$work/say.raw.txt" "$(word time)" "$(word 9)" "$(word 20)" "$(word 1)" "$(word pm)") ||
  { cat "$work/say.raw.txt"; fail "SAY TIME: $gaps"; }
pass "SAY TIME at 21:21 says time, nine, twenty, one, p m; $gaps"

# Missing words: the alert in their place, and the rest goes on.
mv "$prog/wave/9.WAV" "$prog/wave/pm.WAV" "$work/"
say_time "$work/missing.raw"
mv "$work/9.WAV" "$work/pm.WAV" "$prog/wave/"
gaps=$(expect_sounds "$work/missing.raw.txt" "$(word time)" alert:600 "$(word 20)" "$(word 1)" alert:600) ||
  { cat "$work/missing.raw.txt"; fail "SAY TIME without 9.WAV and pm.WAV: $gaps"; }
pass "without 9.WAV and pm.WAV the alert stands in for them and the rest is said"

echo "$passed passed, 0 failed"
