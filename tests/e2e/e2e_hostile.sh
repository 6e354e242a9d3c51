#!/usr/bin/env bash
# End-to-end: the program where its surroundings are hostile or missing. A real X display
# (Xvfb), a real settings folder and a skin that tries to shrink the window away.
set -euo pipefail
exe=$1
src=$2
source "$(dirname "$0")/lib.sh"

prog="$work/prog"
program_with "$prog" "Digital Age"
cp -r "$src/data/Skins/Digital Age" "$prog/Skins/Strip"
clock_exe="$prog/morvantis"
# A background transparent but for a strip 5 pixels high: the window's shape would be that strip.
convert -size 575x240 xc:none -fill '#202020' -draw 'rectangle 0,0 574,4' "$prog/Skins/Strip/base.gif"
# List order: Digital Age (0), Strip (1).

# ---- 1. No display: one plain line and status 1, not an abort ----
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work/none" \
  "$prog/morvantis" >"$work/out.log" 2>"$work/err.log" || status=$?
[ "$status" = 1 ] || { cat "$work/err.log"; fail "without a display the status is $status, not 1"; }
[ "$(wc -l <"$work/err.log")" = 1 ] || { cat "$work/err.log"; fail "not one line on stderr"; }
grep -q '^morvantis: no usable display' "$work/err.log" || { cat "$work/err.log"; fail "no clear message"; }
pass "without a display: one line on stderr, status 1"

start_display

click_exit() { # the EXIT button's middle, the window at 100,100
  xdotool mousemove $((100 + 467 + 42)) $((100 + 167 + 11)) click 1
}

# ---- 2. A skin cannot take the buttons away: EXIT still ends the program ----
write_settings "$work/home1" "ThemeNo=1" "Left=1500" "Top=1500"
launch_clock "$work/home1"
wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock did not appear"; }
poll 10 drawn "$wid" || fail "the clock was never drawn"
click_exit
wait_exit 20 || fail "EXIT could not be reached on a skin with a transparent background (status $?)"
grep -qx 'ThemeNo=1' "$work/home1/Morvantis/Morvantis.conf" || fail "nothing saved"
pass "a transparent background keeps EXIT within the window"

# ---- 3. A save that fails is shown, and the program ends with status 1 ----
save_fails() { # home, how to break the save, the reason expected
  local home=$1 breakit=$2 reason=$3 conf="$1/Morvantis/Morvantis.conf"
  write_settings "$home" "ThemeNo=0" "Left=1500" "Top=1500"
  launch_clock "$home"
  wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock did not appear"; }
  poll 10 drawn "$wid" || fail "the clock was never drawn"
  eval "$breakit"
  click_exit
  box=$(wait_window Morvantis) || { cat "$work/clock.log"; fail "no message about the failed save"; }
  kill -0 "$clock_pid" || fail "the program ended before the user saw the message"
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key Return
  status=0
  wait_exit 10 || status=$?
  [ "$status" = 1 ] || fail "a failed save ended with status $status, not 1"
  grep -qF "Settings could not be saved to $conf: $reason" "$work/clock.log" ||
    { cat "$work/clock.log"; fail "the reason was not given"; }
}
save_fails "$work/home2" 'rm "$conf" && mkdir "$conf"' "Is a directory"
save_fails "$work/home3" 'mkdir "$conf.lock"' "its lock file $work/home3/Morvantis/Morvantis.conf.lock is not a file"
pass "a failed save (the file a folder, a lock that is a folder) shows its message and ends with status 1"

# ---- 4. The session's end saves too; when that fails, stderr says why, no box waits, status 1 ----
home="$work/home4" conf="$work/home4/Morvantis/Morvantis.conf"
write_settings "$home" "ThemeNo=0" "Left=1500" "Top=1500"
launch_clock "$home"
wait_window Main >/dev/null || { cat "$work/clock.log"; fail "the clock did not appear"; }
rm "$conf" && mkdir "$conf"
kill -TERM "$clock_pid"
status=0
wait_exit 5 || status=$?
[ "$status" = 1 ] || fail "a failed save at SIGTERM ended with status $status, not 1"
grep -qF "Settings could not be saved to $conf: Is a directory" "$work/clock.log" ||
  { cat "$work/clock.log"; fail "SIGTERM: the reason was not given"; }
pass "SIGTERM with a save that fails: the reason on stderr, status 1, no message box"

echo "$passed passed, 0 failed"
