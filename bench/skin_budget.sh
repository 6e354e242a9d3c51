#!/usr/bin/env bash
# Start-up time and peak memory of the real program (Release) under Xvfb for three skins:
# the shipped default, the largest the pixel budget accepts (every picture but the background
# enlarged until the next step would pass the budget) and a hostile one the budget refuses
# (forty 4096 x 4096 pictures of a few kilobytes each). Medians of N runs.
# Usage: bench/skin_budget.sh [build-dir] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-rel}
runs=${2:-5}
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")"
export XDG_RUNTIME_DIR="$work/run"; mkdir -p -m 700 "$XDG_RUNTIME_DIR"

prog="$work/prog"
da="$root/data/Skins/Digital Age"
mkdir -p "$prog/Skins"
cp "$build/morvantis" "$prog/"
cp -r "$da" "$prog/Skins/A Default"
budget=$((4 * 575 * 240)) # at a device-pixel ratio of 1

# The largest accepted: the background as shipped, every other picture scaled up.
total_of() { identify -format '%w %h\n' "$1"/*.gif | awk '{t += $1 * $2} END {print t}'; }
for pct in $(seq 240 -1 100); do
  rm -rf "$work/big"; cp -r "$da" "$work/big"
  for f in "$work/big"/*.gif; do
    [ "$(basename "$f")" = base.gif ] || mogrify -filter point -resize "${pct}%" "$f"
  done
  t=$(total_of "$work/big")
  [ "$t" -le "$budget" ] && break
done
mv "$work/big" "$prog/Skins/B Largest"
echo "largest accepted: pictures at ${pct}%, $t of $budget pixels"

# The refused: forty pictures of 4096 x 4096.
cp -r "$da" "$prog/Skins/C Hostile"
convert -size 4096x4096 xc:black "$work/huge.gif"
for f in "$prog/Skins/C Hostile"/*.gif; do cp "$work/huge.gif" "$f"; done
echo "hostile: 40 pictures of 4096x4096, $(stat -c %s "$work/huge.gif") bytes each"

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
now_ms() { date +%s%3N; }
visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }

run_once() { # theme-no -> "ms kb"
  local home="$work/home$1"
  mkdir -p "$home/Morvantis"
  printf '[StartUp]\nThemeNo=%s\n' "$1" >"$home/Morvantis/Morvantis.conf"
  local t0 t1 id=
  t0=$(now_ms)
  XDG_CONFIG_HOME="$home" /usr/bin/time -f '%M' -o "$work/time.out" "$prog/morvantis" >/dev/null 2>&1 &
  local tp=$!
  # The time to the clock window, or to the skin's error message.
  for _ in $(seq 600); do
    id=$(visible Main); [ -n "$id" ] && break
    id=$(visible "Error Loading Sking"); [ -n "$id" ] && break
    sleep 0.02
  done
  t1=$(now_ms)
  if [ -n "$(visible 'Error Loading Sking')" ]; then
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key Return
    for _ in $(seq 300); do [ -n "$(visible Main)" ] && break; sleep 0.02; done
  fi
  sleep 0.5
  pkill -TERM -P "$tp" 2>/dev/null || true
  wait "$tp" || true
  echo "$((t1 - t0)) $(cat "$work/time.out")"
}

printf '%-34s %12s %14s\n' skin "start-up ms" "peak RSS MB"
for n in 0 1 2; do
  : >"$work/ms"; : >"$work/kb"
  for _ in $(seq "$runs"); do
    read -r ms kb <<<"$(run_once "$n")"
    echo "$ms" >>"$work/ms"; echo "$kb" >>"$work/kb"
  done
  name=$(ls "$prog/Skins" | sed -n "$((n + 1))p")
  awk -v n="$name" -v m="$(median <"$work/ms")" -v k="$(median <"$work/kb")" \
    'BEGIN {printf "%-34s %12d %14.1f\n", n, m, k / 1024}'
done
