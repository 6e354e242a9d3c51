#!/usr/bin/env bash
# One clock per settings store: a second start brings the running clock to the front and
# ends at once; another XDG_CONFIG_HOME gets a clock of its own; a clock killed with SIGKILL
# does not block the next start; the command line answers while a clock runs. Restarts
# (SIGTERM and a new start at once) leave one clock each time; a stopped clock gets a start
# that says so and fails; bursts of ending signals end the clock, saved, and the first
# signal decides. --quit ends the clock, saved.
# Usage: single.sh <morvantis> <source folder>
set -euo pipefail
exe=$1
src=$2
source "$(dirname "$0")/lib.sh"
fail_shows_clock_log=yes
start_display
program_with "$work/prog" "Amber Glow" "Digital Age"
clock_exe="$work/prog/morvantis"
mine="$work/mine"
other="$work/other"
# Both clocks at the same place: the one in front is the one whose skin shows.
write_settings "$mine" "ThemeNo=1" "Left=1500" "Top=1500"
write_settings "$other" "ThemeNo=0" "Left=1500" "Top=1500"

main_windows() { xdotool search --onlyvisible --name '^Main$' 2>/dev/null | wc -l; }
main_windows_are() { [ "$(main_windows)" = "$1" ]; } # count
wait_windows() { poll 10 main_windows_are "$1"; } # count
in_front() { # skin: a blank stretch of the display panel (top right) shows that skin's panel
  import -window root "$work/front.png"
  convert "$work/front.png" -crop 60x10+$((ox + 340))+$((oy + 44)) +repage "$work/got.png"
  convert "$src/data/Skins/$1/lcd.gif" -crop 60x10+198+3 +repage "$work/want.png"
  same_picture "$work/got.png" "$work/want.png" 3%
}
wait_front() { poll 5 in_front "$1"; } # skin
second_start() { # config-home: starts the program again; sets status, ms and lines (its output)
  local t0=$(date +%s%N)
  status=0
  XDG_CONFIG_HOME="$1" timeout 10 "$clock_exe" >"$work/second.out" 2>"$work/second.err" || status=$?
  ms=$((($(date +%s%N) - t0) / 1000000))
  lines=$(cat "$work/second.out" "$work/second.err" | wc -l)
}

launch_clock "$mine"
mine_pid=$clock_pid
wid=$(wait_window Main) || fail "the clock showed no window"
read -r ox oy <<<"$(window_origin "$wid")"
wait_front "Digital Age" || fail "the clock does not show its skin"

# ---- The command line while the clock runs ----
[ "$("$clock_exe" --version)" = "Morvantis ${MORVANTIS_VERSION:?}" ] || fail "--version did not answer while a clock runs"
"$clock_exe" --help | grep -q -- '--autostart' || fail "--help did not answer while a clock runs"
[ "$(XDG_CONFIG_HOME="$mine" "$clock_exe" --autostart)" = "Autostart is off" ] ||
  fail "--autostart did not answer while a clock runs"
for bad in on --no-such-option; do
  status=0
  XDG_CONFIG_HOME="$mine" "$clock_exe" "$bad" >"$work/bad.out" 2>"$work/bad.err" || status=$?
  [ "$status" = 2 ] && [ ! -s "$work/bad.out" ] && [ "$(wc -l <"$work/bad.err")" = 1 ] &&
    grep -q '^morvantis: .*usage: morvantis ' "$work/bad.err" ||
    fail "'morvantis $bad' gave status $status: $(cat "$work/bad.out" "$work/bad.err")"
done
pass "--version, --help and --autostart answer while a clock runs; a stray argument or option: one usage line, status 2"

# ---- A second start with the same settings ----
second_start "$mine"
[ "$status" = 0 ] && [ "$lines" = 1 ] && [ -s "$work/second.out" ] ||
  fail "the second start gave status $status and: $(cat "$work/second.out" "$work/second.err")"
[ "$ms" -lt 1000 ] || fail "the second start took $ms ms"
kill -0 "$mine_pid" 2>/dev/null || fail "the second start ended the first clock"
[ "$(main_windows)" = 1 ] || fail "$(main_windows) clock windows after a second start"
pass "a second start ends with status 0 in $ms ms, one line on stdout ($(cat "$work/second.out")); one clock runs"

# ---- Another settings store gets its own clock, in front ----
launch_clock "$other"
other_pid=$clock_pid
wait_windows 2 || fail "another XDG_CONFIG_HOME got no clock of its own ($(main_windows) windows)"
wait_front "Amber Glow" || fail "the newer clock is not in front"
second_start "$mine"
[ "$status" = 0 ] || fail "the second start gave status $status: $(cat "$work/second.err")"
wait_front "Digital Age" || fail "the second start did not bring the running clock to the front"
kill -0 "$other_pid" 2>/dev/null && [ "$(main_windows)" = 2 ] || fail "the other clock did not keep running"
pass "another XDG_CONFIG_HOME runs a clock of its own; a second start brings the first clock in front of it"

# ---- A clock killed with SIGKILL leaves its lock behind: the next start runs all the same ----
kill -KILL "$mine_pid"
wait "$mine_pid" 2>/dev/null || true
ls "$XDG_RUNTIME_DIR"/morvantis-*.lock >/dev/null 2>&1 || fail "no lock file was left to take over"
wait_windows 1 || fail "the killed clock's window stayed"
launch_clock "$mine"
wait_windows 2 || fail "the start after SIGKILL showed no clock"
kill -0 "$clock_pid" 2>/dev/null || fail "the start after SIGKILL ended"
second_start "$mine"
[ "$status" = 0 ] && [ "$(main_windows)" = 2 ] || fail "the new clock does not answer a second start (status $status)"
pass "after SIGKILL the next start runs the clock and answers a second start"

# ---- Restarts: SIGTERM and a new start at once ----
kill -TERM "$other_pid"
wait "$other_pid" 2>/dev/null || true
wait_windows 1 || fail "the other clock did not end"
# The newest start runs as the clock, the one before it has ended, and one clock is on screen.
one_clock() {
  kill -0 "$clock_pid" 2>/dev/null && { [ -z "$old" ] || ! kill -0 "$old" 2>/dev/null; } && main_windows_are 1 &&
    [ "$(xdotool search --onlyvisible --pid "$clock_pid" --name '^Main$' 2>/dev/null | wc -l)" = 1 ]
}
# Waits for the clock to end, at most the given seconds (a watchdog ends it past that); sets status and ms.
ends_within() { # seconds
  local t0 watchdog
  t0=$(date +%s%N)
  (sleep "$1"; kill -KILL "$clock_pid" 2>/dev/null) &
  watchdog=$!
  status=0
  wait "$clock_pid" || status=$?
  ms=$((($(date +%s%N) - t0) / 1000000))
  kill "$watchdog" 2>/dev/null || true
  wait "$watchdog" 2>/dev/null || true
}
restarts=25
for i in $(seq "$restarts"); do
  old=$clock_pid
  kill -TERM "$old"
  launch_clock "$mine"
  poll 10 one_clock || fail "restart $i of $restarts: $(main_windows) clock windows; the new start $(kill -0 "$clock_pid" 2>/dev/null && echo runs || echo ended)"
  status=0
  wait "$old" || status=$?
  [ "$status" = 0 ] || fail "restart $i: the clock ended by SIGTERM gave status $status"
done
pass "$restarts restarts, each SIGTERM followed at once by a new start: one clock on screen after each"

# ---- A stopped clock: the start says so and fails, never "brought to the front" ----
old=
kill -STOP "$clock_pid"
second_start "$mine"
kill -CONT "$clock_pid"
[ "$status" != 0 ] && [ ! -s "$work/second.out" ] && grep -q '^morvantis: .*does not answer' "$work/second.err" ||
  fail "a start while the clock was stopped gave status $status and: $(cat "$work/second.out" "$work/second.err")"
[ "$ms" -lt 5000 ] || fail "the start took $ms ms to give up on a stopped clock"
poll 5 one_clock || fail "$(main_windows) clock windows after the stopped clock went on"
pass "a start while the clock is stopped: status $status in $ms ms ($(cat "$work/second.err")); one clock"

# ---- Bursts of ending signals ----
conf=$(settings_file "$mine")
burst() { # signal: as fast as they can be sent, at least 3000, until the clock has ended (4 s at most)
  python3 -c 'import os, signal, sys, time
pid, sig = int(sys.argv[1]), getattr(signal, "SIG" + sys.argv[2])
start, sent = time.monotonic(), 0
while time.monotonic() - start < 4:
    try:
        for _ in range(1000):
            os.kill(pid, sig)
        sent += 1000
        with open("/proc/%d/stat" % pid) as f:
            if f.read().rsplit(")", 1)[1].split()[0] == "Z" and sent >= 3000:
                break
    except (ProcessLookupError, FileNotFoundError):
        break
print(sent)' "$clock_pid" "$1" >"$work/sent"
}
for sig in TERM HUP; do
  rm -f "$conf" # read at the start; only a save brings it back
  burst "$sig" &
  sender=$!
  ends_within 3
  wait "$sender"
  [ "$status" = 0 ] || fail "a burst of SIG$sig: status $status (137: still running after 3 s)"
  grep -q '^ThemeNo=1$' "$conf" || fail "a burst of SIG$sig: the settings were not saved"
  pass "a burst of SIG$sig ($(cat "$work/sent") sent) ends the clock in $ms ms with status 0, the settings saved"
  old=
  launch_clock "$mine"
  poll 10 one_clock || fail "no clock after the burst"
done

# ---- Two signals close together: the first decides ----
for pair in "HUP INT saved" "INT TERM unsaved"; do
  read -r first second want <<<"$pair"
  rm -f "$conf"
  kill "-$first" "$clock_pid"
  kill "-$second" "$clock_pid"
  ends_within 3
  got=unsaved
  [ -s "$conf" ] && got=saved
  [ "$status" = 0 ] && [ "$got" = "$want" ] || fail "SIG$first then SIG$second: status $status, $got"
  pass "SIG$first then SIG$second: status 0, $want"
  old=
  launch_clock "$mine"
  poll 10 one_clock || fail "no clock after SIG$first and SIG$second"
done

# ---- --quit (an installer's): the clock saves as EXIT does and ends; --quit returns after it ----
rm -f "$conf"
status=0
out=$(XDG_CONFIG_HOME="$mine" timeout 15 "$clock_exe" --quit 2>&1) || status=$?
[ "$status" = 0 ] || fail "--quit gave status $status ($out)"
ends_within 1 # it has let go of its lock: only its last steps remain
[ "$status" = 0 ] && grep -q '^ThemeNo=1$' "$conf" || fail "after --quit the clock gave status $status, settings $(test -s "$conf" && echo saved || echo unsaved)"
[ "$(XDG_CONFIG_HOME="$mine" "$clock_exe" --quit)" = "No clock runs." ] || fail "--quit without a clock did not say so"
pass "--quit ends the clock, saved, with status 0 before it returns ($out); without a clock it says so"

echo "$passed passed, 0 failed"
