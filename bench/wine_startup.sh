#!/usr/bin/env bash
# Start-up under Wine, timed from the X event of the window's first map: TARVEX
# in an empty folder against Wine's notepad started by its file, in alternating
# rounds (median), each with its memory once started and the ratios; and TARVEX
# beside a prepared log (--log FILE, copied into its folder as LOG_TIMER.TXT).
# Runs on its own Xvfb and in its own prefix (build/bench/wineprefix).
# Usage: bench/wine_startup.sh [rounds] [--log FILE]
#   TARVEX_EXE=path times another build of tarvex.exe (an older one, say).
set -euo pipefail
trap 'echo "wine_startup: failed at line $LINENO" >&2' ERR

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ROUNDS=3
LOG_FILE=""
while [ $# -gt 0 ]; do
  case "$1" in
    --log) LOG_FILE="$2"; shift 2 ;;
    *) ROUNDS="$1"; shift ;;
  esac
done
WORK="$ROOT/build/bench/startup"
EXE="${TARVEX_EXE:-$ROOT/build/windows/tarvex.exe}"
SETTLE=1.5   # seconds after the map before the memory is read
TIMEOUT=60
# A start right after a killed one waits about 2 s on Wine's side, whatever
# program it is: every start comes this long after the last.
PAUSE=4

[ -n "${TARVEX_EXE:-}" ] || TARVEX_JOBS="${TARVEX_JOBS:-2}" "$ROOT/scripts/build" windows tarvex >/dev/null
mkdir -p "$WORK"
cc -O2 -o "$WORK/first_map" "$ROOT/bench/first_map.c" -lX11
# The program as released: without its debug sections, which Wine would load.
x86_64-w64-mingw32-objcopy --strip-all "$EXE" "$WORK/tarvex.exe"
EXE="$WORK/tarvex.exe"

export WINEPREFIX="$ROOT/build/bench/wineprefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/.tarvex-ready" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tarvex-ready"
fi

# A display of its own, free at the time.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true   # gone before another run starts one
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
# One server for every round, as on a desktop where Wine already runs.
wineserver -w >/dev/null 2>&1 || true
wineserver -p
wine "$WINEPREFIX/drive_c/windows/system32/cmd.exe" /c exit 0 >/dev/null 2>&1 || true

NOTEPAD="$WINEPREFIX/drive_c/windows/notepad.exe"
echo "text" >"$WORK/note.txt"

# A fresh folder holding only the program (and the log, when one is given).
fresh_folder() {
  local dir="$WORK/run"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$EXE" "$dir/tarvex.exe"
  [ -n "${1:-}" ] && cp "$1" "$dir/LOG_TIMER.TXT"
  echo "$dir"
}

# "<seconds> <rss KB> <peak KB>" of one start.
measure() {
  case "$1" in
    notepad) "$WORK/first_map" "$SETTLE" "$TIMEOUT" wine "$NOTEPAD" "Z:${WORK//\//\\}\\note.txt" ;;
    tarvex) dir=$(fresh_folder); (cd "$dir" && "$WORK/first_map" "$SETTLE" "$TIMEOUT" wine "$dir/tarvex.exe") ;;
    tarvexlog) dir=$(fresh_folder "$LOG_FILE"); (cd "$dir" && "$WORK/first_map" "$SETTLE" "$TIMEOUT" wine "$dir/tarvex.exe") ;;
  esac | cut -d' ' -f1-3
}

cases=(notepad tarvex)
[ -n "$LOG_FILE" ] && cases+=(tarvexlog)
declare -A secs rss peak
for ((round = 1; round <= ROUNDS; round++)); do
  for c in "${cases[@]}"; do
    read -r s r p <<<"$(measure "$c")"
    secs[$c]+="$s "; rss[$c]+="$r "; peak[$c]+="$p "
    sleep "$PAUSE"
  done
done

median() { tr ' ' '\n' <<<"$1" | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
declare -A label=([notepad]="Wine notepad (its file)" [tarvex]="TARVEX, empty folder"
                  [tarvexlog]="TARVEX beside $(basename "${LOG_FILE:-x}")")
echo; echo "Start-up under Wine to the main window mapped, median of $ROUNDS alternating rounds"
printf '%-30s %9s %8s %10s %8s %10s %8s\n' case "map s" ratio "rss MB" ratio "peak MB" ratio
n_s=$(median "${secs[notepad]}"); n_r=$(median "${rss[notepad]}"); n_p=$(median "${peak[notepad]}")
for c in "${cases[@]}"; do
  s=$(median "${secs[$c]}"); r=$(median "${rss[$c]}"); p=$(median "${peak[$c]}")
  printf '%-30s %9s %7.2fx %10.1f %7.2fx %10.1f %7.2fx\n' "${label[$c]}" "$s" "$(echo "scale=4; $s / $n_s" | bc)" \
    "$(echo "scale=1; $r / 1024" | bc)" "$(echo "scale=4; $r / $n_r" | bc)" \
    "$(echo "scale=1; $p / 1024" | bc)" "$(echo "scale=4; $p / $n_p" | bc)"
done
if [ -n "$LOG_FILE" ]; then
  t=$(median "${secs[tarvex]}"); l=$(median "${secs[tarvexlog]}")
  echo "Beside the log vs the empty folder: x$(echo "scale=2; $l / $t" | bc)"
fi
