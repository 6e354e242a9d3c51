#!/usr/bin/env bash
# The clock where users meet it: on a Wayland compositor driven by real input (weston), under
# GNOME's and KDE's compositors (mutter, KWin; headless, with their Xwayland) and under a window
# manager on X11 (openbox). One case per user path; every case runs, and the script fails if any
# of them failed.
# Usage: e2e_desktops.sh <morvantis> <source dir>
set -euo pipefail
exe=$1
src=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/desktops.sh"
need_faketime
export HOME="$work"
unset QT_QPA_PLATFORM XDG_SESSION_TYPE

prog="$work/prog"
program_with "$prog" "Digital Age"
with_sounds "$prog" # no player module beside it: alarms are silent and never hold the clock
skin="$prog/Skins/Digital Age"
clock_exe="$prog/morvantis"

# The program's clock, read from a file at every reading, as in the alarm's end-to-end script.
clock_file="$work/faketime"
set_clock() { # local date and time the clock shows from now on
  echo "$(($(date -d "$1" +%s) - $(date +%s)))s" >"$clock_file"
}
faked=(FAKETIME_TIMESTAMP_FILE="$clock_file" FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1
  LD_PRELOAD="$faketime_lib")

# Places on the face, in pixels: the middles of ALARM and EXIT, and a point of the bare case.
alarm_x=86 alarm_y=41 exit_x=509 exit_y=178 case_x=120 case_y=205

homes=0
new_home() { # settings lines...: a settings folder of its own in $home, its file in $conf
  homes=$((homes + 1))
  home="$work/home$homes"
  conf=$(settings_file "$home")
  write_settings "$home" "ThemeNo=0" "Left=1500" "Top=1500" "$@"
}
# An alarm for 7:05:00 PM on Friday 1 March 2002, armed; the clock starts a minute before it.
new_alarm_home() { # settings lines...
  new_home "LightOn=True" "ShakeSpeed=5" "MusicHour=7" "MusicMin=5" "MusicSec=0" "MusicAMPM=PM" \
    "MusicDay=Friday" "MusicMonth=March" "MusicYear=2002" "AlarmPath=$prog/alarm.wav" "$@"
  set_clock "2002-03-01 19:04:00"
}
light_setting() { grep '^LightOn=' "$conf" 2>/dev/null || echo "no LightOn"; }

# ---- Cases: each sets $why and returns 1 when the program fails it ----

# GNOME's compositor: the clock starts, its window is shown, and the session's SIGTERM ends it.
mutter_start_see_end() {
  local status=0
  new_home "LightOn=False"
  launch_clock "$home" QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1
  for _ in $(seq 150); do
    wl_log_shown "$work/clock.log" Main && break
    kill -0 "$clock_pid" 2>/dev/null || { why="the clock ended at start"; return 1; }
    sleep 0.1
  done
  wl_log_shown "$work/clock.log" Main || { why="mutter never showed the window \"Main\""; return 1; }
  kill -TERM "$clock_pid"
  wait_exit 1 || status=$?
  [ "$status" = 0 ] || { why="SIGTERM ended it with status $status (124: still running after 1 s)"; return 1; }
}

# weston: after the case is dragged, ALARM still opens the alarm dialog (and keys reach it).
weston_drag_then_alarm() {
  local g x y w h dx=-100 dy=-60 nx ny
  new_home "LightOn=False"
  launch_clock "$home" QT_QPA_PLATFORM=wayland
  g=$(wl_wait_window Main) || { why="the clock window did not appear"; return 1; }
  read -r x y w h <<<"$g"
  [ "$x" -ge 150 ] || dx=100
  [ "$y" -ge 150 ] || dy=60
  wl_drag $((x + case_x)) $((y + case_y)) $((x + case_x + dx)) $((y + case_y + dy)) Main
  read -r nx ny _ <<<"$(wl_geometry Main)"
  [ $((nx - x - dx)) -ge -3 ] && [ $((nx - x - dx)) -le 3 ] && [ $((ny - y - dy)) -ge -3 ] &&
    [ $((ny - y - dy)) -le 3 ] || { why="the drag by $dx,$dy moved the window from $x,$y to $nx,$ny"; return 1; }
  wl_click $((nx + alarm_x)) $((ny + alarm_y))
  wl_wait_window Alarm 50 >/dev/null || {
    why="after a drag ALARM opens no alarm dialog (the window dragged to $nx,$ny; after the click at $(wl_geometry Main | cut -d' ' -f1,2 | tr ' ' ,))"
    return 1
  }
  wl_key Escape
  wl_wait_gone Alarm || { why="Escape did not close the alarm dialog"; return 1; }
}

# weston: the alarm dialog's title-bar close button is Cancel: after EXIT the light is out.
weston_close_button() {
  local g x y status=0
  new_home "LightOn=False"
  launch_clock "$home" QT_QPA_PLATFORM=wayland
  g=$(wl_wait_window Main) || { why="the clock window did not appear"; return 1; }
  read -r x y _ <<<"$g"
  wl_click $((x + alarm_x)) $((y + alarm_y))
  wl_wait_window Alarm 50 >/dev/null || { why="ALARM opened no alarm dialog"; return 1; }
  wl_click_close Alarm
  wl_wait_gone Alarm || { why="the title bar's close button left the alarm dialog open"; return 1; }
  wl_click $((x + exit_x)) $((y + exit_y))
  wait_exit 20 || status=$?
  [ "$status" = 0 ] || { why="EXIT ended with status $status"; return 1; }
  [ "$(light_setting)" = LightOn=False ] || { why="after close button and EXIT the file holds $(light_setting)"; return 1; }
}

# weston: a native Wayland window can neither be kept on top nor put on every workspace: in the
# face menu those two items are disabled (their access keys do nothing), the others act.
wl_menu_open() { weston-debug scene-graph 2>/dev/null | grep -q 'role xdg_popup'; }
weston_menu_checks_disabled() {
  local g x y status=0
  new_home "LightOn=False"
  launch_clock "$home" QT_QPA_PLATFORM=wayland
  g=$(wl_wait_window Main) || { why="the clock window did not appear"; return 1; }
  read -r x y _ <<<"$g"
  xdotool mousemove $(wl_point $((x + case_x)) $((y + case_y))) click 3
  poll 5 wl_menu_open || { why="a right click on the case opened no menu"; return 1; }
  wl_key k w r
  poll 3 eval '! wl_menu_open' || { why="the menu stayed open after the access keys k, w and r"; return 1; }
  wl_click $((x + exit_x)) $((y + exit_y))
  wait_exit 20 || status=$?
  [ "$status" = 0 ] || { why="EXIT ended with status $status"; return 1; }
  grep -qx KeepOnTop=False "$conf" && grep -qx AllWorkspaces=False "$conf" && grep -qx RingUntilAnswered=True "$conf" ||
    { why="after k, w, r in the menu the file holds $(grep -E '^(KeepOnTop|AllWorkspaces|RingUntilAnswered)=' "$conf" | tr '\n' ' ')"; return 1; }
}

# weston: a window cannot place itself, so the case shakes inside its window, which stays where it
# is: the case goes round the square (13 pixels each way) and comes back, and what it uncovers is
# not painted black.
weston_shake_no_band() {
  local g x y w h nx ny crop crop_x crop_y frames found shaking outside banded example
  new_alarm_home "MusicBolShake=True"
  launch_clock "$home" QT_QPA_PLATFORM=wayland "${faked[@]}"
  g=$(wl_wait_window Main) || { why="the clock window did not appear"; return 1; }
  read -r x y w h <<<"$g"
  # The pointer away from the window, and a patch of the case no element covers to find the face by.
  if [ $((y + h + 40)) -lt "$weston_height" ]; then xdotool mousemove $(wl_point $((x + 20)) $((y + h + 40))); else
    xdotool mousemove $(wl_point $((x + 20)) $((y - 40))); fi
  convert "$skin/base.gif" -crop 80x24+240+195 +repage -alpha off -depth 8 ppm:"$work/patch.ppm"
  read -r crop_x crop_y <<<"$(wl_point "$x" "$y")"
  crop="${w}x$h+$crop_x+$crop_y"
  import -window root -crop "$crop" +repage -depth 8 ppm:"$work/rest.ppm"
  [ "$(python3 "$here/picture.py" find "$work/patch.ppm" 240 195 20 "$work/rest.ppm" | cut -d' ' -f2-)" = "0 0" ] ||
    { why="the face is not where weston says the window is"; return 1; }
  [ "$(python3 "$here/picture.py" bands "$weston_background" "$work/rest.ppm" | cut -d' ' -f2-)" = "0 0" ] ||
    { why="the face at rest already shows black bands"; return 1; }
  mkdir -p "$work/frames"
  rm -f "$work/frames.stop"
  (
    for i in $(seq -w 300); do
      [ -e "$work/frames.stop" ] && break
      import -window root -crop "$crop" +repage -depth 8 ppm:"$work/frames/$i.ppm"
    done
  ) &
  local capture=$!
  pids+=("$capture")
  set_clock "2002-03-01 19:04:58"
  # The shake ends with the light out, the case back in place.
  ox=$x oy=$y
  poll 15 lit_off || true
  touch "$work/frames.stop"
  wait "$capture" || true
  lit_off || { why="the light was not put out within 15 s of the alarm"; return 1; }
  read -r nx ny _ <<<"$(wl_geometry Main)"
  [ "$nx $ny" = "$x $y" ] || { why="the window moved from $x,$y to $nx,$ny"; return 1; }
  import -window root -crop "$crop" +repage -depth 8 ppm:"$work/after.ppm"
  [ "$(python3 "$here/picture.py" find "$work/patch.ppm" 240 195 20 "$work/after.ppm" | cut -d' ' -f2-)" = "0 0" ] ||
    { why="after the shake the face is not back where it was"; return 1; }
  frames=("$work"/frames/*.ppm)
  found=$(python3 "$here/picture.py" find "$work/patch.ppm" 240 195 20 "${frames[@]}" | awk '$2 != "none"')
  shaking=$(awk '$2 != 0 || $3 != 0 { print $1 }' <<<"$found")
  [ -n "$shaking" ] || { why="none of ${#frames[@]} screenshots caught the face shaking"; return 1; }
  outside=$(awk '!($2 ~ /^(-13|0|13)$/ && $3 ~ /^(-13|0|13)$/) { print $2 "," $3 }' <<<"$found" | head -n1)
  [ -z "$outside" ] || { why="the face was seen at $outside, beyond the shake's square"; return 1; }
  # shellcheck disable=SC2086
  banded=$(python3 "$here/picture.py" bands "$weston_background" $shaking | awk '$2 > 0 || $3 > 0')
  example=$(head -n1 <<<"$banded")
  [ -z "$banded" ] || {
    why="$(wc -l <<<"$banded") of $(wc -w <<<"$shaking") screenshots of the shaking face show a solid black band"
    why+=" in the window (one has $(cut -d' ' -f2 <<<"$example") black columns, $(cut -d' ' -f3 <<<"$example") rows)"
    return 1
  }
}
lit_off() { # the face at $ox,$oy shows the unlit alarm light
  convert "$skin/base.gif" -crop 17x17+40+33 +repage "$skin/alarmoff.gif" -composite "$work/expect.png"
  import -window root -crop "17x17+$((weston_x + ox + 40))+$((weston_y + oy + 33))" +repage "$work/got.png"
  same_picture "$work/got.png" "$work/expect.png" 3%
}

# openbox: Alt+F4 on the alarm dialog is Cancel: after EXIT the light is out.
openbox_altf4_alarm_dialog() {
  local wid dlg ox oy status=0
  new_home "LightOn=False"
  launch_clock "$home" QT_QPA_PLATFORM=xcb
  wid=$(wait_window Main) || { why="the clock window did not appear"; return 1; }
  wait_active "$wid" || { why="openbox did not focus the clock"; return 1; }
  read -r ox oy <<<"$(window_origin "$wid")"
  xdotool mousemove $((ox + alarm_x)) $((oy + alarm_y)) click 1
  dlg=$(wait_window Alarm 50) || { why="ALARM opened no alarm dialog"; return 1; }
  wait_active "$dlg" || { why="openbox did not focus the alarm dialog"; return 1; }
  xdotool key alt+F4
  wait_gone Alarm || { why="Alt+F4 left the alarm dialog open"; return 1; }
  xdotool mousemove $((ox + exit_x)) $((oy + exit_y)) click 1
  wait_exit 20 || status=$?
  [ "$status" = 0 ] || { why="EXIT ended with status $status"; return 1; }
  [ "$(light_setting)" = LightOn=False ] || { why="after Alt+F4 and EXIT the file holds $(light_setting)"; return 1; }
}

# openbox: the alert window rings above other windows, and Alt+F4 on it does nothing; it stays
# until OK or Snooze.
openbox_altf4_custom_message() {
  local wid alert
  new_alarm_home "MusicMessage=True" "MusicCustomBol=True" "MusicCustom=Tea is ready"
  launch_clock "$home" QT_QPA_PLATFORM=xcb "${faked[@]}"
  wid=$(wait_window Main) || { why="the clock window did not appear"; return 1; }
  wait_active "$wid" || { why="openbox did not focus the clock"; return 1; }
  set_clock "2002-03-01 19:04:58"
  alert=$(wait_window "Custom Message" 150) || { why="no alert window at the alarm's second"; return 1; }
  wait_active "$alert" || { why="openbox did not focus the alert window"; return 1; }
  poll 3 wm_state_has "$alert" _NET_WM_STATE_ABOVE ||
    { why="the ringing alert's _NET_WM_STATE is $(xprop -id "$alert" _NET_WM_STATE)"; return 1; }
  xdotool key alt+F4
  # Nothing to wait for when nothing happens: it must stay through a second and a half.
  holds 1.5 visible "Custom Message" || { why="Alt+F4 closed the alert window"; return 1; }
}

# openbox: a clock left almost off the screen (54x48 pixels of it show) is brought fully into view
# by a second start (openbox itself keeps a little more in view); dragged from there and closed with Alt+F4, it has saved where it was dragged.
openbox_found_dragged_closed() {
  local wid x y status=0 i
  new_home "LightOn=False" "Left=14550" "Top=10800"
  launch_clock "$home" QT_QPA_PLATFORM=xcb
  wid=$(wait_window Main) || { why="the clock window did not appear"; return 1; }
  read -r x y <<<"$(window_origin "$wid")"
  [ $((x + 575)) -gt 1024 ] && [ $((y + 240)) -gt 768 ] || { why="stored at 970,720, it started at $x,$y"; return 1; }
  env XDG_CONFIG_HOME="$home" QT_QPA_PLATFORM=xcb "$clock_exe" >"$work/second.log" 2>&1 ||
    { why="the second start failed: $(cat "$work/second.log")"; return 1; }
  # The 575x240 face fully on the 1024x768 screen, as near as it goes.
  poll 3 at_origin "$wid" "449 528" || { why="after a second start the clock is at $(window_origin "$wid"), not 449,528"; return 1; }
  wait_active "$wid" || { why="the second start left the clock inactive"; return 1; }
  xdotool mousemove $((449 + case_x)) $((528 + case_y)) mousedown 1
  for i in $(seq 10); do
    xdotool mousemove $((449 + case_x - 10 * i)) $((528 + case_y - 10 * i))
    sleep 0.02 # the hand's pace
  done
  xdotool mouseup 1
  poll 3 at_origin "$wid" "349 428" || { why="dragged by -100,-100 from 449,528, it is at $(window_origin "$wid")"; return 1; }
  xdotool key alt+F4
  wait_exit 5 || status=$?
  [ "$status" = 0 ] || { why="Alt+F4 ended it with status $status (124: still running after 5 s)"; return 1; }
  grep -qx 'Left=5235' "$conf" && grep -qx 'Top=6420' "$conf" ||
    { why="closed at 349,428 with Alt+F4, the file holds $(grep -E '^(Left|Top)=' "$conf" | tr '\n' ' ')"; return 1; }
}

# The face menu from the keyboard, then the entry with this access key.
menu_key() { # access key
  local before
  before=$(clock_windows)
  xdotool key Menu
  poll 5 more_windows "$before" || return 1
  xdotool key "$1"
}
wm_state_has() { xprop -id "$1" _NET_WM_STATE | grep -q "$2"; } # window, state atom
on_every_desktop() { xprop -id "$1" _NET_WM_DESKTOP | grep -q '= 4294967295$'; } # window
# The window manager stacks the first window above the second.
stacked_above() { # window window
  xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | awk -v a="$(printf 0x%x "$1")" -v b="$(printf 0x%x "$2")" \
    '{ for (i = 1; i <= NF; i++) { if ($i == a) ia = i; if ($i == b) ib = i } } END { exit !(ia > ib && ib > 0) }'
}
checks_saved() { # True|False: the four check items' keys in the file
  local key
  for key in KeepOnTop AllWorkspaces StartAtLogin RingUntilAnswered; do grep -qx "$key=$1" "$conf" || return 1; done
}
# openbox: the menu's check items turn on from the keyboard and act (above other windows, on every
# workspace, the autostart entry); on top, the clock's own alarm dialog still opens above it. Saved
# by EXIT, they come back at the next start, and turn off again.
openbox_menu_checks() {
  local wid dlg entry key status=0
  new_home "LightOn=False"
  entry="$home/autostart/morvantis.desktop"
  launch_clock "$home" QT_QPA_PLATFORM=xcb
  wid=$(wait_window Main) || { why="the clock window did not appear"; return 1; }
  wait_active "$wid" || { why="openbox did not focus the clock"; return 1; }
  menu_key k && poll 3 wm_state_has "$wid" _NET_WM_STATE_ABOVE ||
    { why="\"Keep on top\" left _NET_WM_STATE at $(xprop -id "$wid" _NET_WM_STATE)"; return 1; }
  menu_key w && poll 3 on_every_desktop "$wid" ||
    { why="\"On every workspace\" left $(xprop -id "$wid" _NET_WM_DESKTOP)"; return 1; }
  menu_key l && poll 3 test -f "$entry" || { why="\"Start at login\" wrote no autostart entry"; return 1; }
  menu_key r || { why="the Menu key opened no menu"; return 1; }
  menu_key a || { why="the Menu key opened no menu"; return 1; }
  dlg=$(wait_window Alarm 50) || { why="the menu's Alarm opened no alarm dialog"; return 1; }
  poll 3 stacked_above "$dlg" "$wid" || { why="the alarm dialog opened below the clock kept on top"; return 1; }
  xdotool key Escape
  wait_gone Alarm || { why="Escape left the alarm dialog open"; return 1; }
  menu_key x || { why="the Menu key opened no menu"; return 1; }
  wait_exit 10 || status=$?
  [ "$status" = 0 ] || { why="Exit ended with status $status"; return 1; }
  checks_saved True || { why="Exit saved $(grep -E '^(KeepOnTop|AllWorkspaces|StartAtLogin|RingUntilAnswered)=' "$conf" | tr '\n' ' ')"; return 1; }
  launch_clock "$home" QT_QPA_PLATFORM=xcb
  wid=$(wait_window Main) || { why="the clock did not start again"; return 1; }
  poll 3 wm_state_has "$wid" _NET_WM_STATE_ABOVE && on_every_desktop "$wid" ||
    { why="started again, it is not kept on top on every workspace: $(xprop -id "$wid" _NET_WM_STATE _NET_WM_DESKTOP | tr '\n' ' ')"; return 1; }
  wait_active "$wid" || { why="openbox did not focus the clock"; return 1; }
  for key in k w l r; do menu_key "$key" || { why="the Menu key opened no menu"; return 1; }; done
  poll 3 eval '! wm_state_has "$wid" _NET_WM_STATE_ABOVE && ! on_every_desktop "$wid" && [ ! -e "$entry" ]' ||
    { why="turned off, the items left $(xprop -id "$wid" _NET_WM_STATE _NET_WM_DESKTOP | tr '\n' ' ')$([ -e "$entry" ] && echo ' and the autostart entry')"; return 1; }
  kill -TERM "$clock_pid"
  wait_exit 5 || true
  checks_saved False || { why="turned off, the file holds $(grep -E '^(KeepOnTop|AllWorkspaces|StartAtLogin|RingUntilAnswered)=' "$conf" | tr '\n' ' ')"; return 1; }
}

# GNOME and KDE sessions: Wayland with an X server beside it, the platform left to the clock.
session_env=() # set with each compositor: its Wayland and X displays
# Under the compositor's Xwayland the clock starts where it was left; moved by a drag and ended by
# the session's SIGTERM, it starts again where the drag left it.
xwayland_back_in_place() {
  local wid ox oy status=0
  new_home "LightOn=False" "Left=3000" "Top=4500"
  launch_clock "$home" "${session_env[@]}"
  wid=$(wait_window Main) || { why="no clock window on the X server (it chose Wayland?)"; return 1; }
  read -r ox oy <<<"$(window_origin "$wid")"
  [ "$ox $oy" = "200 300" ] || { why="stored at 200,300, started at $ox,$oy"; return 1; }
  xdotool mousemove $((ox + case_x)) $((oy + case_y)) mousedown 1
  for i in $(seq 10); do
    xdotool mousemove $((ox + case_x + 20 * i)) $((oy + case_y + 20 * i))
    sleep 0.02 # the hand's pace
  done
  xdotool mouseup 1
  poll 3 at_origin "$wid" "400 500" || { why="dragged by 200,200 from 200,300, it is at $(window_origin "$wid")"; return 1; }
  kill -TERM "$clock_pid"
  wait_exit 5 || status=$?
  [ "$status" = 0 ] || { why="SIGTERM ended it with status $status"; return 1; }
  grep -qx 'Left=6000' "$conf" && grep -qx 'Top=7500' "$conf" ||
    { why="moved to 400,500 it stored $(grep -E '^(Left|Top)=' "$conf" | tr '\n' ' ')"; return 1; }
  launch_clock "$home" "${session_env[@]}"
  wid=$(wait_window Main) || { why="no clock window at the second start"; return 1; }
  at_origin "$wid" "400 500" || { why="the second start is at $(window_origin "$wid"), not 400,500"; return 1; }
}

# GNOME at scale 2 in its integer layout, with the Xft.dpi its settings daemon writes: the clock goes
# through X11, drawn at twice its size where it was left (twice the stored pixels). In the fractional
# layout, where X11 windows are enlarged, it is a native Wayland window.
mutter_logical_width() { weston-info 2>/dev/null | grep -q "logical_width: $1,"; } # pixels
mutter_scale_2() {
  local wid
  new_home "LightOn=False" "Left=900" "Top=1500"
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf 'Xft.dpi:\t192\n')"
  launch_clock "$home" "${session_env[@]}"
  wid=$(wait_window Main) || { why="no clock window on the X server at scale 2 in the integer layout"; return 1; }
  poll 3 at_origin "$wid" "120 200" || { why="stored at 60,100, it started at $(window_origin "$wid"), not 120,200"; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  [ "$WIDTH $HEIGHT" = "1150 480" ] || { why="the X11 clock is ${WIDTH}x$HEIGHT at scale 2, not 1150x480"; return 1; }
  kill -TERM "$clock_pid"
  wait_exit 5 || true
  mutter_gsettings set org.gnome.mutter experimental-features "['scale-monitor-framebuffer']"
  poll 5 mutter_logical_width 640 || { why="mutter did not take the fractional layout"; return 1; }
  launch_clock "$home" "${session_env[@]}" WAYLAND_DEBUG=1
  poll 15 wl_log_shown "$work/clock.log" Main || { why="in the fractional layout no native window \"Main\" was shown"; return 1; }
  ! visible Main || { why="in the fractional layout the clock went through X11"; return 1; }
}

# Under the compositor's Xwayland, the alarm dialog declares no close box (none is drawn), so
# the compositor offers no close there; if it closes it anyway, that is Cancel.
xwayland_compositor_close() { # command that asks the compositor to close the window "Alarm"
  local wid dlg ox oy status=0
  new_home "LightOn=False"
  launch_clock "$home" "${session_env[@]}"
  wid=$(wait_window Main) || { why="no clock window on the X server"; return 1; }
  read -r ox oy <<<"$(window_origin "$wid")"
  xdotool mousemove $((ox + alarm_x)) $((oy + alarm_y)) click 1
  dlg=$(wait_window Alarm 50) || { why="ALARM opened no alarm dialog"; return 1; }
  $1
  if holds 1 visible Alarm; then
    xprop -id "$dlg" _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_CLOSE &&
      { why="the compositor offers a close it did not carry out"; return 1; }
    return 0
  fi
  kill -TERM "$clock_pid"
  wait_exit 5 || status=$?
  [ "$(light_setting)" = LightOn=False ] || { why="closed by the compositor, the file holds $(light_setting)"; return 1; }
}
mutter_no_close() { xwayland_compositor_close :; } # mutter has no command to close a window
kwin_xwayland_close() { xwayland_compositor_close kwin_close_alarm; }
kwin_close_alarm() {
  kwin_script "workspace.clientList().forEach(function (c) { if (c.caption == 'Alarm') { c.closeWindow(); print('closed Alarm $((kwin_scripts + 1))'); } });"
}

# KDE natively (the user chose Wayland): KWin's close of the alarm dialog (xdg_toplevel.close,
# what its Breeze title bar's close button sends) is Cancel. ALARM is pressed as a screen reader
# presses it: nothing else reaches a native window on a headless compositor.
kwin_native_close() {
  local status=0 presser
  new_home "LightOn=False"
  launch_clock "$home" QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    DBUS_SESSION_BUS_ADDRESS="$kwin_bus"
  poll 15 wl_log_shown "$work/clock.log" Main || { why="KWin never showed the window \"Main\""; return 1; }
  DBUS_SESSION_BUS_ADDRESS="$kwin_bus" timeout 20 /usr/bin/python3 "$here/press.py" morvantis Alarm \
    >"$work/press.log" 2>&1 &
  presser=$!
  pids+=("$presser")
  poll 10 wl_log_shown "$work/clock.log" Alarm ||
    { why="pressing ALARM opened no alarm dialog ($(cat "$work/press.log"))"; return 1; }
  kwin_close_alarm
  poll 5 kwin_said "closed Alarm $kwin_scripts" || { why="KWin's script did not run: $(tail -n2 "$work/kwin.log")"; return 1; }
  poll 5 wl_log_gone "$work/clock.log" Alarm || { why="KWin's close left the alarm dialog open"; return 1; }
  kill -TERM "$clock_pid"
  wait_exit 5 || status=$?
  [ "$status" = 0 ] || { why="SIGTERM ended it with status $status"; return 1; }
  [ "$(light_setting)" = LightOn=False ] || { why="closed by KWin, the file holds $(light_setting)"; return 1; }
}

# ---- Running them ----

failed=()
clock_pid=""
run_case() { # function, what it shows
  local started=$SECONDS status=0
  why=""
  "$1" || status=1
  if kill -0 "$clock_pid" 2>/dev/null; then
    kill -TERM "$clock_pid" 2>/dev/null || true
    wait_exit 5 || { kill -KILL "$clock_pid" 2>/dev/null || true; wait "$clock_pid" 2>/dev/null || true; }
  fi
  if [ "$status" = 0 ] && grep -qE 'ERROR: AddressSanitizer|runtime error:' "$work/clock.log"; then
    status=1 why="the sanitizer reported: $(grep -m1 -E 'ERROR: AddressSanitizer|runtime error:' "$work/clock.log")"
  fi
  if [ "$status" = 0 ]; then
    pass "$2 ($((SECONDS - started)) s)"
  else
    echo "FAIL: $2: $why ($((SECONDS - started)) s)"
    failed+=("$1")
  fi
}

start_display

started=$SECONDS
start_mutter
echo "mutter ready in $((SECONDS - started)) s"
run_case mutter_start_see_end "mutter: the clock starts, is shown and ends with status 0 on SIGTERM"
xvfb_display=$DISPLAY
export DISPLAY=$mutter_display XAUTHORITY=$mutter_xauth
session_env=(XDG_SESSION_TYPE=wayland)
run_case xwayland_back_in_place "mutter: the clock starts where it was left, and a drag is kept"
run_case mutter_no_close "mutter: the alarm dialog gets no close box under Xwayland"
stop_mutter
start_mutter org.gnome.desktop.interface scaling-factor 2
export DISPLAY=$mutter_display XAUTHORITY=$mutter_xauth
run_case mutter_scale_2 "mutter at scale 2: X11 in the integer layout with Xft.dpi 192, Wayland in the fractional one"
stop_mutter
export DISPLAY=$xvfb_display
unset XAUTHORITY

started=$SECONDS
start_kwin
echo "KWin ready in $((SECONDS - started)) s"
export DISPLAY=$kwin_display
run_case xwayland_back_in_place "KWin: the clock starts where it was left, and a drag is kept"
run_case kwin_xwayland_close "KWin: its close of the alarm dialog leaves no lit light (Xwayland)"
run_case kwin_native_close "KWin: its close of the native alarm dialog is Cancel"
stop_kwin
export DISPLAY=$xvfb_display

started=$SECONDS
start_weston
echo "weston ready in $((SECONDS - started)) s"
run_case weston_drag_then_alarm "weston: after a drag of the case, ALARM opens the alarm dialog"
run_case weston_close_button "weston: the alarm dialog's close button puts the light out"
run_case weston_shake_no_band "weston: the shake leaves no black band in the window"
run_case weston_menu_checks_disabled "weston: keep on top and every workspace are disabled in the menu"
stop_weston

started=$SECONDS
start_openbox
echo "openbox ready in $((SECONDS - started)) s"
run_case openbox_altf4_alarm_dialog "openbox: Alt+F4 on the alarm dialog puts the light out"
run_case openbox_altf4_custom_message "openbox: \"Custom Message\" rings above other windows and Alt+F4 leaves it open"
run_case openbox_found_dragged_closed "openbox: a second start brings the clock into view; Alt+F4 after a drag saves"
run_case openbox_menu_checks "openbox: the menu's check items act, are saved and come back"

echo "$passed passed, ${#failed[@]} failed${failed[*]:+: ${failed[*]}}"
[ ${#failed[@]} = 0 ]
