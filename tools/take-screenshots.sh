#!/bin/bash
# Takes the README's screenshots again: docs/screenshots/{windows,linux}-{main,browser}.png.
#
# On a virtual X screen of its own (Xvfb), it plays a user through each program: Zentora.exe
# under Wine in a Wine virtual desktop (which draws the title bars) and the Linux program
# under a small window manager (openbox). It opens the Operations menu over the main window,
# then "See Data" on a sample database: the record browser moves to the second record and
# shows its first field's value in the viewer. The Windows program is shown in Spanish, the
# Linux one switched to English through its Languages menu.
#
# Installs what it lacks (Xvfb, xdotool, ImageMagick, x11-utils, openbox)
# with apt-get, builds what it needs, and works in a temporary folder: the programs' folders
# (with the sample database beside each program) and nothing of build/zentora. Its Wine
# prefix is its own (kept between runs, so later runs start warm): nothing of another Wine
# run is touched. Every process it starts ends with it, whatever way it ends.
#
#   tools/take-screenshots.sh                         # 30-40 s once the builds exist
#   SCREENSHOT_TIMEOUT=120 tools/take-screenshots.sh   # a slower machine: wait longer
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/docs/screenshots
TIMEOUT=${SCREENSHOT_TIMEOUT:-60}  # seconds any one window may take to come
JOBS=${JOBS:-2}
SCREEN=1024x1024  # tall enough for the whole record browser (895 pixels of client area)
export WINEPREFIX=${ZENTORA_SCREENSHOT_PREFIX:-${TMPDIR:-/tmp}/zentora-screenshots-wine}

say() { echo "take-screenshots: $*"; }

WORK=""
XVFB_PID=""
WM_PID=""
APP_PID=""
WINE_STARTED=""

# Ends every process of this script's own Wine prefix, and only those.
stop_wine() {
  # shellcheck source=tests/wine/env.sh
  (. "$ROOT/tests/wine/env.sh" && wineserver -k) >/dev/null 2>&1 || true
}

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  if [ -n "$APP_PID" ]; then kill "$APP_PID" 2>/dev/null || true; fi
  if [ -n "$WINE_STARTED" ]; then stop_wine; fi
  if [ -n "$WM_PID" ]; then kill "$WM_PID" 2>/dev/null || true; fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  if [ -n "$WORK" ]; then rm -rf "$WORK"; fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Fails with a message; the screen as it was is kept for a look at what came instead.
die() {
  echo "take-screenshots: error: $*" >&2
  if [ -n "${DISPLAY:-}" ] && [ -n "$XVFB_PID" ]; then
    local shot=${TMPDIR:-/tmp}/zentora-screenshots-failure.png
    import -window root "$shot" 2>/dev/null && echo "take-screenshots: the screen at that moment: $shot" >&2
  fi
  exit 1
}

# --- tools -----------------------------------------------------------------------------
install_missing() {
  local wanted=() pair
  for pair in Xvfb:xvfb xdotool:xdotool import:imagemagick xwininfo:x11-utils xprop:x11-utils \
              openbox:openbox; do
    command -v "${pair%%:*}" >/dev/null 2>&1 || wanted+=("${pair#*:}")
  done
  [ ${#wanted[@]} -eq 0 ] && return
  [ "$(id -u)" -eq 0 ] || die "missing ${wanted[*]}: run as root, or install them first"
  say "installing ${wanted[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y --no-install-recommends "${wanted[@]}" >/dev/null ||
    { apt-get update >/dev/null && apt-get install -y --no-install-recommends "${wanted[@]}" >/dev/null; } ||
    die "could not install ${wanted[*]}"
}

# --- builds ----------------------------------------------------------------------------
# The optimised Linux program (what make run-linux starts), Zentora.exe, and the tool that
# writes the sample database; only these targets, not every test of their builds.
build() {
  say "building"
  cd "$ROOT"
  make -s linux-release >/dev/null || die "make linux-release failed"
  for preset_target in win32:Zentora linux:write_sample_database; do
    local preset=${preset_target%%:*} target=${preset_target#*:}
    cmake --preset "$preset" >/dev/null || die "cmake --preset $preset failed"
    cmake --build --preset "$preset" --target "$target" -j "$JOBS" >/dev/null ||
      die "building $target ($preset) failed"
  done
}

# A program folder: the program and the sample database "Muestra" beside it.
program_folder() {
  local folder=$1 program=$2
  mkdir -p "$folder"
  cp "$program" "$folder/"
  "$ROOT/build/linux/tests/reader/write_sample_database" "$folder" Muestra >/dev/null ||
    die "could not write the sample database in $folder"
}

# --- the screen ------------------------------------------------------------------------
start_screen() {
  : >"$WORK/display"
  Xvfb -displayfd 3 -screen 0 "${SCREEN}x24" -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local _
  for _ in $(seq 100); do
    [ -s "$WORK/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || die "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    sleep 0.1
  done
  [ -s "$WORK/display" ] || die "Xvfb gave no display within 10 s"
  DISPLAY=":$(head -n1 "$WORK/display")"
  export DISPLAY
  say "virtual screen $DISPLAY ($SCREEN)"
}

# Waits for a shown window whose title matches the pattern; prints its id.
wait_window() {
  local pattern=$1 what=$2 id
  id=$(timeout "$TIMEOUT" xdotool search --sync --onlyvisible --name "$pattern" 2>/dev/null | head -n1) ||
    true
  [ -n "$id" ] || die "$what (a window titled like '$pattern') did not come within $TIMEOUT s"
  echo "$id"
}

# The window's place on the screen with its frame: "x y width height". A window manager's
# frame is around the window (_NET_FRAME_EXTENTS); Wine's desktop draws it inside.
frame_of() {
  local id=$1 x y w h l=0 r=0 t=0 b=0 extents
  read -r x y w h < <(xwininfo -id "$id" | awk '
    /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}')
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',')
  [ -n "$extents" ] && read -r l r t b <<<"$extents"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# A click at a point of the window, in pixels from its top-left corner (Wine's frame included).
click_in() {
  local id=$1 dx=$2 dy=$3 x y
  read -r x y < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
  xdotool mousemove "$((x + dx))" "$((y + dy))" click 1
}

# Fails when a shown window other than the expected ones is on the screen (a message box,
# Wine's crash dialog): a picture must never show one.
only_windows() {
  local allowed=$1 id name
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
    [[ $name =~ $allowed ]] || die "an unexpected window '$name' is on the screen"
  done
}

# The whole screen with its one-colour background trimmed away: what stands on it, tight.
shoot_trimmed() {
  import -window root -trim +repage -strip "PNG24:$1" || die "could not capture $1"
}

# The part of the screen that the given windows cover together, frames included.
shoot_windows() {
  local out=$1 id x y w h left=999999 top=999999 right=0 bottom=0
  shift
  for id in "$@"; do
    read -r x y w h < <(frame_of "$id")
    ((x < left)) && left=$x
    ((y < top)) && top=$y
    ((x + w > right)) && right=$((x + w))
    ((y + h > bottom)) && bottom=$((y + h))
  done
  ((left < 0)) && left=0
  ((top < 0)) && top=0
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip "PNG24:$out" ||
    die "could not capture $out"
}

# --- one program: the main window with its menu open, then the record browser ----------
# Arguments: the build's name, the main window's id, its window-relative points (the first
# menu's title; the browser's client top, where its menu bar ends), and the titles in force.
# Both programs lay the browser out alike: the record counter's arrows on the first row
# (the next one at x 269..284, y 5..20), the field lines below from y 25, 21 pixels apart.
play() {
  local name=$1 main=$2 menu_x=$3 menu_y=$4 browser_top=$5 t_name=$6 t_browser=$7 t_viewer=$8 allowed=$9
  local browser viewer
  click_in "$main" "$menu_x" "$menu_y"  # Operations
  sleep 1                              # the menu drops down
  only_windows "$allowed"
  shoot_trimmed "$OUT/$name-main.png"
  xdotool key Down Down Down Return   # New, Insert Data, See Data
  wait_window "$t_name" "the database-name dialog" >/dev/null
  sleep 0.5
  xdotool type --delay 50 Muestra
  xdotool key Tab space               # the Accept button
  browser=$(wait_window "$t_browser" "the record browser")
  sleep 1
  click_in "$browser" 276 "$((browser_top + 12))"   # next record: 2 of 3
  sleep 1
  click_in "$browser" 105 "$((browser_top + 35))"   # the first field line: its value
  viewer=$(wait_window "$t_viewer" "the value viewer")
  sleep 1
  only_windows "$allowed"
  shoot_windows "$OUT/$name-browser.png" "$browser" "$viewer"
}

windows_shots() {
  local folder=$WORK/windows main
  program_folder "$folder" "$ROOT/build/win32/Zentora.exe"
  say "Windows program under Wine (prefix $WINEPREFIX)"
  WINE_STARTED=1
  "$ROOT/tests/wine/prepare.sh" >/dev/null || die "the Wine prefix could not be prepared"
  "$ROOT/tests/wine/run.sh" explorer "/desktop=Zentora,$SCREEN" "$folder/Zentora.exe" >"$WORK/wine.log" 2>&1 &
  APP_PID=$!
  main=$(wait_window '^BASES DE DATOS$' "Zentora.exe's main window")
  sleep 2  # the desktop finishes drawing
  # Wine draws a 3-pixel border and a 19-pixel title bar; the menu bar is 19 pixels more.
  play windows "$main" 40 31 42 '^Nombre base de datos$' '^Visualizaci' '^Visualizar cadena$' \
    '^(BASES DE DATOS|Visualizaci.*|Visualizar cadena|Zentora - Wine desktop)$'
  stop_wine
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
}

linux_shots() {
  local folder=$WORK/linux main
  program_folder "$folder" "$ROOT/build/linux-release/zentora"
  # A build made to keep its databases in the user's data folder finds them here instead,
  # and the user's own folder stays untouched.
  export XDG_DATA_HOME=$WORK/linux-data
  mkdir -p "$XDG_DATA_HOME/zentora"
  "$ROOT/build/linux/tests/reader/write_sample_database" "$XDG_DATA_HOME/zentora" Muestra >/dev/null ||
    die "could not write the sample database in $XDG_DATA_HOME/zentora"
  say "Linux program under openbox"
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  WM_PID=$!
  local _
  for _ in $(seq $((TIMEOUT * 10))); do  # a manager announces itself on the root window
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill -0 "$WM_PID" 2>/dev/null || die "openbox did not start: $(cat "$WORK/openbox.log")"
    sleep 0.1
  done
  "$folder/zentora" >"$WORK/zentora.log" 2>&1 &
  APP_PID=$!
  main=$(wait_window '^BASES DE DATOS$' "zentora's main window")
  sleep 1
  # Languages > English: the menu bar's second menu, its second item.
  click_in "$main" 50 12
  sleep 0.5
  xdotool key Right Down Down Return
  main=$(wait_window '^DATABASES$' "the main window in English")
  sleep 0.5
  # FLTK's menu bar is part of the window, 25 pixels tall.
  play linux "$main" 50 12 25 '^Database name$' '^Display$' '^Text string viewer$' \
    '^(DATABASES|Display|Text string viewer|Openbox)$'
  kill "$APP_PID" 2>/dev/null || true
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
}

main() {
  local started=$SECONDS
  install_missing
  build
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/zentora-screenshots.XXXXXX")
  mkdir -p "$OUT"
  start_screen
  windows_shots
  linux_shots
  say "done in $((SECONDS - started)) s:"
  (cd "$OUT" && for f in windows-main.png windows-browser.png linux-main.png linux-browser.png; do
     identify -format "  docs/screenshots/%f  %wx%h  %b\n" "$f"
   done)
}

main "$@"
