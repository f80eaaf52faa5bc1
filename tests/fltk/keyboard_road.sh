#!/bin/bash
# The Linux program driven by key presses alone on a virtual X screen under a small window
# manager: a database made, a field defined, a record entered, one abandoned, the records
# browsed and a value viewed, the language switched, and Exit, every step by keyboard. The
# files it leaves are then checked. Every dialog must fit the screen (ROAD_SCREEN, 1024x768
# unless set; 800x600 is the smallest). Usage: keyboard_road.sh path/to/zentora [screenshot-folder]
set -u
PROGRAM=$(readlink -f "$1")
SHOTS=${2:-}
WORK=$(mktemp -d)
trap 'kill $PROGRAM_PID $WM_PID $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT
. "$(dirname "$(readlink -f "$0")")/../support/keyboard_road.sh"
start_screen
openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
WM_PID=$!
sleep 1

mkdir -p "$WORK/program"
cp "$PROGRAM" "$WORK/program/zentora"
(cd "$WORK/program" && ASAN_OPTIONS=detect_leaks=0 ./zentora >"$WORK/program.log" 2>&1) &
PROGRAM_PID=$!
wait_window "BASES DE DATOS"

make_database_and_records "F10" "F10"

see_structure F10

# Ver Datos: the mark on the first line, Enter opens it, Enter closes the viewer, Escape the browser.
keys F10 v
wait_window "Nombre base de datos"; typed agenda; keys Return
wait_window "Visualizaci"; check_fits "Visualizaci"; keys Down Return
wait_window "Visualizar cadena"; shot viewer; keys Return
sleep 0.5; keys Escape

# Idiomas > English, then Operations > Exit.
keys alt+i Down Down Return
wait_window "DATABASES"
keys F10 e
for _ in $(seq 50); do kill -0 $PROGRAM_PID 2>/dev/null || break; sleep 0.1; done
kill -0 $PROGRAM_PID 2>/dev/null && fail "the program did not end on Exit"

check_files
