# Real desktops for the end-to-end scripts, sourced after lib.sh: a Wayland compositor driven
# by real input (weston inside our Xvfb), a window manager (openbox on our Xvfb), and GNOME's
# compositor headless (mutter). Each keeps its files in $work and its sockets in the private
# $XDG_RUNTIME_DIR; lib.sh's cleanup ends them.

# ---- weston: its X11 backend makes one X window of our Xvfb its screen, so xdotool's pointer
# and keys go through the compositor to the Wayland clients, as a user's would ----

# weston places a new window at a random place of its screen and xdotool cannot see Wayland
# windows; with --debug weston tells where each window is (weston-debug scene-graph), by the
# title its client gave it.
weston_background=32,160,64 # what shows where no window is (R,G,B)
start_weston() { # needs start_display; exports WAYLAND_DISPLAY
  local geometry r g b
  IFS=, read -r r g b <<<"$weston_background"
  cat >"$work/weston.ini" <<EOF
[core]
idle-time=0
[shell]
panel-position=none
locking=false
background-color=$(printf 0xff%02x%02x%02x "$r" "$g" "$b")
animation=none
close-animation=none
startup-animation=none
focus-animation=none
[input-method]
path=
EOF
  geometry=$(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  weston_width=${geometry% *} weston_height=$((${geometry#* } - 32))
  export WAYLAND_DISPLAY=morvantis-weston
  # A strip of the X screen stays below weston's window (see the pointer below).
  weston --backend=x11-backend.so --use-pixman --debug --config="$work/weston.ini" \
    --socket="$WAYLAND_DISPLAY" --width="$weston_width" --height="$weston_height" \
    --log="$work/weston.log" >"$work/weston.out" 2>&1 &
  weston_pid=$!
  pids+=("$weston_pid")
  # Ready when a client can ask for the scene and the shell has drawn its background.
  for _ in $(seq 100); do
    weston-debug scene-graph 2>/dev/null | grep -q 'background for output' && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
  done
  weston-debug scene-graph 2>/dev/null | grep -q 'background for output' ||
    fail "weston did not start: $(tail -n3 "$work/weston.log" "$work/weston.out" 2>/dev/null)"
  # Its X window, as its log names it.
  weston_window=$(awk '/x11 output .*window id/ { print $NF; exit }' "$work/weston.log")
  [ -n "$weston_window" ] || fail "weston's log names no X window"
  read -r weston_x weston_y <<<"$(window_origin "$weston_window")"
  # Keys go where the X focus is: the compositor's window.
  xdotool windowfocus --sync "$weston_window"
  # weston's X11 backend takes the pointer's motion as relative moves and learns where it is
  # only when it enters the window: the pointer leaves through the strip and comes back in.
  # Then weston follows it: it draws its cursor.
  xdotool mousemove $(wl_point 10 $((weston_height + 16))) mousemove $(wl_point 10 10)
  for _ in $(seq 50); do
    weston-debug scene-graph 2>/dev/null | grep -A1 'cursor' | grep -q 'position: (' && return 0
    sleep 0.1
  done
  fail "weston does not follow the pointer"
}
stop_weston() {
  kill "$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  unset WAYLAND_DISPLAY
}

# Where a top-level window is on weston's screen: "x y width height", the title bar Qt draws
# included; nothing when no window has that title. With "drawn", only once the screen has been
# repainted since the window was shown: weston hands input to a new window only after that.
wl_geometry() { # title [drawn]
  weston-debug scene-graph 2>/dev/null | awk -v want="window '$1' of " -v drawn="${2:-}" '
    /repaint status:/ { idle = /no repaint/ }
    index($0, want) { found = 1; next }
    found && /position:/ {
      gsub(/[(),]/, " ")
      geometry = $2 " " $3 " " $5 - $2 " " $6 - $3
      found = 0
    }
    END { if (geometry != "" && (drawn == "" || idle)) print geometry }'
}
wl_wait_window() { # title [tenths of a second]: prints its geometry once it takes input
  local g
  for _ in $(seq "${2:-100}"); do
    g=$(wl_geometry "$1" drawn)
    [ -n "$g" ] && { echo "$g"; return 0; }
    kill -0 "$clock_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
wl_gone() { [ -z "$(wl_geometry "$1")" ]; } # title
wl_wait_gone() { poll "${2:-5}" wl_gone "$1"; } # title [seconds]

# Input in weston's screen coordinates, through the X server into the compositor's window.
wl_point() { echo $((weston_x + $1)) $((weston_y + $2)); }
wl_click() { # x y
  xdotool mousemove $(wl_point "$1" "$2") click 1
}
wl_key() { # xdotool key names...
  xdotool key --delay 60 "$@"
}
# A drag in small steps. With a title, the drag moves that window: the path waits (bounded)
# until the compositor has taken the move over, since the client asks for it only once it has
# seen the press, and a compositor ignores a move that starts after the release.
wl_drag() { # x1 y1 x2 y2 [title of the window it moves]
  local x1=$1 y1=$2 x2=$3 y2=$4 title=${5:-} start i steps=20
  xdotool mousemove $(wl_point "$x1" "$y1") mousedown 1
  if [ -n "$title" ]; then
    start=$(wl_geometry "$title")
    for i in $(seq 30); do
      xdotool mousemove $(wl_point $((x1 + (i % 2) * 2)) "$y1")
      [ "$(wl_geometry "$title")" != "$start" ] && break
      sleep 0.05 # the hand's pace, as are the steps below
    done
  fi
  for i in $(seq "$steps"); do
    xdotool mousemove $(wl_point $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps)))
    sleep 0.02
  done
  xdotool mouseup 1
}
# Qt's own title bar on Wayland (its default decoration): 30 pixels high, the close button an
# 18-pixel square 8 pixels from the right edge, in the middle of the bar's height.
wl_click_close() { # title
  local x y w h
  read -r x y w h <<<"$(wl_geometry "$1")"
  [ -n "${h:-}" ] || return 1
  wl_click $((x + w - 8 - 9)) $((y + 15))
}

# ---- openbox: a window manager on our Xvfb ----

# Its packaged configuration, which binds Alt+F4 to Close; read explicitly so that no user file
# takes its place.
start_openbox() { # needs start_display
  local check
  grep -q '<keybind key="A-F4">' /etc/xdg/openbox/rc.xml || fail "openbox's configuration does not bind Alt+F4"
  HOME="$work" XDG_CACHE_HOME="$work/cache" openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml \
    >"$work/openbox.log" 2>&1 &
  openbox_pid=$!
  pids+=("$openbox_pid")
  for _ in $(seq 100); do
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ { print $NF }')
    [ -n "$check" ] && xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -q '"Openbox"' && return 0
    kill -0 "$openbox_pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "openbox did not start: $(tail -n3 "$work/openbox.log")"
}
active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; } # X window id
wait_active() { poll "${2:-5}" active "$1"; } # X window id [seconds]: the window manager has given it the focus

# ---- mutter: GNOME's compositor, headless, with its Xwayland, on a session bus of our own ----

# GNOME's settings as GNOME keeps them (dconf), in mutter's own folder, through its session bus.
mutter_gsettings() { # gsettings arguments...
  env HOME="$work/mutter" XDG_CONFIG_HOME="$work/mutter" GSETTINGS_BACKEND=dconf \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$mutter_bus" gsettings "$@"
}
mutter_starts=0
start_mutter() { # [schema key value]...; exports WAYLAND_DISPLAY; sets mutter_display and mutter_xauth, its Xwayland's
  local info=weston-info backend=memory
  mutter_starts=$((mutter_starts + 1))
  mutter_bus="$XDG_RUNTIME_DIR/mutter-bus$mutter_starts"
  mkdir -p "$work/mutter"
  # dconf's service, started by the bus, writes where mutter reads.
  env HOME="$work/mutter" XDG_CONFIG_HOME="$work/mutter" \
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$mutter_bus" >"$work/dbus.log" 2>&1 &
  pids+=($!)
  poll 5 test -S "$mutter_bus" || fail "the session bus did not start: $(tail -n3 "$work/dbus.log")"
  # Settings given are read as mutter starts (dconf); without them nothing is kept (memory).
  while [ $# -ge 3 ]; do
    backend=dconf
    mutter_gsettings set "$1" "$2" "$3" || fail "gsettings could not set $1 $2"
    shift 3
  done
  export WAYLAND_DISPLAY=morvantis-mutter
  rm -f "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.*
  env -u DISPLAY HOME="$work/mutter" XDG_CONFIG_HOME="$work/mutter" GSETTINGS_BACKEND=$backend \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$mutter_bus" \
    mutter --headless --wayland --virtual-monitor 1280x1024 --wayland-display="$WAYLAND_DISPLAY" \
    >"$work/mutter.log" 2>&1 &
  mutter_pid=$!
  pids+=("$mutter_pid")
  # Ready when its socket is there and a client gets its globals (weston-info is wayland-info's
  # older name), and its Xwayland, at the display its log names, answers with the key it wrote.
  command -v wayland-info >/dev/null && info=wayland-info
  for _ in $(seq 150); do
    mutter_display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/mutter.log" 2>/dev/null || true)
    mutter_xauth=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1 || true)
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && "$info" >/dev/null 2>&1 && [ -n "$mutter_display" ] &&
      [ -n "$mutter_xauth" ] && DISPLAY=$mutter_display XAUTHORITY=$mutter_xauth xprop -root >/dev/null 2>&1 &&
      return 0
    kill -0 "$mutter_pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "mutter did not start: $(tail -n3 "$work/mutter.log")"
}
stop_mutter() {
  kill "$mutter_pid" 2>/dev/null || true
  wait "$mutter_pid" 2>/dev/null || true
  unset WAYLAND_DISPLAY
}

# A client started with WAYLAND_DEBUG=1 logs its protocol: the top-level window with this title
# is shown once the compositor has said its surface entered an output.
wl_log_shown() { # log title
  [ -f "$1" ] || return 1
  awk -v title="set_title(\"$2\")" '
    match($0, /get_xdg_surface\(new id xdg_surface@[0-9]+, wl_surface@[0-9]+\)/) {
      split(substr($0, RSTART, RLENGTH), f, /[@,)]/); surface_of[f[2]] = f[4]
    }
    match($0, /xdg_surface@[0-9]+\.get_toplevel\(new id xdg_toplevel@[0-9]+\)/) {
      split(substr($0, RSTART, RLENGTH), f, /[@.)]/); toplevel[f[4]] = surface_of[f[2]]
    }
    match($0, /xdg_toplevel@[0-9]+\.set_title/) && index($0, title) {
      split(substr($0, RSTART, RLENGTH), f, /[@.]/); wanted[toplevel[f[2]]] = 1
    }
    match($0, /-> wl_surface@[0-9]+\.destroy\(\)/) {
      split(substr($0, RSTART, RLENGTH), f, /[@.]/); delete wanted[f[2]]
    }
    $0 !~ /->/ && match($0, /wl_surface@[0-9]+\.enter\(wl_output@/) {
      split(substr($0, RSTART, RLENGTH), f, /[@.]/); if (f[2] in wanted) { shown = 1; exit }
    }
    END { exit !shown }' "$1"
}
# The top-level window with this title, as the log last set it, has been destroyed since.
wl_log_gone() { # log title
  awk -v title="set_title(\"$2\")" '
    match($0, /xdg_toplevel@[0-9]+\.set_title/) && index($0, title) {
      split(substr($0, RSTART, RLENGTH), f, /[@.]/); toplevel = f[2]; gone = 0
    }
    toplevel != "" && index($0, "-> xdg_toplevel@" toplevel ".destroy()") { gone = 1 }
    END { exit !gone }' "$1"
}

# ---- KWin: KDE's compositor, headless, with its Xwayland, in a session of its own ----

# The installed binary carries a file capability this machine refuses to grant: a copy has none.
start_kwin() { # exports WAYLAND_DISPLAY; sets kwin_display (its Xwayland) and kwin_bus
  local pid check
  cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
  export WAYLAND_DISPLAY=morvantis-kwin
  mkdir -p "$work/kwin"
  env -u DISPLAY HOME="$work/kwin" XDG_CONFIG_HOME="$work/kwin" dbus-run-session -- bash -c \
    'echo "$$ $DBUS_SESSION_BUS_ADDRESS" >"$1"; shift; exec "$@"' _ "$work/kwin.session" \
    "$work/kwin_wayland" --virtual --xwayland --width 1280 --height 1024 --socket "$WAYLAND_DISPLAY" \
    --no-lockscreen --no-global-shortcuts --no-kactivities >"$work/kwin.log" 2>&1 &
  kwin_session=$!
  pids+=("$kwin_session")
  # Ready when its Xwayland (its child, at the first free display) has KWin as its window manager.
  for _ in $(seq 150); do
    { read -r pid kwin_bus <"$work/kwin.session"; } 2>/dev/null || true
    kwin_display=$(ps -o args= --ppid "${pid:-0}" 2>/dev/null | awk '$1 ~ /Xwayland$/ { print $2; exit }' || true)
    if [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && [ -n "$kwin_display" ]; then
      check=$(DISPLAY=$kwin_display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ { print $NF }' || true)
      [ -n "$check" ] && pids+=("$pid") && return 0
    fi
    kill -0 "$kwin_session" 2>/dev/null || break
    sleep 0.1
  done
  fail "kwin_wayland did not start: $(tail -n3 "$work/kwin.log")"
}
stop_kwin() {
  kill "$(cut -d' ' -f1 "$work/kwin.session")" 2>/dev/null || true
  wait "$kwin_session" 2>/dev/null || true
  unset WAYLAND_DISPLAY
}
# Runs a KWin script (JavaScript, given as text) once, through KWin's scripting interface.
kwin_scripts=0
kwin_script() { # text
  local file
  kwin_scripts=$((kwin_scripts + 1))
  file="$work/kwin-script$kwin_scripts.js"
  echo "$1" >"$file"
  kwin_dbus loadScript "string:$file" "string:morvantis-test$kwin_scripts" >/dev/null && kwin_dbus start >/dev/null
}
kwin_said() { grep -q "^js: $1" "$work/kwin.log"; } # text a KWin script printed
kwin_dbus() { # method arguments...
  local method=$1; shift
  DBUS_SESSION_BUS_ADDRESS=$kwin_bus dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
    "org.kde.kwin.Scripting.$method" "$@"
}
