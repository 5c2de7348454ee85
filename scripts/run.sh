#!/usr/bin/env bash
# Opens Torvane under Wine. With a display ($DISPLAY) it opens there for you to use. Without
# one it runs on a virtual display: drops samples/sample.txt onto the window by drag and
# drop, prints the subtitles written (as UTF-8) and saves a screenshot of the window.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi

trap stop_wine_and_display EXIT
start_virtual_display
wine "$exe" >/dev/null 2>&1 &
window=$(wait_for_main_window)

# A copy, so that the subtitles are written in build/ rather than beside the committed sample.
work="$root/build/run"
mkdir -p "$work"
cp "$root/samples/sample.txt" "$work/sample.txt"
rm -f "$work/sample.srt"
/usr/bin/python3 "$root/tests/e2e/xdnd.py" "$window" "$work/sample.txt"
for tries in $(seq 100); do
  [ -s "$work/sample.srt" ] && break
  sleep 0.1
done
sleep 0.5
echo "== $work/sample.srt (Shift-JIS, shown as UTF-8) =="
iconv -f SHIFT_JIS -t UTF-8 "$work/sample.srt" | tr -d '\r'
import -window "$window" "$root/build/torvane-window.png"
echo "== screenshot: $root/build/torvane-window.png =="
