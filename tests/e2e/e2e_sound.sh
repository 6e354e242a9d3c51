#!/usr/bin/env bash
# End-to-end sound: the real program under Xvfb with the clock set by libfaketime, heard
# through a PulseAudio null sink of our own and recorded from its monitor.
# Usage: e2e_sound.sh <morvantis> <player module> <sound_segments> <source dir>
set -euo pipefail
exe=$1
module=$2
segments=$3
src=$4
source "$(dirname "$0")/lib.sh"
need_faketime

# A sound server of our own on a private runtime folder.
export HOME="$work" XDG_CONFIG_HOME="$work/config"
mkdir -p -m 700 "$XDG_CONFIG_HOME"
if ! start_sound_server; then
  echo "SKIP: PulseAudio could not start: $(head -n1 "$work/pulse.log")"
  exit 0
fi
start_display

# The program folder: the program, its player, one skin, the words and the chime.
prog="$work/prog"
program_with "$prog" "Digital Age"
cp "$module" "$prog/"
with_sounds "$prog"
clock_exe="$prog/morvantis"

now() { date +%s.%N; }
# Seconds into the recording of a moment taken with now().
offset() { awk -v a="$1" -v b="$rec_start" 'BEGIN { printf "%.3f", a - b }'; }
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; exit !(d <= t && d >= -t) }'; }
# Checks that a recording's sounds are the expected ones in order: "name:milliseconds" each,
# "alert" for the built-in alert (its two pitches). The segments file comes from
# sound_segments --words: each sound is told by its content, not only by its length. Sounds
# that follow each other without a gap are recorded as one; their lengths add up, their names
# are joined by "+" ("?" for the alert). Gaps between sounds must stay under 100 ms.
expect_sounds() { # segments-file, expected...
  local file=$1; shift
  awk -v want="$*" '
    function abs(x) { return x < 0 ? -x : x }
    function tone(hz,   k) { for (k = 4; k <= NF; k++) if (abs($k - hz) < 0.03 * hz) return 1; return 0 }
    BEGIN { n = split(want, w, " "); for (i = 1; i <= n; i++) { split(w[i], p, ":"); name[i] = p[1]; len[i] = p[2] } i = 1 }
    {
      if (i > n) { print "an extra sound: " $0; bad = 1; exit }
      sum = len[i]; k = i; names = name[i]
      while ($2 > sum + 30 && k < n) { k++; sum += len[k]; names = names "+" name[k] }
      if (abs($2 - sum) > 30) { printf "sound %s lasted %s ms, expected %s ms\n", names, $2, sum; bad = 1; exit }
      for (j = i; j <= k; j++) if (name[j] == "alert" && !(tone(880) && tone(587.33))) { print "no alert in " $0; bad = 1; exit }
      heard = ""; for (j = i; j <= k; j++) heard = heard (j > i ? "+" : "") (name[j] == "alert" ? "?" : name[j])
      if ($3 != heard) { printf "heard %s where %s was expected\n", $3, heard; bad = 1; exit }
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
start_clock "$home1" "@2001-09-23 13:59:57"
clock_start=$(now)
# The chime heard whole, then two seconds without another.
poll 15 quiet_after_sound "$work/chime.raw" 2 || true
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
start_clock "$home2" "@2001-09-23 13:59:58"
sleep 4 # the clock runs across the full hour: silence has no moment to wait for
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
  start_clock "$home3" "@2001-09-23 21:21:00"
  wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock window did not appear"; }
  poll 10 drawn "$wid" || fail "the clock was never drawn"
  xdotool mousemove $((100 + 509)) $((100 + 70)) click 1
  # The words heard, then a second without more (the gaps between words are far shorter).
  poll 10 quiet_after_sound "$1" 1 || true
  stop_clock
  stop_recording
  "$segments" --gap 0.001 --words "$src/data/wave" "$1" >"$1.txt"
}
say_time "$work/say.raw"
gaps=$(expect_sounds "$work/say.raw.txt" "$(word time)" "$(word 9)" "$(word 20)" "$(word 1)" "$(word pm)") ||
  { cat "$work/say.raw.txt"; fail "SAY TIME: $gaps"; }
pass "SAY TIME at 21:21 says time, nine, twenty, one, p m; $gaps"
# The names come from the sounds themselves: with "1" and "2" swapped in the word files, the
# same recording no longer passes, though the two words are almost equally long.
mkdir "$work/swapped" && cp "$src/data/wave/"*.WAV "$work/swapped/"
cp "$src/data/wave/1.WAV" "$work/swapped/2.WAV" && cp "$src/data/wave/2.WAV" "$work/swapped/1.WAV"
"$segments" --gap 0.001 --words "$work/swapped" "$work/say.raw" >"$work/swapped.txt"
! expect_sounds "$work/swapped.txt" "$(word time)" "$(word 9)" "$(word 20)" "$(word 1)" "$(word pm)" >/dev/null ||
  { cat "$work/swapped.txt"; fail "SAY TIME passed with the words for one and two swapped"; }
pass "the words are told apart by their sound, not their length"

# Missing words: the alert in their place, and the rest goes on.
mv "$prog/wave/9.WAV" "$prog/wave/pm.WAV" "$work/"
say_time "$work/missing.raw"
mv "$work/9.WAV" "$work/pm.WAV" "$prog/wave/"
gaps=$(expect_sounds "$work/missing.raw.txt" "$(word time)" alert:600 "$(word 20)" "$(word 1)" alert:600) ||
  { cat "$work/missing.raw.txt"; fail "SAY TIME without 9.WAV and pm.WAV: $gaps"; }
pass "without 9.WAV and pm.WAV the alert stands in for them and the rest is said"

# ---- Holding still answers the system: a 12 s chime, then SAY TIME ----
# While a sound plays the face stands, and the window still answers the window manager's
# _NET_WM_PING (a desktop calls a window hung after about 5 s without an answer) and a second
# start; the sound is heard whole.
pings() { # window id, count, pause: the worst answer in ms, or "none"
  local worst=0 ms
  for _ in $(seq "$2"); do
    ms=$(/usr/bin/python3 "$(dirname "$0")/ping.py" "$1" 1) || { echo none; return; }
    worst=$(awk -v a="$ms" -v b="$worst" 'BEGIN { print (a > b ? a : b) }')
    sleep "$3"
  done
  echo "$worst"
}
second_start() { # config-home: status 0 and the running clock's answer
  local status=0
  XDG_CONFIG_HOME="$1" timeout 10 "$clock_exe" >"$work/second.out" 2>"$work/second.err" || status=$?
  [ "$status" = 0 ] && grep -q . "$work/second.out" ||
    fail "a second start gave status $status: $(cat "$work/second.out" "$work/second.err")"
}
# Once the recording hears the clock's sound: pings answered within a second and a second start
# answered while it plays; then the clock stopped once it is quiet. Sets $worst.
answers_while_sounding() { # window id, config-home, recording, pings
  poll 10 heard "$3" || fail "no sound began"
  worst=$(pings "$1" "$4" 0.8)
  [ "$worst" != none ] && [ "${worst%.*}" -lt 1000 ] || fail "the clock left a ping unanswered while it sounded"
  second_start "$2"
  poll 20 quiet_after_sound "$3" 1 || true
  stop_clock
  stop_recording
}
make_tone "$work/long.wav" 12
home4="$work/home4"
write_settings "$home4" "ThemeNo=0" "HourlyPlay=True" "DefaultSound=False" "SoundPath=$work/long.wav" \
  "Left=1500" "Top=1500"
record "$work/long.raw"
start_clock "$home4" "@2001-09-23 13:59:58"
wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock window did not appear"; }
answers_while_sounding "$wid" "$home4" "$work/long.raw" 8
"$segments" "$work/long.raw" >"$work/long.txt"
read -r start length rest <"$work/long.txt"
[ "$(wc -l <"$work/long.txt")" = 1 ] && near "$length" 12000 30 ||
  { cat "$work/long.txt"; fail "the 12 s chime was not heard whole once"; }
pass "during a 12 s chime 8 pings were answered (worst $worst ms), a second start got status 0, and the chime was heard whole"

# SAY TIME with a first word of 6 s, longer than a desktop waits for a ping: the pings and a
# second start are answered, the words one phrase.
make_tone "$prog/wave/time.WAV" 6
record "$work/say-long.raw"
start_clock "$home3" "@2001-09-23 21:21:00"
wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock window did not appear"; }
poll 10 drawn "$wid" || fail "the clock was never drawn"
xdotool mousemove $((100 + 509)) $((100 + 70)) click 1
answers_while_sounding "$wid" "$home3" "$work/say-long.raw" 5
cp "$src/data/wave/time.WAV" "$prog/wave/time.WAV"
"$segments" "$work/say-long.raw" >"$work/say-long.txt"
# From the first sound's start to the last one's end: the long word and the four after it, with
# no gap worth the name between them.
want=$(awk -v a="$(wave_ms "$prog/wave/9.WAV")" -v b="$(wave_ms "$prog/wave/20.WAV")" \
  -v c="$(wave_ms "$prog/wave/1.WAV")" -v d="$(wave_ms "$prog/wave/pm.WAV")" 'BEGIN { printf "%.0f", 6000 + a + b + c + d }')
span=$(awk 'NR == 1 { s = $1 } { e = $1 + $2 } END { printf "%.0f", e - s }' "$work/say-long.txt")
awk -v s="$span" -v w="$want" 'BEGIN { exit !(s >= w - 60 && s <= w + 400) }' ||
  { cat "$work/say-long.txt"; fail "the long words lasted $span ms from first to last, $want ms expected"; }
pass "while SAY TIME spoke 5 pings were answered (worst $worst ms) and a second start got status 0; the words one phrase"

echo "$passed passed, 0 failed"
