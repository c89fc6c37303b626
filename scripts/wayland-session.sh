# Functions for running the real program natively under a private, headless
# Wayland compositor (weston, drawing with pixman, with its debugging
# protocol on so that weston-screenshooter may shoot it): sourced by the
# Wayland tests. Root may run them: weston and Qt need only a private runtime
# folder. Wayland gives clients no input, so nothing here clicks or types.
source "$(dirname "${BASH_SOURCE[0]}")/wait-for.sh"

# Starts weston with an output of the given size (1920x1080 unless told) and
# points Qt at it alone: WAYLAND_DISPLAY is set, DISPLAY is not, so nothing
# falls back to X11. Weston logs the protocol it is sent into
# $WESTON_DIR/protocol.log.
start_weston() {
  local size=${1:-1920x1080}
  WESTON_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR=$WESTON_DIR WAYLAND_DISPLAY=motormodel-test QT_QPA_PLATFORM=wayland
  unset DISPLAY
  (cd "$WESTON_DIR" && exec env WAYLAND_DEBUG=server weston --backend=headless-backend.so --use-pixman --debug \
    --socket="$WAYLAND_DISPLAY" --width="${size%x*}" --height="${size#*x}" --idle-time=0 \
    >"$WESTON_DIR/protocol.log" 2>&1) &
  WESTON_PID=$!
  for _ in $(seq 200); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && return 0
    kill -0 "$WESTON_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "weston did not start:" >&2
  tail -n 5 "$WESTON_DIR/protocol.log" >&2
  return 1
}

stop_weston() {
  [ -n "${WESTON_PID:-}" ] && kill "$WESTON_PID" 2>/dev/null
  wait "$WESTON_PID" 2>/dev/null
  rm -rf "$WESTON_DIR"
  return 0
}

# Writes what the compositor shows to a PNG file.
shoot_screen() {
  rm -f "$WESTON_DIR"/wayland-screenshot-*.png
  (cd "$WESTON_DIR" && weston-screenshooter) || return 1
  mv "$WESTON_DIR"/wayland-screenshot-*.png "$1"
}

# Whether a client has asked for a window with exactly this caption.
caption_set() {
  grep -qF "set_title(\"$1\")" "$WESTON_DIR/protocol.log"
}
