#!/bin/bash
# Zentora.exe under Wine, on a virtual desktop the size of a virtual X screen (1024x768, or
# ROAD_SCREEN; every dialog must fit it, down to 800x600), driven by real key presses: a
# database made and a field defined through the menus (F10, Alt and the letters), a record
# entered, one abandoned, the records browsed (the field page scrolled to its last line by the
# arrows) and a value viewed, the structure shown, the language switched, and Exit. The files
# it leaves are then checked. One click on the title bar makes the window active, since the
# virtual desktop starts with none. Usage: keyboard_road.sh path/to/Zentora.exe [screenshot-folder]
set -u
HERE=$(dirname "$(readlink -f "$0")")
PROGRAM=$(readlink -f "$1")
SHOTS=${2:-}
WORK=$(mktemp -d)
trap 'kill $PROGRAM_PID $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT
ROAD_WAIT_TENTHS=300  # Wine may start slowly (under emulation, much more so)
. "$HERE/../support/keyboard_road.sh"
start_screen

mkdir -p "$WORK/program"
cp "$PROGRAM" "$WORK/program/Zentora.exe"
"$HERE/run.sh" explorer "/desktop=road$DISPLAY_NUMBER,$ROAD_SCREEN" "$WORK/program/Zentora.exe" >"$WORK/program.log" 2>&1 &
PROGRAM_PID=$!
wait_window "BASES DE DATOS"
sleep 1
measure_window "BASES DE DATOS"
xdotool mousemove $((X + 100)) $((Y + 10)) click 1

make_database_and_records "F10 Return" "alt+o"

see_structure alt+o

# Ver Datos: End takes the mark to the last field, Enter opens it, Enter closes the viewer,
# Escape the browser.
keys alt+o v
wait_window "Nombre base de datos"; typed agenda; keys Return
wait_window "Visualizaci"; check_fits "Visualizaci"; keys End Return
wait_window "Visualizar cadena"; shot viewer; keys Return
sleep 0.5; shot browser; keys Escape

# Idiomas > English (the popup opens on its first item, Español), then Operations > Exit.
keys alt+i Down Return
wait_window "DATABASES"
keys alt+o e
for _ in $(seq 100); do xdotool search --onlyvisible --name "DATABASES" >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name "DATABASES" >/dev/null 2>&1 && fail "the program did not end on Exit"

check_files
