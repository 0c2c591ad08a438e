#!/usr/bin/env bash
# The desktop the x11 tests run against: Xvfb on a free display, openbox, two xterms titled
# "pellucine-alpha" and "pellucine-beta", and with a test client program given, the windows of a
# hostile client (titled "pellucine-hostile-*") between them.
#   x11-desktop.sh start STATE [CLIENT]   starts it and waits until every window is mapped; the
#                                         display number goes to STATE/display, process ids to
#                                         STATE/*.pid
#   x11-desktop.sh stop STATE             stops what start started
set -euo pipefail

command=${1:?start or stop}
state=${2:?state folder}
client=${3:-}

# Polls a command until it succeeds, at most $1 tenths of a second.
wait_for() {
  local tenths=$1
  shift
  for ((i = 0; i < tenths; i++)); do
    if "$@" >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Starts a program in its own session, detached from the test run's output.
launch() {
  local name=$1
  shift
  setsid "$@" </dev/null >"$state/$name.log" 2>&1 &
  echo $! >"$state/$name.pid"
}

# Alive and not yet a zombie waiting to be reaped (the state follows the command name in
# /proc/PID/stat).
alive() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [[ $stat != Z* && $stat != X* ]]
}

stop_all() {
  local pids=() name file pid
  for name in xterm-alpha xterm-beta hostile-client openbox xvfb; do
    file=$state/$name.pid
    [ -f "$file" ] || continue
    pid=$(cat "$file")
    rm -f "$file"
    kill -TERM "$pid" 2>/dev/null && pids+=("$pid")
  done
  for ((i = 0; i < 30; i++)); do
    local waiting=0
    for pid in "${pids[@]}"; do
      alive "$pid" && waiting=1
    done
    [ $waiting -eq 0 ] && return 0
    sleep 0.1
  done
  for pid in "${pids[@]}"; do
    kill -KILL "$pid" 2>/dev/null || true
  done
}

wm_running() {
  xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}

# A mapped top-level client with exactly this title.
client_mapped() {
  local title=$1 window
  for window in $(xprop -root _NET_CLIENT_LIST | sed -n 's/.*# //p' | tr -d ','); do
    if xprop -id "$window" WM_NAME | grep -qxF "WM_NAME(STRING) = \"$title\"" &&
      xwininfo -id "$window" | grep -q 'Map State: IsViewable'; then
      return 0
    fi
  done
  return 1
}

fail() {
  echo "x11-desktop: $* (DISPLAY=${DISPLAY:-unset})" >&2
  local name
  for name in xvfb openbox; do
    if [ -f "$state/$name.pid" ] && ! alive "$(cat "$state/$name.pid")"; then
      echo "x11-desktop: $name has exited" >&2
    fi
  done
  for log in "$state"/*.log; do
    [ -f "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
  done
  stop_all
  exit 1
}

case $command in
  start)
    mkdir -p "$state"
    stop_all
    rm -rf "${state:?}"/*
    export HOME=$state/home XDG_CONFIG_HOME=$state/home/.config XDG_CACHE_HOME=$state/home/.cache
    mkdir -p "$HOME"

    # Xvfb chooses a free display and writes its number once it accepts connections. Without
    # -noreset it would reset whenever its last client leaves, refusing connections meanwhile.
    setsid Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp +extension Composite \
      +extension RANDR 3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    wait_for 100 test -s "$state/display" || fail "Xvfb did not start"
    DISPLAY=:$(head -n 1 "$state/display" | tr -d '[:space:]')
    export DISPLAY
    echo "${DISPLAY#:}" >"$state/display"
    wait_for 50 xdpyinfo || fail "Xvfb does not answer on $DISPLAY"

    launch openbox openbox
    wait_for 100 wm_running || fail "openbox did not start"

    launch xterm-alpha xterm -T pellucine-alpha -geometry 80x24+40+60 -e /bin/sh
    wait_for 150 client_mapped pellucine-alpha || fail "xterm pellucine-alpha was not mapped"
    if [ -n "$client" ]; then
      # It claims alpha's process for one of its windows.
      launch hostile-client "$client" hostile "$(cat "$state/xterm-alpha.pid")"
      wait_for 150 grep -qx ready "$state/hostile-client.log" || fail "the hostile client is not ready"
    fi
    launch xterm-beta xterm -T pellucine-beta -geometry 70x20+640+320 -e /bin/sh
    wait_for 150 client_mapped pellucine-beta || fail "xterm pellucine-beta was not mapped"
    echo "x11-desktop: running on $DISPLAY"
    ;;
  stop)
    stop_all
    rm -f "$state/display"
    ;;
  *)
    echo "usage: $0 start|stop STATE" >&2
    exit 2
    ;;
esac
