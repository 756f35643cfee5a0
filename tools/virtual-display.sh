# Sourced by the scripts that need a display for the window:
#   start_virtual_display FIRST   when DISPLAY is unset, starts Xvfb on the first
#                                 free display number from FIRST on and exports DISPLAY
#   stop_virtual_display          ends the Xvfb started here, if any
virtual_display_pid=""

start_virtual_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq "$1" $(($1 + 30))); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    virtual_display_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    return 0
  done
  echo "no free display number from :$1 on" >&2
  return 1
}

stop_virtual_display() {
  [ -n "$virtual_display_pid" ] && kill "$virtual_display_pid" 2>/dev/null
  virtual_display_pid=""
  return 0
}
