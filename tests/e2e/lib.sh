# Shared by the end-to-end scripts: a temporary folder cleaned up on exit, a display of our
# own (Xvfb), libfaketime, a sound server of our own (PulseAudio), the program folder, the
# settings file in a temporary XDG_CONFIG_HOME, and the face check.
# The caller sets exe and src (for program_with), clock_exe (the program to start) and, before
# expect_at, skin, ox, oy and a screenshot in $work/shot.png. With fail_shows_clock_log=yes a
# failure also prints the program's output.
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -f "$work/run/pulse/pid" ] && kill "$(cat "$work/run/pulse/pid")" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  [ "${fail_shows_clock_log:-}" = yes ] && [ -f "$work/clock.log" ] && cat "$work/clock.log"
  exit 1
}
pass() { echo "ok: $*"; passed=$((passed + 1)); }
passed=0

export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0:detect_leaks=0"
export XDG_RUNTIME_DIR="$work/run"; mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# Waits for a condition: runs the command every tenth of a second until it succeeds, for at
# most the given seconds (fractions too). Status 1 when the time ran out.
deadline_after() { echo $(($(date +%s%3N) + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }'))); } # seconds -> ms
poll() { # seconds command...
  local deadline
  deadline=$(deadline_after "$1")
  shift
  until "$@"; do
    [ "$(date +%s%3N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
# A check holds all along: runs the command every tenth of a second for the given seconds and
# fails at its first failure. For what must not happen, where there is no event to wait for.
holds() { # seconds command...
  local deadline
  deadline=$(deadline_after "$1")
  shift
  while "$@"; do
    [ "$(date +%s%3N)" -lt "$deadline" ] || return 0
    sleep 0.1
  done
  return 1
}
# A new screenshot in $work/shot.png passes the check. The check runs in a subshell, so that
# its fail only answers no; run it again after the poll for its message.
shows() { # check...
  import -window root "$work/shot.png" && ("$@") >/dev/null 2>&1
}
# The window has been painted: it shows more than the one colour of a bare window.
drawn() { # window id
  local colours
  colours=$(import -window "$1" miff:- 2>/dev/null | identify -format %k - 2>/dev/null) &&
    [ "${colours:-0}" -gt 1 ]
}
visible() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; } # window name
gone() { ! visible "$1"; } # window name
wait_gone() { poll "${2:-5}" gone "$1"; } # window name [seconds]
clock_windows() { xdotool search --onlyvisible --pid "$clock_pid" 2>/dev/null | wc -l; }
more_windows() { [ "$(clock_windows)" -gt "$1" ]; } # than the given count: a menu has opened
at_origin() { [ "$(window_origin "$1")" = "$2" ]; } # window id, "x y"

need_faketime() {
  faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
  [ -n "$faketime_lib" ] || fail "libfaketime is not installed"
}

# A display of our own; -noreset so that back-to-back clients do not race a server reset.
start_display() {
  exec 3<> "$work/displayfd"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/displayfd")"
  [ "$DISPLAY" != ":" ] || fail "Xvfb did not start"
}

# A sound server of our own on the private runtime folder, its null sink the default.
# Fails (status 1, the reason in $work/pulse.log) when PulseAudio cannot start.
start_sound_server() {
  export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse" PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  HOME="$work" XDG_CONFIG_HOME="$work/pulse-config" pulseaudio --daemonize=yes --exit-idle-time=-1 \
    --disallow-exit -n --use-pid-file=yes -L module-native-protocol-unix \
    -L "module-null-sink sink_name=testsink rate=44100 channels=2 norewinds=1" >"$work/pulse.log" 2>&1 || return 1
  pactl set-default-sink testsink || fail "pactl cannot reach our PulseAudio"
}
record() { # file: records the sink until stop_recording
  parec --raw --format=s16le --rate=44100 --channels=2 --latency-msec=10 -d testsink.monitor >"$1" &
  rec_pid=$!
  pids+=($rec_pid)
  # The monitor streams silence too: the first bytes show the recorder connected. The recording
  # began as long ago as the bytes written so far last (176400 a second).
  poll 10 test -s "$1" || fail "parec recorded nothing"
  rec_start=$(awk -v n="$(date +%s.%N)" -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.3f", n - b / 176400 }')
}
# The recording holds a sound, and has been quiet for the given seconds since its last one ended.
quiet_after_sound() { # recording seconds
  local ended
  ended=$(last_sound_end "$1")
  [ -n "$ended" ] && awk -v e="$ended" -v q="$2" -v n="$(date +%s.%N)" 'BEGIN { exit !(n - e >= q) }'
}
stop_recording() { kill "$rec_pid"; wait "$rec_pid" 2>/dev/null || true; }
wave_ms() { # file [decimals]: length of a wave file in ms, from its header: rate, block size and data chunk
  local f=$1 rate align pos size
  rate=$(od -An -t u4 -j 24 -N 4 "$f" | tr -d ' ')
  align=$(od -An -t u2 -j 32 -N 2 "$f" | tr -d ' ')
  pos=$(grep -bao data "$f" | head -n1 | cut -d: -f1)
  size=$(od -An -t u4 -j $((pos + 4)) -N 4 "$f" | tr -d ' ')
  awk -v s="$size" -v a="$align" -v r="$rate" -v d="${2:-1}" 'BEGIN { printf "%.*f", d, 1000 * s / a / r }'
}

# A program folder of its own: $exe beside the given skins of the source tree.
program_with() { # folder, skins...
  local dir=$1; shift
  mkdir -p "$dir/Skins"
  cp "$exe" "$dir/morvantis"
  for s in "$@"; do cp -r "$src/data/Skins/$s" "$dir/Skins/"; done
}
with_sounds() { cp -r "$src/data/wave" "$src/data/alarm.wav" "$1/"; } # program folder

settings_file() { echo "$1/Morvantis/Morvantis.conf"; }
write_settings() { # config-home, lines...
  local home=$1; shift
  mkdir -p "$home/Morvantis"
  { echo "[StartUp]"; printf '%s\n' "$@"; } >"$(settings_file "$home")"
}
launch_clock() { # config-home, environment (NAME=value)...
  local home=$1; shift
  mkdir -p "$home"
  env XDG_CONFIG_HOME="$home" "$@" "$clock_exe" >"$work/clock.log" 2>&1 &
  clock_pid=$!
  pids+=($clock_pid)
}
start_clock() { # config-home, frozen instant (or "@instant": running on from there)
  launch_clock "$1" FAKETIME="$2" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib"
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
wait_exit() { # seconds
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$clock_pid" 2>/dev/null || { wait "$clock_pid"; return $?; }
    sleep 0.1
  done
  return 124
}
stop_clock() { kill -TERM "$clock_pid" 2>/dev/null || fail "the program ended before it was stopped"; wait_exit 5 || true; }

picture_diff() { compare -metric AE -fuzz "${3:-0%}" "$1" "$2" null: 2>&1 || true; } # a b [fuzz]
same_picture() { # a b [fuzz]
  local diff
  diff=$(picture_diff "$@")
  [ "${diff%% *}" = 0 ]
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
  diff=$(picture_diff "$work/got.png" "$out" 3%)
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

# A wave file of a steady 441 Hz square tone, 16-bit stereo at 44.1 kHz, for the given seconds.
make_tone() { # file seconds
  local file=$1 bytes=$(($2 * 44100 * 4)) chunk="$work/tone.chunk"
  le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
  { for _ in $(seq 50); do printf '\x00\x20\x00\x20'; done; for _ in $(seq 50); do printf '\x00\xe0\x00\xe0'; done; } >"$chunk"
  while [ "$(stat -c %s "$chunk")" -lt "$bytes" ]; do cat "$chunk" "$chunk" >"$chunk.2" && mv "$chunk.2" "$chunk"; done
  { printf 'RIFF'; printf "$(le32 $((36 + bytes)))"; printf 'WAVEfmt '; printf "$(le32 16)"
    printf '\x01\x00\x02\x00'; printf "$(le32 44100)"; printf "$(le32 176400)"; printf '\x04\x00\x10\x00'
    printf 'data'; printf "$(le32 "$bytes")"; head -c "$bytes" "$chunk"; } >"$file"
  rm -f "$chunk"
}
heard() { [ -n "$("$segments" "$1")" ]; } # recording: it holds a sound
# When the last sound of a recording ended, in seconds since the epoch (empty: no sound).
last_sound_end() { # recording
  "$segments" "$1" | tail -n1 | awk -v s="$rec_start" 'NF { printf "%.3f", s + ($1 + $2) / 1000 }'
}
