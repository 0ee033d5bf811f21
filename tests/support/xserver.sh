# Shared by the tests that run the real game in an X server. Source it after
# setting `work` (a temporary folder whose *.log files are shown on failure).

fail() {
  echo "FAIL: $*"
  for log in "$work"/*.log; do [ -f "$log" ] && { echo "--- $log"; cat "$log"; }; done
  exit 1
}

# Starts Xvfb on the first free display from $1 on, at the size $2; sets
# DISPLAY and xvfb_pid.
start_xvfb() {
  local display
  for display in $(seq "$1" $(($1 + 49))); do
    [ -e "/tmp/.X11-unix/X$display" ] && continue
    Xvfb ":$display" -screen 0 "$2" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
    kill -0 $xvfb_pid 2>/dev/null && break
  done
  export DISPLAY=":$display"
}

# What a failed wait for a window leaves to go on: the X server's windows, and
# where each thread of process $1 is, if it still runs.
describe_missing_window() {
  echo "windows of $DISPLAY:"
  xwininfo -root -tree 2>&1 | head -20
  if kill -0 "$1" 2>/dev/null; then
    echo "process $1 still runs; its threads wait in:"
    for task in /proc/"$1"/task/*; do echo "  $(cat "$task/comm" 2>/dev/null): $(cat "$task/wchan" 2>/dev/null)"; done
  else
    wait "$1"
    echo "process $1 ended with $?"
  fi
}

# The id of the top-level window titled exactly $1, waiting up to $2 seconds.
find_window() {
  local i id
  for i in $(seq $(($2 * 10))); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v title="\"$1\":" 'index($0, title) {print $1; exit}')
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
