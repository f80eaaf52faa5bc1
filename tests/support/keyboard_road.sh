# Sourced by the keyboard roads of both desktop builds: a virtual X screen of its own (1024x768,
# or ROAD_SCREEN, say 800x600), and the steps a road takes on it. The road sets WORK (a folder
# of its own) and SHOTS (a folder for screenshots, or empty) first.
ROAD_SCREEN=${ROAD_SCREEN:-1024x768}
SCREEN_WIDTH=${ROAD_SCREEN%x*}
SCREEN_HEIGHT=${ROAD_SCREEN#*x}

fail() { echo "keyboard road: $*" >&2; [ -n "$SHOTS" ] && import -window root "$SHOTS/failed.png"; exit 1; }

# Starts the screen; XVFB_PID is its process.
start_screen() {
  DISPLAY_NUMBER=$((200 + $$ % 500))
  export DISPLAY=:$DISPLAY_NUMBER
  Xvfb "$DISPLAY" -screen 0 "${ROAD_SCREEN}x24" -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
}

# The window whose title matches, once it shows (within ROAD_WAIT_TENTHS tenths of a second,
# 100 unless the road says); fails the road when it never does.
wait_window() {
  echo "  waiting for $1" >&2
  xdotool search --sync --onlyvisible --name "$1" >/dev/null 2>&1 &
  local waiter=$!
  for _ in $(seq "${ROAD_WAIT_TENTHS:-100}"); do kill -0 $waiter 2>/dev/null || return 0; sleep 0.1; done
  kill $waiter; fail "no window '$1' appeared"
}
# The place and size of the window whose title matches: X, Y, WIDTH and HEIGHT. (xwininfo's
# absolute corner is right where a window sits inside another, under a window manager or on
# Wine's virtual desktop.)
measure_window() {
  local window info
  window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
  [ -n "$window" ] || fail "no window '$1' to measure"
  info=$(xwininfo -id "$window")
  X=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  Y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  WIDTH=$(awk '/Width:/ {print $NF}' <<<"$info")
  HEIGHT=$(awk '/Height:/ {print $NF}' <<<"$info")
}

# The window whose title matches lies wholly on the screen (its title bar may sit above it).
check_fits() {
  local X Y WIDTH HEIGHT
  measure_window "$1"
  if [ "$X" -lt 0 ] || [ "$Y" -lt 0 ] || [ $((X + WIDTH)) -gt "$SCREEN_WIDTH" ] || [ $((Y + HEIGHT)) -gt "$SCREEN_HEIGHT" ]; then
    fail "window '$1' (${WIDTH}x${HEIGHT} at $X,$Y) does not fit the ${ROAD_SCREEN} screen"
  fi
}
keys() { local key; for key in "$@"; do sleep 0.4; xdotool key "$key"; done; }
typed() { sleep 0.4; xdotool type --delay 80 "$1"; }
shot() { [ -n "$SHOTS" ] && import -window root "$SHOTS/$1.png"; }

# Operaciones > Nuevo > Base de Datos, opened by the keys $1 ("F10", or "F10 Return" where F10
# only marks the menu bar): the database agenda with one text field. Then Insertar Datos by Alt
# and the letters: a value, and Enter on the message; then a second record, Insertar Datos
# opened by the keys $2, abandoned: Escape, then Tab to "Sí" and Enter.
make_database_and_records() {
  # shellcheck disable=SC2086  # $1 and $2 are lists of keys
  keys $1 n b
  wait_window "Nombre base de datos"; typed agenda; keys Return
  wait_window "Define un campo"; check_fits "Define un campo"; shot define-field; typed Nombre
  keys Tab Down Down Tab Tab; typed 10; keys Return   # Cadena, size 10

  keys alt+o i
  wait_window "Nombre base de datos"; typed agenda; keys Return
  wait_window "Insertar Cadena"; check_fits "Insertar Cadena"; typed Ana; keys Return
  wait_window "Programador"; shot message; keys Return

  # shellcheck disable=SC2086
  keys $2 i
  wait_window "Nombre base de datos"; typed agenda; keys Return
  wait_window "Insertar Cadena"; typed Luis; keys Escape
  wait_window "Programador"; keys Tab Return
}

# Estructura Datos, opened by the keys $1: the structure viewer fits the screen, Escape closes it.
see_structure() {
  # shellcheck disable=SC2086  # $1 is a list of keys
  keys $1 e
  wait_window "Nombre base de datos"; typed agenda; keys Return
  wait_window "Visualizar memotext"; check_fits "Visualizar memotext"; shot structure; keys Escape
  sleep 0.5
}

# What the road leaves in $WORK/program: one field, the one record "Ana" (three entries of 96
# bytes; the abandoned "Luis" left nothing) and English chosen.
check_files() {
  local structure="$WORK/program/agenda/agenda.z04" data="$WORK/program/agenda/agenda.zbd"
  [ "$(stat -c %s "$structure" 2>/dev/null)" = 80 ] || fail "the structure does not hold one field"
  [ "$(stat -c %s "$data" 2>/dev/null)" = 288 ] || fail "the data file holds $(stat -c %s "$data" 2>/dev/null) bytes, not 288"
  tr -d '\0' <"$WORK/program/Configuracion.ini" | grep -aEq "Idioma *= *5" || fail "the language was not switched to English"
  echo "keyboard road: passed"
}
