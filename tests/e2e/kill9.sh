#!/usr/bin/env bash
# Crash-safe saves: the real program is started, EXIT is pressed and the process is killed
# with SIGKILL at a random moment of the save, again and again. Each time the settings file
# must be the whole old file or the whole new one: every key, never torn, never empty.
# Usage: kill9.sh morvantis-executable source-dir [rounds]
set -euo pipefail
exe=$1
src=$2
rounds=${3:-100}
source "$(dirname "$0")/lib.sh"
start_display

prog="$work/prog"
program_with "$prog" "Digital Age"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Morvantis"
dir="$XDG_CONFIG_HOME/Morvantis"
conf="$dir/Morvantis.conf"

# The old file: the 35 keys a store held before the menu's check items, as a user may have
# written them (other spellings, numbers for truth values), so that the program's save differs
# from it in every line.
cat >"$work/old.conf" <<'OLD'
[StartUp]
left=1500
top=1500.0
showsec=1
showmonth=1
showday=1
showdate=1
showyear=1
skinpath=/nowhere/skins
24hours=0
alarmpath=/nowhere/alarm.wav
soundpath=/nowhere/alarm.wav
theme=Digital
defaultalarm=1
defaultsound=1
shakespeed=+5
musichour=7
musicmin=30
musicsec=0
musicday=Monday
musiccustom=wake up
musicmonth=September
musicyear=2001
musiccustombol=0
musicampm=AM
musicmessage=0
musicbolshake=0
hourlyplay=0
lighton=0
greensign=0
yellowsign=0
redsign=0
themepath=/nowhere/Skins/Digital Age
themeno=0
blink=1
path=/nowhere
OLD
old=$(<"$work/old.conf")

# A fifo nobody writes: `read -t` on it is a sleep of microseconds without a new process.
mkfifo "$work/never"
exec 9<>"$work/never"
pause() { read -r -t "$1" -u 9 _ || true; }

start() {
  cp "$work/old.conf" "$conf"
  "$prog/morvantis" >"$work/clock.log" 2>&1 &
  clock_pid=$!
  pids+=($clock_pid)
  wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock window did not appear"; }
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  xdotool mousemove $((X + 467 + 42)) $((Y + 167 + 11))
  # The window is mapped before its first frame is painted.
  poll 5 drawn "$wid" || fail "the clock was never drawn"
}
# The click goes out in the background: xdotool itself takes longer than the save.
press_exit() {
  xdotool click 1 &
  click_pid=$!
}
# Running, not merely unreaped: kill -0 succeeds on a zombie, and a save can come and go
# between two looks at its lock.
alive() {
  local state
  read -r _ _ state _ 2>/dev/null <"/proc/$clock_pid/stat" || return 1
  [ "$state" != Z ]
}
lock_seen() { [ -e "$conf.lock" ] || ! alive; }
lock_gone() { [ ! -e "$conf.lock" ] || ! alive; }
# Busy-waits for a condition, for 10 s at most.
spin_until() {
  local limit=$((SECONDS + 10))
  until "$1"; do ((SECONDS < limit)) || fail "waited 10 s for $1"; done
}
whole_keys() { grep -cE '^[A-Za-z0-9]+=' "$1" || true; }

# One save to the end: the new file, when the save takes its lock after the click and how
# long it holds it (a save writes a temporary file and renames it over the old one).
start
t0=$(date +%s%N)
press_exit
spin_until lock_seen
t1=$(date +%s%N)
spin_until lock_gone
t2=$(date +%s%N)
wait "$clock_pid" || fail "the program did not end with status 0"
wait "$click_pid" || true
new=$(<"$conf")
[ "$new" != "$old" ] || fail "the save did not change the file"
[ "$(whole_keys "$conf")" = 39 ] || { cat "$conf"; fail "the save wrote $(whole_keys "$conf") keys, not 39"; }
lead=$(((t1 - t0) / 1000)) span=$(((t2 - t1) / 1000))
echo "the save took its lock $lead us after the click and held it $span us"
delay() { awk -v r=$RANDOM -v us="$1" 'BEGIN {printf "%.6f", r / 32767 * us / 1e6}'; }
# From a thousandth of the span to all of it, evenly on a log scale: the short steps of a
# save (the temporary file, its flush, the rename, the unlock) each get their share.
log_delay() { awk -v r=$RANDOM -v us="$1" 'BEGIN {printf "%.6f", us * 10 ^ (-3 * r / 32767) / 1e6}'; }

olds=0 news=0 mid=0
for i in $(seq "$rounds"); do
  start
  # Odd rounds kill at a random moment from the click to past the save's end, even rounds
  # at a random moment after the save took its lock, so that many land inside the save.
  if ((i % 2)); then
    d=$(delay $((lead + span)))
    press_exit
    pause "$d"
  else
    d=$(log_delay "$span")
    press_exit
    spin_until lock_seen
    pause "$d"
  fi
  kill -9 "$clock_pid" 2>/dev/null || true
  wait "$clock_pid" "$click_pid" 2>/dev/null || true
  got=$(<"$conf")
  [ -e "$conf.lock" ] && mid=$((mid + 1))
  [ -n "${KILL9_TRACE:-}" ] && echo "round $i delay $d lock $([ -e "$conf.lock" ] && echo left || echo none) $([ "$(<"$conf")" = "$old" ] && echo old || echo new)"
  if [ "$got" = "$old" ]; then
    olds=$((olds + 1))
  elif [ "$got" = "$new" ]; then
    news=$((news + 1))
  else
    echo "--- round $i left:"; cat "$conf"; fail "the settings file is neither the old nor the new file"
  fi
  find "$dir" -mindepth 1 ! -name Morvantis.conf -delete
done
echo "ok: $rounds of $rounds files whole ($olds old, $news new; $mid of them inside the save, its lock left behind)"
