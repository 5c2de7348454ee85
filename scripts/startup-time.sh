#!/usr/bin/env bash
# Measures, on a virtual display with a warm Wine prefix, the time from starting torvane.exe
# under Wine to its main window being shown: first with Wine's server already running (as
# when another Wine program is open), then with Wine started from nothing each time.
# Prints the median of each.   usage: startup-time.sh [runs]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
runs=${1:-5}

trap stop_wine_and_display EXIT
start_virtual_display

# Prints the milliseconds from starting torvane.exe to its window showing; leaves it open.
time_one_start() {
  local start tries
  start=$(date +%s%N)
  wine "$exe" >/dev/null 2>&1 &
  for tries in $(seq 2000); do
    xdotool search --onlyvisible --name '^Torvane$' >/dev/null 2>&1 && break
    sleep 0.01
  done
  echo $(( ($(date +%s%N) - start) / 1000000 ))
}

median() {
  sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

# By its menu command 終了, as a person would.
close_torvane() {
  local window
  window=$(wait_for_main_window)
  xdotool windowfocus --sync "$window" key F10 Down Return
  while xdotool search --onlyvisible --name '^Torvane$' >/dev/null 2>&1; do sleep 0.05; done
}

wineserver -p
time_one_start >/dev/null   # warm-up: Wine's own services start with the first program
close_torvane
for run in $(seq "$runs"); do
  time_one_start
  close_torvane
done | median | sed 's/^/Wine already running: median ms /'

for run in $(seq "$runs"); do
  wineserver -k; wineserver -w || true
  time_one_start
done | median | sed 's/^/Wine started each time: median ms /'
