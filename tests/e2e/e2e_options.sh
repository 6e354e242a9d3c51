#!/usr/bin/env bash
# The options dialog on the real program: a real X display (Xvfb), a real settings file in a
# temporary XDG_CONFIG_HOME and the clock set with libfaketime.
set -euo pipefail
exe=$1
src=$2
fail_shows_clock_log=yes
source "$(dirname "$0")/lib.sh"
need_faketime
start_display

prog="$work/prog"
program_with "$prog" "Digital Age"
cp "$src/data/alarm.wav" "$prog/"
skin="$prog/Skins/Digital Age"
clock_exe="$prog/morvantis"

home="$work/home"
conf=$(settings_file "$home")
# The clock at the top of the screen, its year clear of the dialog centred below.
write_settings "$home" "ThemeNo=0" "Left=1500" "Top=0"
start_clock "$home" "2001-09-23 13:45:07"

# What the year's units digit shows (face 403,142, 16x22): the skin's 1 or the bare panel.
year_is() { # 1s.gif | blank
  import -window root "$work/shot.png"
  if [ "$1" = blank ]; then
    convert "$skin/lcd.gif" -crop "16x22+$((403 - 142))+$((142 - 41))" +repage "$work/want.png"
  else
    convert "$skin/lcd.gif" -crop "16x22+$((403 - 142))+$((142 - 41))" +repage "$skin/$1" -composite "$work/want.png"
  fi
  convert "$work/shot.png" -crop "16x22+$((ox + 403))+$((oy + 142))" +repage "$work/got.png"
  same_picture "$work/got.png" "$work/want.png" 3%
}

wid=$(wait_window Main) || fail "the clock window did not appear"
read -r ox oy <<<"$(window_origin "$wid")"
poll 10 year_is 1s.gif || fail "the year is not on the face at start"

# The face's OPTIONS button (375, 2280 twips: 25, 152 pixels, 85 x 22).
xdotool mousemove $((ox + 67)) $((oy + 163)) click 1
did=$(wait_window Options) || fail "the options dialog did not open"
xdotool windowfocus --sync "$did" 2>/dev/null || true
xdotool key alt+y
poll 5 year_is blank || fail "Alt+Y did not take the year off the face"
pass "the options open from the face; Alt+Y clears Show Year and the year goes at once"

# Show Year (which Alt+Y has focused) toggled by Space 20 times at random moments of the second:
# each change is on screen within 0.2 s, though the clock's tick sleeps to the next second.
delays=$(python3 "$(dirname "$0")/face_delay.py" $((ox + 403)) $((oy + 142)) 16 22 $(printf 'space %.0s' $(seq 20)))
sorted=$(sort -n <<<"$delays")
[ "$(grep -cx '[0-9]*' <<<"$sorted")" = 20 ] && [ "$(tail -n1 <<<"$sorted")" -lt 200 ] ||
  fail "the year took too long to follow Show Year (ms): $(echo $delays)"
holds 0.3 year_is blank || fail "the year is back after an even number of toggles"
median=$(awk 'NR == 10 || NR == 11 { s += $1 } END { print s / 2 }' <<<"$sorted")
pass "Show Year toggled 20 times at random moments: on screen after $median ms (median), $(tail -n1 <<<"$sorted") ms at most"

# Cancel (Escape) brings the face back to the settings at once too.
cancel=$(python3 "$(dirname "$0")/face_delay.py" $((ox + 403)) $((oy + 142)) 16 22 Escape)
[ "$cancel" != none ] && [ "$cancel" -lt 200 ] || fail "Cancel brought the year back after $cancel ms"
wait_gone Options || fail "Escape did not close the dialog"
poll 5 year_is 1s.gif || fail "Cancel did not bring the year back"
pass "Cancel brings the year back in $cancel ms"

xdotool mousemove $((ox + 67)) $((oy + 163)) click 1
did=$(wait_window Options) || fail "the options dialog did not open again"
xdotool windowfocus --sync "$did" 2>/dev/null || true
xdotool key alt+y
poll 5 year_is blank || fail "Alt+Y did not take the year off the face"

# OK (4080, 3495 twips: 272, 233 pixels, 73 x 25), then EXIT.
read -r dx dy <<<"$(window_origin "$did")"
xdotool mousemove $((dx + 308)) $((dy + 245)) click 1
wait_gone Options || fail "OK did not close the dialog"
# Nothing to wait for when nothing should change: the year stays off while OK's changes land.
holds 0.3 year_is blank || fail "the year came back after OK"
xdotool mousemove $((ox + 467 + 42)) $((oy + 167 + 11)) click 1
wait_exit 20 || fail "the exit button did not end the program (status $?)"
grep -qx 'ShowYear=False' "$conf" || { cat "$conf"; fail "ShowYear=False was not saved"; }
grep -qx 'ShowSec=True' "$conf" || { cat "$conf"; fail "ShowSec changed"; }
pass "OK keeps the year off; EXIT saves ShowYear=False"
