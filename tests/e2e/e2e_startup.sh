#!/usr/bin/env bash
# Start-up, its exits (within a second of the OK) and the skin chooser on the real program
# under Xvfb, with an empty or hand-made settings file and the clock frozen by libfaketime.
# Usage: e2e_startup.sh <build-folder> <source-folder>
set -euo pipefail
bin=$1
src=$2
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; passed=$((passed + 1)); }
passed=0

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$faketime_lib" ] || fail "libfaketime is not installed"

exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")"
[ "$DISPLAY" != ":" ] || fail "Xvfb did not start"

export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0:detect_leaks=0"
export XDG_RUNTIME_DIR="$work/run"; mkdir -p -m 700 "$XDG_RUNTIME_DIR"
instant="2024-12-31 10:00:00" # a Tuesday

start_clock() { # program, config-home
  mkdir -p "$2"
  XDG_CONFIG_HOME=$2 FAKETIME="$instant" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib" \
    "$1" >"$work/clock.log" 2>&1 &
  clock_pid=$!
  pids+=($clock_pid)
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
count_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }
wait_exit() { # tenths of a second
  for _ in $(seq "$1"); do
    kill -0 "$clock_pid" 2>/dev/null || { wait "$clock_pid"; return $?; }
    sleep 0.1
  done
  return 124
}
stop_clock() { kill -TERM "$clock_pid" 2>/dev/null || true; wait_exit 50 || true; }
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
  sleep 0.6
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  import -window root -crop "575x240+$X+$Y" +repage "$work/raw.png"
  convert "$work/raw.png" -fill black -draw "rectangle 245,91 254,111" -draw "rectangle 326,91 335,111" "$1"
}
same_picture() { # a b
  local diff
  diff=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [ "${diff%% *}" = 0 ]
}
# The Digital Age face at the frozen instant (24-hour style): 10:00:00, 12 31 TUE 2024.
expect_digital_age() { # program folder
  local skin="$1/Skins/Digital Age" x y w h pic
  while read -r x y w h pic; do
    convert "$skin/lcd.gif" -crop "${w}x${h}+$((x - 142))+$((y - 41))" +repage "$skin/$pic" -composite \
      "$work/want.png"
    convert "$work/face.png" -crop "${w}x${h}+$x+$y" +repage "$work/got.png"
    diff=$(compare -metric AE -fuzz 3% "$work/got.png" "$work/want.png" null: 2>&1 || true)
    [ "${diff%% *}" = 0 ] || fail "at $x,$y expected Digital Age's $pic, $diff pixels differ"
  done <<'EOF'
211 70 33 47 0.gif
178 70 33 47 1.gif
167 142 16 22 2s.gif
225 142 16 22 1s.gif
279 142 49 22 tue.gif
386 142 16 22 2s.gif
403 142 16 22 4s.gif
EOF
  convert "$work/face.png" -crop "40x40+0+0" +repage "$work/got.png"
  convert "$skin/base.gif" -crop "40x40+0+0" +repage "$work/want.png"
  same_picture "$work/got.png" "$work/want.png" || fail "the case is not Digital Age's"
}
# A program folder of its own: the executable beside the given skins.
program_with() { # folder, skins...
  local dir=$1; shift
  mkdir -p "$dir/Skins"
  cp "$bin/morvantis" "$dir/"
  for s in "$@"; do cp -r "$src/data/Skins/$s" "$dir/Skins/"; done
}

# ---- Building the program puts the data beside it; a first run shows the default skin ----
# The way the README runs the clock: build the morvantis target alone, then start it.
rm -rf "$bin/Skins" "$bin/wave" "$bin/alarm.wav" "$bin/docs"
cmake --build "$bin" --target morvantis >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build failed"; }
for f in "Skins/Digital Age/base.gif" wave/time.WAV alarm.wav docs/skins.html; do
  [ -f "$bin/$f" ] || fail "building the program left no $f beside it"
done
start_clock "$bin/morvantis" "$work/first"
shoot_face "$work/face.png"
expect_digital_age "$bin"
stop_clock
[ ! -e "$work/first/Morvantis/Morvantis.conf" ] || fail "a run without the exit button saved settings"
pass "the morvantis target brings its data; the first run shows Digital Age"

# ---- Start-up exits end the process with status 1 once the message is confirmed ----
program_with "$work/empty"
start_clock "$work/empty/morvantis" "$work/home-empty"
confirm "No skin to set"
status=0; wait_exit 10 || status=$?
[ "$status" = 1 ] || fail "no skin: the program did not end with status 1 (status $status)"
[ ! -e "$work/home-empty/Morvantis/Morvantis.conf" ] || fail "no skin: settings were saved"
pass "an empty Skins folder: the message, then the program ends with status 1"

program_with "$work/broken" "Digital Age" "Amber Glow"
rm "$work/broken/Skins/Digital Age/lcd.gif"
mkdir -p "$work/home-broken/Morvantis"
printf '[StartUp]\nThemeNo=1\n' >"$work/home-broken/Morvantis/Morvantis.conf"
cp "$work/home-broken/Morvantis/Morvantis.conf" "$work/conf-before"
start_clock "$work/broken/morvantis" "$work/home-broken"
confirm "Error Loading Sking"
status=0; wait_exit 10 || status=$?
[ "$status" = 1 ] || fail "broken default skin: the program did not end with status 1 (status $status)"
cmp -s "$work/conf-before" "$work/home-broken/Morvantis/Morvantis.conf" || fail "broken default: settings changed"
pass "a broken Digital Age: the message, then the program ends with status 1"

# ---- One skin installed: it is shown ----
program_with "$work/solo" "Digital Age"
start_clock "$work/solo/morvantis" "$work/home-solo"
shoot_face "$work/face.png"
expect_digital_age "$work/solo"
[ "$(count_windows 'No skin to set')" = 0 ] || fail "one skin: the no-skin message appeared"
stop_clock
pass "a Skins folder holding only Digital Age starts and shows it"

# ---- The chooser closes; switching skins draws each skin as a fresh start does ----
mapfile -t shipped < <(ls "$bin/Skins")
for i in "${!shipped[@]}"; do
  mkdir -p "$work/ref$i/Morvantis"
  printf '[StartUp]\nThemeNo=%d\n' "$i" >"$work/ref$i/Morvantis/Morvantis.conf"
  start_clock "$bin/morvantis" "$work/ref$i"
  shoot_face "$work/ref$i.png"
  stop_clock
done

mkdir -p "$work/switch/Morvantis"
printf '[StartUp]\nThemeNo=0\n' >"$work/switch/Morvantis/Morvantis.conf"
# Freed memory handed out again at once, as without the sanitizer: a switch reuses addresses.
asan=$ASAN_OPTIONS
export ASAN_OPTIONS="$asan:quarantine_size_mb=0:thread_local_quarantine_size_kb=0"
start_clock "$bin/morvantis" "$work/switch"
export ASAN_OPTIONS=$asan
wid=$(wait_window Main) || fail "the clock did not start"
eval "$(xdotool getwindowgeometry --shell "$wid")"
skins_button() { xdotool mousemove $((X + 509)) $((Y + 39)) click 1; }
skins_button
chooser=$(wait_window "Select Skin") || fail "SKINS opened no chooser"
xdotool windowfocus --sync "$chooser" 2>/dev/null || true
xdotool key Escape
sleep 0.5
[ "$(count_windows 'Select Skin')" = 0 ] || fail "Escape left the chooser on screen"
skins_button
chooser=$(wait_window "Select Skin") || fail "SKINS after Escape opened no chooser"
sleep 0.3
[ "$(count_windows 'Select Skin')" = 1 ] || fail "SKINS after Escape gives $(count_windows 'Select Skin') choosers"
pass "Escape closes the chooser; SKINS opens exactly one again"

xdotool windowmove --sync "$chooser" 640 420 2>/dev/null || xdotool windowmove "$chooser" 640 420
for i in "${!shipped[@]}"; do
  if [ "$i" -gt 0 ]; then
    xdotool windowfocus --sync "$chooser" 2>/dev/null || true
    xdotool key Down
  fi
  shoot_face "$work/now.png"
  same_picture "$work/now.png" "$work/ref$i.png" ||
    fail "after switching to ${shipped[$i]} the face differs from a fresh start with it"
done
stop_clock
pass "switching through the ${#shipped[@]} shipped skins draws each as a fresh start does"

echo "$passed passed, 0 failed"
