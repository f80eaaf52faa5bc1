# Sourced by the keyboard roads of both desktop builds: a virtual X screen of 1024x768 of its
# own, and the steps a road takes on it. The road sets WORK (a folder of its own) and SHOTS
# (a folder for screenshots, or empty) first.

fail() { echo "keyboard road: $*" >&2; [ -n "$SHOTS" ] && import -window root "$SHOTS/failed.png"; exit 1; }

# Starts the screen; XVFB_PID is its process.
start_screen() {
  DISPLAY_NUMBER=$((200 + $$ % 500))
  export DISPLAY=:$DISPLAY_NUMBER
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
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
keys() { local key; for key in "$@"; do sleep 0.4; xdotool key "$key"; done; }
typed() { sleep 0.4; xdotool type --delay 80 "$1"; }
shot() { [ -n "$SHOTS" ] && import -window root "$SHOTS/$1.png"; }
