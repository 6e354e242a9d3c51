#!/usr/bin/env bash
# End-to-end scenarios on the real program: a real X display (Xvfb), a real settings
# file in a temporary XDG_CONFIG_HOME and the clock set with libfaketime.
set -euo pipefail
exe=$1
src=$2
source "$(dirname "$0")/lib.sh"
need_faketime
start_display

# A program folder of our own: the program reads its skins beside itself.
prog="$work/prog"
program_with "$prog" "Digital Age"
cp -r "$src/data/Skins/Digital Age" "$prog/Skins/Broken"
rm "$prog/Skins/Broken/7s.gif"
with_sounds "$prog"
skin="$prog/Skins/Digital Age"
# List order: Broken (0), Digital Age (1).

clock_exe="$prog/morvantis"

# ---- 0. The command line needs no display ----
v=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prog/morvantis" --version)
[ "$v" = "Morvantis ${MORVANTIS_VERSION:?}" ] || fail "--version printed '$v'"
env -u DISPLAY "$prog/morvantis" --help >"$work/help.txt"
grep -q -- '--version' "$work/help.txt" || fail "--help lists no options"
grep -q -- '^  -platform <name> ' "$work/help.txt" || { cat "$work/help.txt"; fail "--help does not list -platform"; }
pass "--version and --help (which lists -platform) answer without a display"

# ---- 1. Sunday 23 September 2001, 13:45:07 in the default skin, 12-hour style ----
home1="$work/home1"
write_settings "$home1" "ThemeNo=1" "24Hours=False" "Left=1500" "Top=1500" "MusicCustom=Wake up,now"
start_clock "$home1" "2001-09-23 13:45:07"
wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the clock window did not appear"; }
poll 5 at_origin "$wid" "100 100" || fail "window at $(window_origin "$wid"), not at the stored 100,100"
read -r ox oy <<<"$(window_origin "$wid")"
poll 10 shows expect_face_134507 || expect_face_134507
pass "the face shows 1:45:07 PM, 09 23 SUN 2001 in Digital Age"

# ---- 2. Dragging the bezel moves the window; the exit button saves all keys and ends ----
# Each step waited for: a motion read against where the X server still has the window (before
# it has carried out the last move, on a busy machine) would move it twice.
xdotool mousemove $((ox + 8)) $((oy + 120)) mousedown 1
xdotool mousemove $((ox + 28)) $((oy + 130))
poll 5 at_origin "$wid" "120 110" || fail "dragging halfway left the window at $(window_origin "$wid"), not 120,110"
xdotool mousemove $((ox + 48)) $((oy + 140)) mouseup 1
poll 5 at_origin "$wid" "140 120" || fail "dragging left the window at $(window_origin "$wid"), not 140,120"
read -r nx ny <<<"$(window_origin "$wid")"
pass "dragging the bezel moves the window"
xdotool mousemove $((nx + 467 + 42)) $((ny + 167 + 11)) click 1
wait_exit 20 || fail "the exit button did not end the program (status $?)"
conf=$(settings_file "$home1")
keys=$(grep -cE '^[A-Za-z0-9]+=' "$conf")
[ "$keys" = 39 ] || { cat "$conf"; fail "the settings file holds $keys keys, not 39"; }
grep -qx 'Left=2100' "$conf" && grep -qx 'Top=1800' "$conf" || { cat "$conf"; fail "position not saved"; }
grep -qx 'ThemeNo=1' "$conf" && grep -qx '24Hours=false\|24Hours=False' "$conf" || { cat "$conf"; fail "values not kept"; }
grep -qx 'MusicCustom="Wake up,now"' "$conf" || { cat "$conf"; fail "a hand-written comma did not come back as written"; }
pass "the exit button writes the 39 keys and ends with status 0"

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
read -r ox oy <<<"$(window_origin "$wid")"
fallback_face() {
  expect_at 373 70 33 47 7.gif
  expect_at 225 142 16 22 3s.gif
}
poll 10 shows fallback_face || fallback_face
pass "a broken skin shows the message and falls back to Digital Age"
kill -TERM "$clock_pid"; wait_exit 20 || true
conf=$(settings_file "$home2")
grep -qx 'ThemeNo=0' "$conf" || fail "the settings file changed without the exit button"

echo "$passed passed, 0 failed"
