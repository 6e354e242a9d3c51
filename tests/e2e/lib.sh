# Shared by the end-to-end scripts: a temporary folder, a display of our own (Xvfb),
# libfaketime, the settings file in a temporary XDG_CONFIG_HOME, and the face check.
# The caller sets clock_exe (the program to start) and, before expect_at, skin, ox, oy
# and a screenshot in $work/shot.png.
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
    "$clock_exe" >"$work/clock.log" 2>&1 &
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

# The face at Sunday 23 September 2001, 13:45:07 in 12-hour style: 1:45:07 PM, 09 23 SUN 2001.
expect_face_134507() {
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
}
