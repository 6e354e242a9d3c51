#!/usr/bin/env bash
# Start-up, its exits (within a second of the OK) and the skin chooser on the real program
# under Xvfb, with an empty or hand-made settings file and the clock frozen by libfaketime.
# Usage: e2e_startup.sh <build-folder> <source-folder>
set -euo pipefail
bin=$1
src=$2
exe="$bin/morvantis" # program_with copies it
source "$(dirname "$0")/lib.sh"
need_faketime
start_display

instant="2024-12-31 10:00:00" # a Tuesday

count_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }
confirm() { # window title: the user presses Enter in the message box
  local box
  box=$(wait_window "$1") || { cat "$work/clock.log"; fail "no \"$1\" message"; }
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key Return
}
# The face of the window named Main, colons blanked (they blink), into a file.
shoot_face() { # file
  local wid X Y
  wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock window did not appear"; }
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  import -window root -crop "575x240+$X+$Y" +repage "$work/raw.png"
  convert "$work/raw.png" -fill black -draw "rectangle 245,91 254,111" -draw "rectangle 326,91 335,111" "$1"
}
# A new shot of the face in $work/face.png passes the check (run apart: its fail only answers no).
face_shows() { # check...
  shoot_face "$work/face.png" && ("$@") >/dev/null 2>&1
}
# The face in $work/face.png shows the frozen instant (24-hour style) in the skin: 10:00:00, 12 31 TUE 2024.
expect_time() { # skin folder
  local skin=$1 x y w h pic
  while read -r x y w h pic; do
    convert "$skin/lcd.gif" -crop "${w}x${h}+$((x - 142))+$((y - 41))" +repage "$skin/$pic" -composite \
      "$work/want.png"
    convert "$work/face.png" -crop "${w}x${h}+$x+$y" +repage "$work/got.png"
    diff=$(picture_diff "$work/got.png" "$work/want.png" 3%)
    [ "${diff%% *}" = 0 ] || fail "at $x,$y expected ${skin##*/}'s $pic, $diff pixels differ"
  done <<'EOF'
211 70 33 47 0.gif
178 70 33 47 1.gif
167 142 16 22 2s.gif
225 142 16 22 1s.gif
279 142 49 22 tue.gif
386 142 16 22 2s.gif
403 142 16 22 4s.gif
EOF
}
expect_digital_age() { # program folder
  local skin="$1/Skins/Digital Age"
  expect_time "$skin"
  convert "$work/face.png" -crop "40x40+0+0" +repage "$work/got.png"
  convert "$skin/base.gif" -crop "40x40+0+0" +repage "$work/want.png"
  same_picture "$work/got.png" "$work/want.png" || fail "the case is not Digital Age's"
}

# ---- Building the program puts the data beside it; a first run shows the default skin ----
# The way the README runs the clock: build the morvantis target alone, then start it.
rm -rf "$bin/Skins" "$bin/wave" "$bin/alarm.wav" "$bin/docs"
cmake --build "$bin" --target morvantis >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build failed"; }
for f in "Skins/Digital Age/base.gif" wave/time.WAV alarm.wav docs/skins.html; do
  [ -f "$bin/$f" ] || fail "building the program left no $f beside it"
done
clock_exe="$bin/morvantis" start_clock "$work/first" "$instant"
poll 10 face_shows expect_digital_age "$bin" || expect_digital_age "$bin"
kill -INT "$clock_pid" # Ctrl+C: unlike EXIT and the session's end, it saves nothing
wait_exit 5 || fail "SIGINT did not end the program"
[ ! -e "$work/first/Morvantis/Morvantis.conf" ] || fail "a run ended by SIGINT saved settings"
pass "the morvantis target brings its data; the first run shows Digital Age"

# ---- Start-up exits end the process with status 1 once the message is confirmed ----
program_with "$work/empty"
clock_exe="$work/empty/morvantis" start_clock "$work/home-empty" "$instant"
confirm "No skin to set"
status=0; wait_exit 1 || status=$?
[ "$status" = 1 ] || fail "no skin: the program did not end with status 1 (status $status)"
[ ! -e "$work/home-empty/Morvantis/Morvantis.conf" ] || fail "no skin: settings were saved"
pass "an empty Skins folder: the message, then the program ends with status 1"

program_with "$work/broken" "Digital Age" "Amber Glow"
rm "$work/broken/Skins/Digital Age/lcd.gif"
write_settings "$work/home-broken" "ThemeNo=1"
cp "$work/home-broken/Morvantis/Morvantis.conf" "$work/conf-before"
clock_exe="$work/broken/morvantis" start_clock "$work/home-broken" "$instant"
confirm "Error Loading Sking"
status=0; wait_exit 1 || status=$?
[ "$status" = 1 ] || fail "broken default skin: the program did not end with status 1 (status $status)"
cmp -s "$work/conf-before" "$work/home-broken/Morvantis/Morvantis.conf" || fail "broken default: settings changed"
pass "a broken Digital Age: the message, then the program ends with status 1"

# ---- One skin installed: it is shown ----
program_with "$work/solo" "Digital Age"
clock_exe="$work/solo/morvantis" start_clock "$work/home-solo" "$instant"
poll 10 face_shows expect_digital_age "$work/solo" || expect_digital_age "$work/solo"
[ "$(count_windows 'No skin to set')" = 0 ] || fail "one skin: the no-skin message appeared"
stop_clock
pass "a Skins folder holding only Digital Age starts and shows it"

# ---- The chooser closes; switching skins draws each skin as a fresh start does ----
mapfile -t shipped < <(ls "$bin/Skins")
for i in "${!shipped[@]}"; do
  write_settings "$work/ref$i" "ThemeNo=$i"
  clock_exe="$bin/morvantis" start_clock "$work/ref$i" "$instant"
  poll 10 face_shows expect_time "$bin/Skins/${shipped[$i]}" || expect_time "$bin/Skins/${shipped[$i]}"
  cp "$work/face.png" "$work/ref$i.png"
  stop_clock
done

write_settings "$work/switch" "ThemeNo=0"
# Freed memory handed out again at once, as without the sanitizer: a switch reuses addresses.
asan=$ASAN_OPTIONS
export ASAN_OPTIONS="$asan:quarantine_size_mb=0:thread_local_quarantine_size_kb=0"
clock_exe="$bin/morvantis" start_clock "$work/switch" "$instant"
export ASAN_OPTIONS=$asan
wid=$(wait_window Main) || fail "the clock did not start"
eval "$(xdotool getwindowgeometry --shell "$wid")"
skins_button() { xdotool mousemove $((X + 509)) $((Y + 39)) click 1; }
skins_button
chooser=$(wait_window "Select Skin") || fail "SKINS opened no chooser"
xdotool windowfocus --sync "$chooser" 2>/dev/null || true
xdotool key Escape
wait_gone "Select Skin" || fail "Escape left the chooser on screen"
skins_button
chooser=$(wait_window "Select Skin") || fail "SKINS after Escape opened no chooser"
one_chooser() { [ "$(count_windows 'Select Skin')" = 1 ]; }
# Nothing to wait for when nothing should happen: no second chooser comes.
holds 0.3 one_chooser || fail "SKINS after Escape gives $(count_windows 'Select Skin') choosers"
pass "Escape closes the chooser; SKINS opens exactly one again"

xdotool windowmove --sync "$chooser" 640 420 2>/dev/null || xdotool windowmove "$chooser" 640 420
for i in "${!shipped[@]}"; do
  if [ "$i" -gt 0 ]; then
    xdotool windowfocus --sync "$chooser" 2>/dev/null || true
    xdotool key Down
  fi
  poll 10 face_shows same_picture "$work/face.png" "$work/ref$i.png" ||
    fail "after switching to ${shipped[$i]} the face differs from a fresh start with it"
done
stop_clock
pass "switching through the ${#shipped[@]} shipped skins draws each as a fresh start does"

echo "$passed passed, 0 failed"
