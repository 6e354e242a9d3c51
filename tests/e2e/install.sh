#!/usr/bin/env bash
# The installed program: a staged install (DESTDIR) checked and run end to end under Xvfb,
# the autostart switch, uninstalling it again, and the Debian package: its contents, lintian,
# and the package installed for real, run and purged (when this runs as root or with sudo).
# Usage: install.sh <build folder> <source folder> <sound_segments>
set -euo pipefail
build=$1
src=$2
segments=$3
source "$(dirname "$0")/lib.sh"
need_faketime
start_display

# ---- 1. A staged install: the files a desktop expects, valid ----
stage="$work/staged install" # a blank in the path: the autostart entry must quote it
DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install failed"; }
usr="$stage/usr"
share="$usr/share/morvantis"
id=org.morvantis.Morvantis
player=morvantis_player.so # the wave player, loaded on the first sound
for f in bin/morvantis "share/morvantis/Skins/Digital Age/info.txt" share/morvantis/wave/time.WAV \
  share/morvantis/alarm.wav share/morvantis/docs/skins.html share/applications/$id.desktop \
  share/metainfo/$id.metainfo.xml share/doc/morvantis/copyright share/icons/hicolor/scalable/apps/$id.svg \
  lib/morvantis/$player share/doc/morvantis/README.md share/doc/morvantis/changelog.gz share/man/man1/morvantis.1.gz; do
  [ -f "$usr/$f" ] || fail "$f is not installed"
done
for size in 48 128 256; do
  got=$(identify -format '%wx%h' "$usr/share/icons/hicolor/${size}x${size}/apps/$id.png" 2>&1) || fail "no $size px icon"
  [ "$got" = "${size}x${size}" ] || fail "the $size px icon is $got"
done
[ "$(ls "$usr/bin")" = morvantis ] || fail "bin/ holds $(ls "$usr/bin")"
desktop-file-validate "$usr/share/applications/$id.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 || { cat "$work/as.log"; fail "the metainfo is not valid"; }
man -l "$usr/share/man/man1/morvantis.1.gz" 2>/dev/null | grep -q -- '--autostart' || fail "the manual page does not show"
pass "cmake --install puts program, data, documents, manual page, desktop entry, metainfo and icons in place, all valid"

# ---- 2. The installed program finds its data in share/morvantis and shows the face ----
# A sound server of our own, so that the installed program can be heard.
sound=yes
start_sound_server || sound=no
clock_exe="$usr/bin/morvantis"
skin="$share/Skins/Digital Age"
home="$work/home"
# A first run (no skin stored) in 12-hour style, with a default alarm sound stored under a
# folder that is gone and a chosen chime that is gone too.
write_settings "$home" "24Hours=False" "Left=1500" "Top=1500" \
  "DefaultAlarm=True" "AlarmPath=/gone/old-place/alarm.wav" \
  "DefaultSound=False" "SoundPath=/gone/my-chime.wav"
start_clock "$home" "2001-09-23 13:45:07"
wid=$(wait_window Main) || { cat "$work/clock.log"; fail "the installed clock showed no window"; }
read -r ox oy <<<"$(window_origin "$wid")"
poll 10 shows expect_face_134507 || expect_face_134507
[ "$(xprop -id "$wid" WM_CLASS)" = 'WM_CLASS(STRING) = "morvantis", "Morvantis"' ] ||
  fail "window class $(xprop -id "$wid" WM_CLASS) does not match StartupWMClass"
grep -qx 'StartupWMClass=Morvantis' "$usr/share/applications/$id.desktop" || fail "StartupWMClass changed"
pass "the installed clock shows 1:45:07 PM in Digital Age; its window class matches the desktop entry"

# SAY TIME: heard only when the installed program finds its wave player.
if [ $sound = yes ]; then
  record "$work/say.raw"
  xdotool mousemove $((ox + 509)) $((oy + 70)) click 1
  # The words heard, then a second without more (or ten seconds of nothing).
  poll 10 quiet_after_sound "$work/say.raw" 1 || true
  stop_recording
  "$segments" "$work/say.raw" >"$work/say.txt"
  [ -s "$work/say.txt" ] || { cat "$work/clock.log"; fail "SAY TIME was not heard from the installed program"; }
  pass "SAY TIME is heard: the installed program loads its wave player from lib/morvantis"
else
  echo "SKIP: PulseAudio could not start: $(head -n1 "$work/pulse.log")"
fi

# ---- 3. EXIT writes paths under the installed share folder ----
xdotool mousemove $((ox + 467 + 42)) $((oy + 167 + 11)) click 1
wait_exit 20 || fail "the exit button did not end the installed program (status $?)"
conf=$(settings_file "$home")
expect_key() { grep -qxF "$1" "$conf" || { cat "$conf"; fail "expected $1"; }; }
expect_key "SkinPath=$share/skins"
expect_key "Path=$share"
expect_key "AlarmPath=$share/alarm.wav"   # the default sound follows the program
expect_key "SoundPath=/gone/my-chime.wav" # a chosen one stays
pass "EXIT writes SkinPath, Path and the default AlarmPath under the installed share folder"

# ---- 4. Autostart, without a display ----
auto() { env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$home" "$clock_exe" --autostart "$@"; }
entry="$home/autostart/morvantis.desktop"
[ "$(auto)" = "Autostart is off" ] || fail "autostart was on before it was asked"
[ "$(auto on)" = "Autostart is on: $entry" ] || fail "--autostart on answered otherwise"
desktop-file-validate "$entry" || fail "the autostart entry is not valid"
grep -qxF "Exec=\"$clock_exe\"" "$entry" && grep -qxF "TryExec=$clock_exe" "$entry" || { cat "$entry"; fail "the autostart entry does not start the installed program"; }
[ "$(auto)" = "Autostart is on: $entry" ] || fail "bare --autostart does not see the entry"
[ "$(auto off)" = "Autostart is off" ] && [ ! -e "$entry" ] || fail "--autostart off left the entry"
status=0; auto sometimes >/dev/null 2>"$work/err" || status=$?
[ "$status" = 2 ] && [ "$(wc -l <"$work/err")" = 1 ] || fail "a bad value gave status $status: $(cat "$work/err")"
pass "--autostart on, bare and off write, report and remove the entry; a bad value exits 2"

# ---- 5. Uninstalling what cmake --install put in place, as the README says ----
own_skin="$share/Skins/My Own" # a skin added by hand stays, and so do the folders that hold it
mkdir -p "$own_skin" && echo "mine" >"$own_skin/info.txt"
manifest="$build/install_manifest.txt"
installed=$(wc -l <"$manifest")
grep -q '/Amber Glow/' "$manifest" || fail "the install manifest lists no file of Amber Glow"
DESTDIR="$stage" cmake --build "$build" --target uninstall >"$work/uninstall.log" 2>&1 || { cat "$work/uninstall.log"; fail "the uninstall target failed"; }
left=$(cd "$stage" && find . -type f ! -path "./usr/share/morvantis/Skins/My Own/*")
[ -z "$left" ] || fail "uninstalling left files: $left"
[ -f "$own_skin/info.txt" ] || fail "uninstalling removed a skin added by hand"
for d in "$share/Skins/Amber Glow" "$share/wave" "$usr/lib/morvantis" "$usr/share/doc/morvantis"; do
  [ ! -e "$d" ] || fail "uninstalling left the emptied folder $d"
done
pass "the uninstall target removes all $installed installed files (names with blanks too) and the emptied folders; a skin added by hand stays"

# ---- 6. The Debian package ----
start=$(date +%s)
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/morvantis_*.deb)
seconds=$(($(date +%s) - start))
dpkg-deb --contents "$deb" | awk '{ $1=$2=$3=$4=$5=""; print substr($0, 6) }' >"$work/contents"
for f in ./usr/bin/morvantis "./usr/share/morvantis/Skins/Digital Age/lcd.gif" ./usr/share/morvantis/alarm.wav \
  ./usr/share/morvantis/wave/time.WAV ./usr/share/morvantis/docs/skins.html ./usr/share/applications/$id.desktop \
  ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/256x256/apps/$id.png ./usr/share/doc/morvantis/copyright \
  ./usr/lib/morvantis/$player ./usr/share/doc/morvantis/README.md ./usr/share/man/man1/morvantis.1.gz; do
  grep -qxF "$f" "$work/contents" || { cat "$work/contents"; fail "the package lacks $f"; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6gui6 libc6; do
  [[ "$depends" == *"$d"* ]] || fail "the package does not depend on $d: $depends"
done
pass "cpack -G DEB built $(basename "$deb") in ${seconds}s with the expected files; Depends: $depends"

lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1 && ! grep -q '^[EW]:' "$work/lintian.log" ||
  { cat "$work/lintian.log"; fail "lintian found errors or warnings"; }
infos=$(grep '^I:' "$work/lintian.log" | cut -d' ' -f3 | sort | uniq -c | awk '{ printf "%s%s x%s", sep, $2, $1; sep=", " }')
pass "lintian $(lintian --version | awk '{ print $2 }'): no errors, no warnings; info: ${infos:-none}"

# ---- 7. The package installed for real, run, purged ----
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"
if ! $sudo true 2>/dev/null; then
  echo "SKIP: installing the package needs root or sudo without a password"
  echo "$passed passed, 0 failed"
  exit 0
fi
# One package test at a time on this machine (scripts/try-deb takes the same lock).
exec 9>/tmp/morvantis-package.lock
flock -w 240 9 || fail "another package test held /tmp/morvantis-package.lock for 4 minutes"
if dpkg-query -W -f='${Status}' morvantis 2>/dev/null | grep -q 'install ok installed'; then
  echo "SKIP: morvantis is installed on this machine already; not replacing it"
  echo "$passed passed, 0 failed"
  exit 0
fi
apt() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 -y -qq "$@" >>"$work/apt.log" 2>&1; }
purge() { apt purge morvantis || true; }
trap 'purge; cleanup' EXIT
apt install --no-install-recommends "$deb" || { cat "$work/apt.log"; fail "apt-get could not install the package"; }
[ "$(man -w morvantis)" = /usr/share/man/man1/morvantis.1.gz ] || fail "man does not find the manual page"
clock_exe=/usr/bin/morvantis
pkg_home="$work/package home"
launch_clock "$pkg_home"
wait_window Main >/dev/null || { cat "$work/clock.log"; fail "the installed package's clock showed no window"; }
status=0
XDG_CONFIG_HOME="$pkg_home" "$clock_exe" >"$work/second.out" 2>&1 || status=$?
[ "$status" = 0 ] && kill -0 "$clock_pid" || fail "a second start of the package's clock gave status $status: $(cat "$work/second.out")"
stop_clock
apt purge morvantis || { cat "$work/apt.log"; fail "apt-get could not purge the package"; }
trap cleanup EXIT
left=""
while IFS= read -r f; do
  if [[ "$f" != */ ]] && { [ -e "${f#.}" ] || [ -L "${f#.}" ]; }; then # folders may be shared
    left+="${f#.} "
  fi
done <"$work/contents"
for d in /usr/share/morvantis /usr/lib/morvantis /usr/share/doc/morvantis; do
  if [ -e "$d" ]; then left+="$d "; fi
done
[ -z "$left" ] || fail "purging left: $left"
pass "the package installs with apt-get, its clock runs and answers a second start, and purging leaves none of its $(grep -cv '/$' "$work/contents") files"

echo "$passed passed, 0 failed"
