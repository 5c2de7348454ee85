# Sourced by the scripts that run torvane.exe: the build's own Wine prefix, made on first
# use, in the Japanese locale that gives Wine code page 932.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$root/build/run-wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 PYTHONDONTWRITEBYTECODE=1
exe="$root/dist/torvane.exe"

if [ ! -f "$exe" ]; then
  echo "$exe is missing: run make first" >&2
  exit 1
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "making the Wine prefix $WINEPREFIX" >&2
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

xvfb_pid=
# Starts a virtual display of our own (Xvfb picks a free number) and exports DISPLAY.
start_virtual_display() {
  exec {fd}< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
  read -r -u "$fd" _ xvfb_pid
  local number
  read -r -u "$fd" number
  export DISPLAY=":$number"
}

stop_wine_and_display() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}

# Prints the X window of Torvane's main window once it shows (waits up to 20 s).
wait_for_main_window() {
  local tries
  for tries in $(seq 200); do
    xdotool search --onlyvisible --name '^Torvane$' 2>/dev/null | tail -n 1 | grep . && return 0
    sleep 0.1
  done
  echo "Torvane's window did not show" >&2
  return 1
}
