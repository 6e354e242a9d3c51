#!/usr/bin/env bash
# The Windows build end to end under Wine, on a display, a sound server and a WINEPREFIX of its
# own: the face with the right time, the settings in the registry written by EXIT and read by
# the next start, one clock per user (also after a killed one), the session's end saving, the
# hourly chime and the spoken time through Wine's audio driver, and the installer.
# Usage: e2e_windows.sh <program folder> <source folder> <sound_segments> <winprobe.exe> [installer]
set -euo pipefail
stage=$(cd "$1" && pwd)
src=$2
segments=$3
probe=$4
installer=${5:-}
exe="$stage/morvantis.exe"
source "$src/tests/e2e/lib.sh"
source "$src/tests/windows/wine.sh"
trap 'stop_wine; cleanup' EXIT
fail_shows_clock_log=yes
need_faketime
start_display
start_sound_server || { cat "$work/pulse.log"; fail "PulseAudio did not start"; }
start_wine

clock_exe="$work/morvantis"
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$exe" >"$clock_exe"
chmod +x "$clock_exe"
skin="$stage/Skins/Digital Age"
exit_button() { xdotool mousemove $((ox + 467 + 42)) $((oy + 167 + 11)) click 1; }
say_button() { xdotool mousemove $((ox + 509)) $((oy + 70)) click 1; }
# The case dragged by dx dy in two steps, each waited for: Wine moves the window after the
# move that asked for it, and a pointer move read against the old place would move it twice.
drag_by() { # dx dy
  local x=$ox y=$oy
  xdotool mousemove $((x + 8)) $((y + 120)) mousedown 1
  xdotool mousemove $((x + 8 + $1 / 2)) $((y + 120 + $2 / 2))
  poll 5 at_origin "$wid" "$((x + $1 / 2)) $((y + $2 / 2))" || fail "dragging left the window at $(window_origin "$wid")"
  xdotool mousemove $((x + 8 + $1)) $((y + 120 + $2)) mouseup 1
  poll 5 at_origin "$wid" "$((x + $1)) $((y + $2))" || fail "dragging left the window at $(window_origin "$wid")"
  read -r ox oy <<<"$(window_origin "$wid")"
}
face_window() {
  wid=$(wait_window Main 300) || fail "the clock window did not appear"
  poll 10 drawn "$wid" || fail "the clock was never drawn"
  read -r ox oy <<<"$(window_origin "$wid")"
}

# ---- The program's icon, version and manifest, as Explorer and Windows read them ----
version=$("$clock_exe" --version | tr -d '\r')
[[ "$version" == "Morvantis "* ]] || fail "--version printed '$version'"
res=$(wine "$probe" resources "$(winpath "$exe")" | tr -d '\r')
for want in 'icons 1' 'ProductName Morvantis' "ProductVersion ${version#Morvantis }" \
  '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
  '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' \
  '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>'; do
  grep -qF -- "$want" <<<"$res" || { echo "$res"; fail "morvantis.exe lacks: $want"; }
done
pass "morvantis.exe carries its icon, version ($(grep ProductVersion <<<"$res")) and manifest"

# ---- The face: Sunday 23 September 2001, 13:45:07, 12-hour style, where the registry says ----
reg_settings ThemeNo=1 24Hours=False Left=1500 Top=1500 HourlyPlay=False
pushd "$WINEPREFIX/drive_c" >/dev/null # started from C:\, started again below from Z:
start_clock "$work" "2001-09-23 13:45:07"
popd >/dev/null
face_window
[ "$ox $oy" = "100 100" ] || fail "window at $ox,$oy, not at the stored 100,100"
poll 10 shows expect_face_134507 || expect_face_134507
pass "the face shows 1:45:07 PM, 09 23 SUN 2001 in Digital Age at the stored place"

# ---- A second start, from another drive, brings the running clock to the front and ends ----
out=$(cd / && timeout 20 "$clock_exe" 2>"$work/second.err" | tr -d "\r") || fail "the second start failed: $(cat "$work/second.err")"
[ "$out" = "Morvantis is running already; its clock was brought to the front." ] ||
  fail "the second start said '$out'"
pass "a second start from Z:\\ answers that the clock started from C:\\ runs already"

# ---- EXIT writes the 39 keys to the registry; the next start reads them back ----
drag_by 40 20
exit_button
wait_exit 20 || fail "EXIT did not end the clock (status $?)"
[ "$(reg_count)" = 39 ] || fail "the registry holds $(reg_count) values, not 39"
[ "$(reg_value Left)" = 2100 ] && [ "$(reg_value Top)" = 1800 ] ||
  fail "the registry holds Left=$(reg_value Left) Top=$(reg_value Top) after the drag"
launch_clock "$work"
face_window
[ "$ox $oy" = "140 120" ] || fail "the next start put the window at $ox,$oy, not at the saved 140,120"
pass "EXIT writes 39 keys under HKCU\\Software\\Morvantis\\Morvantis\\StartUp; the next start reads them"

# ---- A killed clock leaves its lock behind (Wine reuses its process id): the next start runs ----
kill -KILL "$clock_pid"; wait "$clock_pid" 2>/dev/null || true
t0=$(date +%s%3N)
launch_clock "$work"
face_window
ms=$(($(date +%s%3N) - t0))
[ "$ms" -lt 4000 ] || fail "the start after a killed clock took $ms ms"
pass "after a killed clock the next start is the clock ($ms ms)"

# ---- The session ends: the clock saves as EXIT does ----
drag_by 20 10
wineboot --end-session >/dev/null 2>&1 || true
wait_exit 20 || true
[ "$(reg_value Left)" = 2400 ] && [ "$(reg_value Top)" = 1950 ] ||
  fail "after the session's end the registry holds Left=$(reg_value Left) Top=$(reg_value Top)"
pass "the session's end (wineboot --end-session) saves the settings"
wineserver -p || true

# ---- The session's end is a question first: the clock saves at the question, goes on after a
# refusal (another program said no), and ends with status 0 on the answer ----
stored_at() { [ "$(reg_value Left) $(reg_value Top)" = "$1 $2" ]; }
face_at_stored() { # the clock's window, once at the stored 100,100 (Wine may show it elsewhere first)
  face_window
  poll 5 at_origin "$wid" "100 100" || fail "the clock is at $(window_origin "$wid"), not at the stored 100,100"
  read -r ox oy <<<"$(window_origin "$wid")"
}
reg_settings ThemeNo=1 Left=1500 Top=1500 HourlyPlay=False
launch_clock "$work"
face_at_stored
for round in 1 2; do
  drag_by 20 10
  answers=$(wine "$probe" session query Main | tr -d '\r' | sort -u)
  [ "$answers" = yes ] || fail "the clock answered '$answers' to WM_QUERYENDSESSION"
  poll 5 stored_at $((ox * 15)) $((oy * 15)) ||
    fail "after WM_QUERYENDSESSION ($round) the registry holds Left=$(reg_value Left) Top=$(reg_value Top)"
  wine "$probe" session cancel Main >/dev/null
  out=$(timeout 20 "$clock_exe" 2>/dev/null | tr -d "\r") || true
  [ "$out" = "Morvantis is running already; its clock was brought to the front." ] ||
    fail "after WM_ENDSESSION(FALSE) ($round) a second start said '$out'"
done
wine "$probe" session end Main >/dev/null
wait_exit 10 || fail "WM_ENDSESSION(TRUE) ended the clock with status $?"
pass "WM_QUERYENDSESSION saves and the clock goes on after WM_ENDSESSION(FALSE), twice; WM_ENDSESSION(TRUE) ends it with 0"

# ---- The hourly chime through Wine's audio driver, recorded whole ----
reg_settings ThemeNo=1 HourlyPlay=True Left=1500 Top=1500
record "$work/chime.raw"
# Six seconds before the hour: a start under Wine on a busy machine takes up to four.
start_clock "$work" "@2001-09-23 13:59:54"
poll 20 quiet_after_sound "$work/chime.raw" 2 || true
stop_recording
kill "$clock_pid" 2>/dev/null; wait "$clock_pid" 2>/dev/null || true
"$segments" --gap 0.05 "$work/chime.raw" >"$work/chime.txt"
[ "$(wc -l <"$work/chime.txt")" = 1 ] || { cat "$work/chime.txt"; fail "the chime is not one sound"; }
read -r start length rest <"$work/chime.txt"
want=$(wave_ms "$stage/alarm.wav")
awk -v a="$length" -v b="$want" 'BEGIN { d = a - b; exit !(d <= 40 && d >= -40) }' ||
  fail "the chime lasted $length ms, alarm.wav $want ms"
pass "the hourly chime plays alarm.wav whole through Wine's driver ($length of $want ms)"

# ---- Holding still, the clock answers Windows: a 12 s chime, and WM_NULL as Windows' hung-window test sends it ----
make_tone "$stage/long-chime.wav" 12
reg_settings ThemeNo=1 HourlyPlay=True DefaultSound=False "SoundPath=$(winpath "$stage/long-chime.wav")" Left=1500 Top=1500
record "$work/long.raw"
# Six seconds before the hour: a start under Wine on a busy machine takes up to four.
start_clock "$work" "@2001-09-23 13:59:54"
face_window
poll 20 heard "$work/long.raw" || fail "the 12 s chime did not begin"
slowest=$(wine "$probe" ping Main 8 | tr -d '\r') || true
[ -n "$slowest" ] && [ "$slowest" != none ] && [ "$slowest" -lt 1000 ] ||
  fail "during the chime WM_NULL went unanswered for a second ($slowest)"
poll 20 quiet_after_sound "$work/long.raw" 1 || true
stop_recording
kill "$clock_pid" 2>/dev/null; wait "$clock_pid" 2>/dev/null || true
rm -f "$stage/long-chime.wav"
pass "during a 12 s chime the clock answered 8 WM_NULL messages (SendMessageTimeout, 1 s), the slowest in $slowest ms"

# ---- SAY TIME at 21:21: the words one phrase ----
reg_settings ThemeNo=1 HourlyPlay=False Left=1500 Top=1500
record "$work/say.raw"
start_clock "$work" "@2001-09-23 21:21:00"
face_window
say_button
poll 15 quiet_after_sound "$work/say.raw" 1 || true
stop_recording
kill "$clock_pid" 2>/dev/null; wait "$clock_pid" 2>/dev/null || true
"$segments" --gap 0.001 --words "$src/data/wave" "$work/say.raw" >"$work/say.txt"
# The names heard in order, and the longest silence between two sounds.
read -r heard gap <<<"$(awk '{ names = names (n++ ? "+" : "") $3; if (n > 1 && $1 - last > g) g = $1 - last; last = $1 + $2 }
  END { printf "%s %.1f", names, g }' "$work/say.txt")"
# Wine's driver keeps about 25 ms in PulseAudio, topped up every 10 ms after a round trip to the
# server: on a busy machine the stream runs dry now and then inside a word, even inside one
# sound whose buffers were all given at once, and the word comes in pieces ("?"). Said; the
# words named must still come in order, and the pieces hold the five words' sound, no more (no
# click) and no less (no tail cut off).
if [ "$heard" != "time+9+20+1+pm" ]; then
  want=$(for w in time 9 20 1 pm; do wave_ms "$src/data/wave/$w.WAV" 2; echo; done | awk '{ t += $1 } END { print t }')
  awk -v h="$heard" -v want="$want" '{ t += $2; if ($2 < 2) click = 1 }
    END { n = split(h, w, "+"); split("time 9 20 1 pm", o, " "); k = 1
          for (i = 1; i <= n; i++) if (w[i] != "?") { while (k <= 5 && o[k] != w[i]) k++; if (k++ > 5) bad = 1 }
          exit !(h ~ /[?]/ && !bad && !click && t - want < 3 && want - t < 3) }' "$work/say.txt" ||
    { cat "$work/say.txt"; fail "SAY TIME said $heard"; }
  echo "note: SAY TIME came in pieces under Wine: $heard"
fi
awk -v g="$gap" 'BEGIN { exit !(g < 100) }' || { cat "$work/say.txt"; fail "SAY TIME left a gap of $gap ms"; }
pass "SAY TIME says time 9 20 1 pm as one phrase (longest gap $gap ms)"

# ---- A message alarm rings above other programs' windows until it is answered ----
reg_settings ThemeNo=1 HourlyPlay=False Left=1500 Top=1500 LightOn=True MusicMessage=True RingUntilAnswered=True \
  MusicHour=7 MusicMin=5 MusicSec=0 MusicAMPM=PM MusicDay=Friday MusicMonth=March MusicYear=2002 \
  "AlarmPath=$(winpath "$stage/alarm.wav")"
start_clock "$work" "@2002-03-01 19:04:54"
face_window
alert=$(wait_window "Custom Message" 100) || fail "the alarm's window did not appear"
on_top=$(wine "$probe" topmost "Custom Message" | tr -d '\r') || true
[ "$on_top" = "topmost 1 shown" ] || fail "the ringing alert reads '$on_top'"
xdotool windowactivate --sync "$alert" key Return 2>/dev/null || xdotool windowfocus --sync "$alert" key Return
poll 10 gone "Custom Message" || fail "Return did not answer the alert"
on_top=$(wine "$probe" topmost "Custom Message" | tr -d '\r') || true
[ "$on_top" = "none" ] || [ "$on_top" = "topmost 0 hidden" ] || fail "the answered alert reads '$on_top'"
kill "$clock_pid" 2>/dev/null; wait "$clock_pid" 2>/dev/null || true
pass "the ringing alert is a topmost window, and is not once answered"

# ---- A sound in another format right after one: the first is heard to its end ----
python3 - "$stage" <<'EOF'
import math, struct, sys, wave
for name, rate, channels, hz, seconds in (("first", 22050, 1, 440, 0.5), ("second", 44100, 2, 660, 0.3)):
    w = wave.open(f"{sys.argv[1]}/{name}.wav", "wb")
    w.setnchannels(channels); w.setsampwidth(2); w.setframerate(rate)
    n, fade = int(rate * seconds), rate // 200
    w.writeframes(b"".join(struct.pack("<h", round(12000 * min(1, i / fade, (n - 1 - i) / fade) *
        math.sin(2 * math.pi * hz * i / rate))) * channels for i in range(n)))
EOF
cp "$(dirname "$probe")/../play_sound.exe" "$stage/" # beside the Qt it needs
record "$work/formats.raw"
wine "$stage/play_sound.exe" "$(winpath "$stage/first.wav")" "$(winpath "$stage/second.wav")" >/dev/null 2>&1 ||
  fail "play_sound could not play"
poll 10 quiet_after_sound "$work/formats.raw" 1 || true
stop_recording
rm -f "$stage/play_sound.exe" "$stage/first.wav" "$stage/second.wav"
# All that sounded, without the silences: a pause in Wine's stream delays sound but loses none,
# where a tail cut off is lost.
"$segments" --gap 0.001 "$work/formats.raw" >"$work/formats.txt"
heard=$(awk '{ t += $2; for (i = 3; i <= NF; i++) { if ($i > 435 && $i < 445) a = 1; if ($i > 650 && $i < 670) b = 1 } }
  END { printf "%.1f%s", t, (a && b ? "" : " (a tone missing)") }' "$work/formats.txt")
awk -v t="$heard" 'BEGIN { exit !(t ~ /^[0-9.]+$/ && t >= 790 && t <= 805) }' ||
  { cat "$work/formats.txt"; fail "a 500 ms sound at 22050 Hz and a 300 ms one at 44100 Hz sounded $heard ms"; }
pass "a 500 ms sound at 22050 Hz mono then a 300 ms one at 44100 Hz stereo: both heard whole ($heard ms)"

# ---- No sound device (Wine's audio drivers off): the chime gives up at once, says so once, and
# the clock goes on ----
reg_settings ThemeNo=1 HourlyPlay=True Left=1500 Top=1500
launch_clock "$work" FAKETIME="@2001-09-23 13:59:54" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$faketime_lib" \
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winepulse.drv,winealsa.drv,wineoss.drv=d"
face_window
poll 20 grep -q '^morvantis: sounds are not played' "$work/clock.log" ||
  fail "no word that sounds are not played: $(cat "$work/clock.log")"
out=$(timeout 20 "$clock_exe" 2>/dev/null | tr -d "\r") || true
[ "$out" = "Morvantis is running already; its clock was brought to the front." ] ||
  fail "after the chime without a sound device a second start said '$out'"
[ "$(grep -c '^morvantis: sounds are not played' "$work/clock.log")" = 1 ] || fail "said more than once: $(cat "$work/clock.log")"
kill "$clock_pid" 2>/dev/null; wait "$clock_pid" 2>/dev/null || true
pass "without a sound device the chime is given up at once, said once, and the clock goes on"

# ---- Start at login: the value Morvantis of the user's Run key, naming this program ----
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
out=$("$clock_exe" --autostart on 2>/dev/null | tr -d "\r")
[ "$out" = "Autostart is on: HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run\Morvantis" ] ||
  fail "--autostart on said '$out'"
value=$(wine reg query "$run_key" /v Morvantis 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ "$value" = "\"$(winpath "$exe")\"" ] || fail "the Run key holds '$value'"
"$clock_exe" --autostart off >/dev/null 2>&1
[ "$("$clock_exe" --autostart 2>/dev/null | tr -d "\r")" = "Autostart is off" ] || fail "--autostart off left it on"
! wine reg query "$run_key" /v Morvantis >/dev/null 2>&1 || fail "--autostart off left the Run value"
pass "--autostart on/off writes and removes the Run key's value"

# ---- Task Manager's and Settings' choice (StartupApproved\Run): off reads as off; on clears it ----
approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
"$clock_exe" --autostart on >/dev/null 2>&1
while read -r bytes want; do
  wine reg add "$approved" /v Morvantis /t REG_BINARY /d "$bytes" /f >/dev/null 2>&1 || fail "reg add $bytes failed"
  said=$("$clock_exe" --autostart 2>/dev/null | tr -d "\r")
  [[ "$said" == "Autostart is $want"* ]] || fail "with StartupApproved $bytes --autostart said '$said'"
done <<'EOF'
030000004a8c1b2f5c3bd901 off
070000004a8c1b2f5c3bd901 off
020000000000000000000000 on
060000000000000000000000 on
030000004a8c1b2f5c3bd901 off
EOF
[ "$("$clock_exe" --autostart on 2>/dev/null | tr -d "\r")" = "Autostart is on: HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run\Morvantis" ] ||
  fail "--autostart on did not turn a disabled entry on"
! wine reg query "$approved" /v Morvantis >/dev/null 2>&1 || fail "--autostart on left Windows' choice of off"
"$clock_exe" --autostart off >/dev/null 2>&1
pass "an entry turned off in Task Manager (StartupApproved\\Run 03/07) reads as off; turning it on clears that"

# ---- The command line answers where the user reads it: redirected, in the console it was
# started from, else in one message box; the same text each way ----
while IFS='#' read -r how args want status; do
  out=$(wine "$probe" "$how" "$(winpath "$exe")" $args | tr -d '\r')
  grep -qF -- "${want/@version/$version}" <<<"$out" && grep -qx "status $status" <<<"$out" ||
    fail "morvantis $args ($how) gave: $out"
  [ "$how" = console ] || grep -qx 'title Morvantis' <<<"$out" || fail "morvantis $args: no box of its own: $out"
done <<'EOF'
console#--version#@version#0
box#--version#@version#0
console#--help#  --autostart #0
console#--bogus#morvantis: unknown option 'bogus'; usage: morvantis [--help | --version | --autostart [on|off] | --quit]#2
box#--bogus#morvantis: unknown option 'bogus'; usage: morvantis [--help | --version | --autostart [on|off] | --quit]#2
box#--autostart#Autostart is off#0
console#--autostart maybe#morvantis: --autostart takes on or off, not 'maybe'#2
EOF
pass "--version, --help, a usage error and --autostart print in the starting console, else in one box"

# ---- At 150 % (LogPixels 144): the window 1.5 times the face, and the desktop shows through its
# shape exactly where the background is see-through (the face's own pixels at 1.5 are
# test_face_ratio's, which runs under Wine too) ----
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 || fail "reg add LogPixels failed"
reg_settings ThemeNo=1 24Hours=False Left=1500 Top=1500 HourlyPlay=False
start_clock "$work" "2001-09-23 13:45:07"
wid=$(wait_window Main 300) || fail "the clock window did not appear at 150 %"
poll 10 drawn "$wid" || fail "the clock was never drawn at 150 %"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "${WIDTH}x$HEIGHT" = 863x360 ] || fail "at 150 % the window is ${WIDTH}x$HEIGHT, not 863x360"
convert "$skin/base.gif" -alpha extract "ppm:$work/alpha.ppm"
outline_right() {
  import -window root -depth 8 "ppm:$work/dpi.ppm" &&
    read -r _ wrong clear <<<"$(python3 "$src/tests/e2e/picture.py" outline "$work/alpha.ppm" 1.5 "$X" "$Y" 24 "$work/dpi.ppm")" &&
    [ "$wrong" = 0 ] && [ "$clear" -gt 0 ]
}
wrong=? clear=?
poll 5 outline_right || fail "at 150 % $wrong pixels of the corners show the desktop where the face is, or the face where it is see-through ($clear see-through)"
"$clock_exe" --quit >/dev/null 2>&1 || true
wait_exit 10 || fail "--quit ended the clock at 150 % with status $?"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || fail "reg add LogPixels failed"
pass "at 150 % the window is 863x360 and the desktop shows through its shape ($clear pixels) exactly where the face is see-through"

# ---- The installer: silent, per user, into a folder of the user's choice; the installed clock
# starts; an upgrade while it runs ends it (saving) and goes into the same folder; a clock that
# will not end stops the installer; the uninstaller ends the clock and removes every file ----
if [ -n "$installer" ]; then
  res=$(wine "$probe" resources "$(winpath "$installer")" | tr -d '\r')
  grep -qF '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' <<<"$res" ||
    { echo "$res"; fail "the installer is not DPI-aware"; }
  grep -qx "ProductVersion ${version#Morvantis }" <<<"$res" || { echo "$res"; fail "the installer has no version"; }
  chosen='C:\Clocks\Morvantis'
  wine "$installer" /S "/D=$chosen" >"$work/setup.log" 2>&1 || { cat "$work/setup.log"; fail "the silent install failed"; }
  folder=$(winepath -u "$chosen" 2>/dev/null)
  [ -f "$folder/morvantis.exe" ] && [ -f "$folder/Uninstall.exe" ] && [ -d "$folder/Skins" ] ||
    fail "the install left no program in $folder"
  uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvantis'
  entry() { wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v k="$1" '$1 == k { print $3 }'; }
  [ "$(entry InstallLocation)" = "$chosen" ] || fail "the uninstall entry names '$(entry InstallLocation)'"
  size=$(($(entry EstimatedSize)))
  on_disk=$(du -sk "$folder" | cut -f1)
  [ "$size" -gt $((on_disk * 9 / 10)) ] && [ "$size" -lt $((on_disk * 11 / 10)) ] ||
    fail "the uninstall entry says $size KB, the folder holds $on_disk KB"
  menu=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")
  [ -f "$menu/Morvantis.lnk" ] || fail "no Start-menu entry in $menu"
  printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$folder/morvantis.exe" >"$clock_exe"
  reg_settings ThemeNo=1 Left=1500 Top=1500 HourlyPlay=False
  launch_clock "$work"
  face_at_stored
  pass "the installer installs silently into the chosen folder ($size KB), with a Start-menu entry; the installed clock runs"

  drag_by 30 20
  rm "$folder/docs/skins.html"
  wine "$installer" /S >"$work/setup.log" 2>&1 || { cat "$work/setup.log"; fail "the upgrade failed (status $?)"; }
  wait_exit 10 || fail "the upgrade left the clock running, or it ended with status $?"
  stored_at $((ox * 15)) $((oy * 15)) || fail "the clock did not save before the upgrade: Left=$(reg_value Left) Top=$(reg_value Top)"
  [ -f "$folder/docs/skins.html" ] || fail "the upgrade did not install into the chosen folder"
  appdata=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
  [ ! -e "$(winepath -u "$appdata\\Programs\\Morvantis" 2>/dev/null)" ] || fail "the upgrade went to the default folder"
  pass "an upgrade ends the running clock, which saves, and installs into the folder chosen first"

  launch_clock "$work"
  face_window
  kill -STOP "$clock_pid"
  rm "$folder/docs/skins.html"
  status=0
  wine "$installer" /S >"$work/setup.log" 2>&1 || status=$?
  kill -CONT "$clock_pid"
  [ "$status" = 2 ] || fail "the installer ended with status $status beside a clock that does not end"
  [ ! -e "$folder/docs/skins.html" ] || fail "the installer wrote files beside a clock that does not end"
  pass "beside a clock that will not end the installer changes nothing and ends with status 2"

  wine "$folder/Uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller failed"
  wait_exit 20 || fail "the uninstaller left the clock running, or it ended with status $?"
  # The uninstaller copies itself away and removes the folder from there.
  poll 20 test ! -e "$folder" || fail "the uninstaller left $(find "$folder" | head -5)"
  poll 10 test ! -e "$menu/Morvantis.lnk" || fail "the uninstaller left the Start-menu entry"
  ! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller left its registration"
  [ "$(reg_count)" = 39 ] || fail "the uninstaller did not leave the user's settings"
  pass "the uninstaller ends the running clock, removes every file and leaves the settings"
fi
echo "e2e_windows: $passed checks passed"
