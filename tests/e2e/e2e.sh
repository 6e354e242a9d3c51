#!/usr/bin/env bash
# End-to-end scenarios on the real program: a real X display (Xvfb), a real settings
# file in a temporary XDG_CONFIG_HOME and the clock set with libfaketime.
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

fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; passed=$((passed + 1)); }
passed=0

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$faketime_lib" ] || fail "libfaketime is not installed"

# A display of our own; -noreset so that back-to-back clients do not race a server reset.
exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")"
[ "$DISPLAY" != ":" ] || fail "Xvfb did not start"

# A program folder of our own: the program reads its skins beside itself.
prog="$work/prog"
mkdir -p "$prog/Skins"
cp "$exe" "$prog/morvantis"
cp -r "$src/data/Skins/Digital Age" "$prog/Skins/"
cp -r "$src/data/Skins/Digital Age" "$prog/Skins/Broken"
rm "$prog/Skins/Broken/7s.gif"
cp -r "$src/data/wave" "$src/data/alarm.wav" "$prog/"
skin="$prog/Skins/Digital Age"
# List order: Broken (0), Digital Age (1).

export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0:detect_leaks=0"
export XDG_RUNTIME_DIR="$work/run"; mkdir -p -m 700 "$XDG_RUNTIME_DIR"

settings_file() { echo "$1/Morvantis/Morvantis.conf"; }
write_settings() { # config-home, lines...
  local home=$1; shift
  mkdir -p "$home/Morvantis"
  { echo "[StartUp]"; printf '%s\n' "$@"; } >"$(settings_file "$home")"
}
start_clock() { # config-home, frozen instant
  XDG_CONFIG_HOME=$1 FAKETIME="$2" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib" \
    "$prog/morvantis" >"$work/clock.log" 2>&1 &
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
window_origin() { # window id -> "x y"
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y"
}
wait_exit() { # seconds
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$clock_pid" 2>/dev/null || { wait "$clock_pid"; return $?; }
    sleep 0.1
  done
  return 124
}

# What the face shows at a place: the panel with the skin's picture over it, or the panel alone.
expect_at() { # x y w h picture-or-blank (face coordinates)
  local x=$1 y=$2 w=$3 h=$4 pic=$5 out
  out="$work/expect.png"
  if [ "$pic" = blank ]; then
    convert "$skin/lcd.gif" -crop "${w}x${h}+$((x - 142))+$((y - 41))" +repage "$out"
  else
    convert "$skin/lcd.gif" -crop "${w}x${h}+$((x - 142))+$((y - 41))" +repage "$skin/$pic" -composite "$out"
  fi
  convert "$work/shot.png" -crop "${w}x${h}+$((ox + x))+$((oy + y))" +repage "$work/got.png"
  local diff
  diff=$(compare -metric AE -fuzz 3% "$work/got.png" "$out" null: 2>&1 || true)
  [ "${diff%% *}" = 0 ] || fail "at $x,$y expected $pic, $diff pixels differ"
}

# ---- 0. The command line needs no display ----
v=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prog/morvantis" --version)
[ "$v" = "Morvantis 2.0" ] || fail "--version printed '$v'"
env -u DISPLAY "$prog/morvantis" --help | grep -q -- '--version' || fail "--help lists no options"
pass "--version and --help answer without a display"

# ---- 1. Sunday 23 September 2001, 13:45:07 in the default skin, 12-hour style ----
home1="$work/home1"
write_settings "$home1" "ThemeNo=1" "24Hours=False" "Left=1500" "Top=1500" "MusicCustom=Wake up,now"
start_clock "$home1" "2001-09-23 13:45:07"
wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock window did not appear"; }
sleep 0.5
read -r ox oy <<<"$(window_origin "$wid")"
[ "$ox $oy" = "100 100" ] || fail "window at $ox,$oy, not at the stored 100,100"
import -window root "$work/shot.png"
expect_at 178 70 33 47 blank   # hour tens: blank
expect_at 211 70 33 47 1.gif
expect_at 259 70 33 47 4.gif
expect_at 292 70 33 47 5.gif
expect_at 340 70 33 47 0.gif
expect_at 373 70 33 47 7.gif
expect_at 152 108 19 10 pm.gif
expect_at 152 94 19 10 blank
expect_at 150 142 16 22 blank  # month tens
expect_at 167 142 16 22 9s.gif
expect_at 210 142 16 22 2s.gif
expect_at 225 142 16 22 3s.gif
expect_at 279 142 49 22 sun.gif
expect_at 353 142 16 22 2s.gif
expect_at 369 142 16 22 0s.gif
expect_at 386 142 16 22 0s.gif
expect_at 403 142 16 22 1s.gif
pass "the face shows 1:45:07 PM, 09 23 SUN 2001 in Digital Age"

# ---- 2. Dragging the bezel moves the window; the exit button saves all keys and ends ----
xdotool mousemove $((ox + 8)) $((oy + 120)) mousedown 1
xdotool mousemove $((ox + 28)) $((oy + 130))
xdotool mousemove $((ox + 48)) $((oy + 140)) mouseup 1
sleep 0.3
read -r nx ny <<<"$(window_origin "$wid")"
[ "$nx $ny" = "140 120" ] || fail "dragging left the window at $nx,$ny, not 140,120"
pass "dragging the bezel moves the window"
xdotool mousemove $((nx + 467 + 42)) $((ny + 167 + 11)) click 1
wait_exit 20 || fail "the exit button did not end the program (status $?)"
conf=$(settings_file "$home1")
keys=$(grep -cE '^[A-Za-z0-9]+=' "$conf")
[ "$keys" = 35 ] || { cat "$conf"; fail "the settings file holds $keys keys, not 35"; }
grep -qx 'Left=2100' "$conf" && grep -qx 'Top=1800' "$conf" || { cat "$conf"; fail "position not saved"; }
grep -qx 'ThemeNo=1' "$conf" && grep -qx '24Hours=false\|24Hours=False' "$conf" || { cat "$conf"; fail "values not kept"; }
grep -qx 'MusicCustom="Wake up,now"' "$conf" || { cat "$conf"; fail "a hand-written comma did not come back as written"; }
pass "the exit button writes the 35 keys and ends with status 0"

# ---- 3. Started again, the window is where it was left ----
start_clock "$home1" "2001-09-23 13:45:07"
wid=$(wait_window Main) || fail "the clock did not start again"
read -r ax ay <<<"$(window_origin "$wid")"
[ "$ax $ay" = "140 120" ] || fail "restarted at $ax,$ay, not 140,120"
kill -TERM "$clock_pid"
wait_exit 20 || fail "SIGTERM did not end the program cleanly (status $?)"
pass "the window comes back where it was; SIGTERM ends the program with status 0"

# ---- 4. A broken skin: the message, then the default skin ----
home2="$work/home2"
write_settings "$home2" "ThemeNo=0" "Left=1500" "Top=1500"
start_clock "$home2" "2001-09-23 13:45:07"
box=$(wait_window "Error Loading Sking") || { cat "$work/clock.log"; fail "no skin error message"; }
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key Return
wid=$(wait_window Main) || fail "the clock did not appear after the message"
sleep 0.5
read -r ox oy <<<"$(window_origin "$wid")"
import -window root "$work/shot.png"
expect_at 373 70 33 47 7.gif
expect_at 225 142 16 22 3s.gif
pass "a broken skin shows the message and falls back to Digital Age"
kill -TERM "$clock_pid"; wait_exit 20 || true
conf=$(settings_file "$home2")
grep -qx 'ThemeNo=0' "$conf" || fail "the settings file changed without the exit button"

echo "$passed passed, 0 failed"
