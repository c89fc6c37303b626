#!/usr/bin/env bash
# Running the real program natively on GNOME Shell, headless, on Wayland
# without Xwayland: sourced by the GNOME tests, or run as
#
#   gnome-session.sh [-s WIDTHxHEIGHT] [-c SCALE] COMMAND [ARGUMENT...]
#
# to run one command in a fresh session and stop the session after it.
# GNOME Shell runs in its unsafe mode, so that its own D-Bus interfaces take
# code to evaluate (org.gnome.Shell.Eval), through which this script moves
# Clutter's virtual pointer and types on its virtual keyboard, and shoot
# the screen (org.gnome.Shell.Screenshot). Root may run it: the shell needs
# only a private runtime folder and buses of its own.
source "$(dirname "${BASH_SOURCE[0]}")/wait-for.sh"

# Starts GNOME Shell with a virtual monitor of the given size (1600x1000
# unless told) in a session bus of its own, and points Qt at it alone:
# WAYLAND_DISPLAY is set, DISPLAY is not. The shell asks the system bus for
# logind where a systemd seat folder exists, and stops at start-up if it
# finds no bus, so it is given a private, empty one. Its log is
# $GNOME_DIR/shell.log. Now and then the shell hangs as it starts, its
# D-Bus interfaces never answering: a shell not up within 30 s is stopped
# and started once more.
start_gnome() {
  launch_gnome "$@" && return 0
  stop_gnome
  echo "starting GNOME Shell again" >&2
  launch_gnome "$@"
}

launch_gnome() {
  local size=${1:-1600x1000}
  GNOME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR=$GNOME_DIR WAYLAND_DISPLAY=motormodel-gnome QT_QPA_PLATFORM=wayland
  unset DISPLAY DBUS_SESSION_BUS_ADDRESS
  # The session bus's address, the shell's process and the system bus's,
  # for this shell to reach and to stop them.
  dbus-run-session -- bash -c '
    echo "$DBUS_SESSION_BUS_ADDRESS" >"$XDG_RUNTIME_DIR/session-bus"
    echo "$$" >"$XDG_RUNTIME_DIR/shell.pid"
    read -r DBUS_SYSTEM_BUS_ADDRESS pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 \
      --address="unix:path=$XDG_RUNTIME_DIR/system-bus" | paste -sd " ")
    echo "$pid" >"$XDG_RUNTIME_DIR/system-bus.pid"
    export DBUS_SYSTEM_BUS_ADDRESS
    exec gnome-shell --headless --wayland --no-x11 --unsafe-mode --virtual-monitor "$0" \
      --wayland-display="$WAYLAND_DISPLAY"' "$size" >"$GNOME_DIR/shell.log" 2>&1 &
  GNOME_PID=$!
  if ! wait_for test -s "$GNOME_DIR/session-bus"; then
    echo "no session bus for GNOME Shell" >&2
    return 1
  fi
  export DBUS_SESSION_BUS_ADDRESS
  DBUS_SESSION_BUS_ADDRESS=$(cat "$GNOME_DIR/session-bus")
  local deadline=$((SECONDS + 30))
  until gnome_started; do
    [ "$SECONDS" -lt "$deadline" ] && sleep 0.1 && continue
    echo "GNOME Shell did not start:" >&2
    tail -n 5 "$GNOME_DIR/shell.log" >&2
    return 1
  done
  # The shell opens on its overview, with a notice that root is logged in
  # over the top of the screen: neither belongs in a screenshot.
  # The virtual keyboard is made before any program starts: a program whose
  # window has the focus when the keyboard is added is sent no key from it.
  shell_eval "Main.overview.hide(); Main.messageTray.bannerBlocked = true; $GNOME_INPUT" >/dev/null &&
    wait_for shell_true '!Main.overview.visible && !Main.overview.animationInProgress'
}

gnome_started() {
  shell_true '!Main.layoutManager._startingUp'
}

# Stops the program, the shell, its buses and the services the session bus
# started for it (the accessibility bus outlives its session bus, and its
# registry its own bus).
stop_gnome() {
  [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
  local services=() environ
  # Started by the session bus, or by a bus in the session's folder.
  for environ in /proc/[0-9]*/environ; do
    { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qE "^DBUS_STARTER_ADDRESS=(${DBUS_SESSION_BUS_ADDRESS:-none}\$|unix:path=$GNOME_DIR/)" &&
      services+=("$(basename "$(dirname "$environ")")")
  done
  # A shell hung at its start outlives its session bus.
  [ -s "${GNOME_DIR:-}/shell.pid" ] && kill "$(cat "$GNOME_DIR/shell.pid")" 2>/dev/null
  [ -n "${GNOME_PID:-}" ] && kill "$GNOME_PID" 2>/dev/null
  wait "$GNOME_PID" 2>/dev/null
  [ -s "${GNOME_DIR:-}/system-bus.pid" ] && kill "$(cat "$GNOME_DIR/system-bus.pid")" 2>/dev/null
  [ ${#services[@]} -gt 0 ] && kill "${services[@]}" 2>/dev/null
  rm -rf "$GNOME_DIR"
  return 0
}

# Evaluates JavaScript inside the shell; prints its value as JSON, fails if
# it threw.
shell_eval() {
  local reply
  reply=$(gdbus call --session --timeout 5 --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Eval "$1" 2>/dev/null) || return 1
  [[ $reply == "(true, "* ]] || return 1
  reply=${reply#(true, \'}
  echo "${reply%\')}"
}

shell_true() {
  [ "$(shell_eval "$1")" = true ]
}

# Writes what the screen shows to a PNG file.
shoot_screen() {
  gdbus call --session --timeout 5 --dest org.gnome.Shell --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.Screenshot false false "$(realpath -m "$1")" >/dev/null
}

# The outer rectangle of the window with exactly this caption, as "X Y
# WIDTH HEIGHT" in the shell's stage pixels (the device's at a whole
# scale), title bar included; fails if there is none.
window_rect() {
  local rect
  rect=$(shell_eval "const w = global.get_window_actors().map(a => a.meta_window)
      .find(w => w.get_title() === $(printf '%s' "$1" | python3 -c 'import json,sys; print(json.dumps(sys.stdin.read()))'));
    const r = w ? w.get_frame_rect() : null; r ? [r.x, r.y, r.width, r.height].join(' ') : ''") || return 1
  rect=${rect//\"/}
  [ -n "$rect" ] && echo "$rect"
}

window_shown() {
  window_rect "$1" >/dev/null
}

# Clutter's virtual pointer and keyboard, made once per shell.
readonly GNOME_INPUT='const C = imports.gi.Clutter, now = imports.gi.GLib.get_monotonic_time;
  const seat = C.get_default_backend().get_default_seat();
  global.mmPointer ??= seat.create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
  global.mmKeys ??= seat.create_virtual_device(C.InputDeviceType.KEYBOARD_DEVICE);'

# Clicks the primary button at a point of the screen, in the stage's
# pixels as window_rect gives them; twice with "double".
click_at() {
  local count=1
  [ "${3:-}" = double ] && count=2
  shell_eval "$GNOME_INPUT
    global.mmPointer.notify_absolute_motion(now(), $1, $2);
    for (let i = 0; i < $count; ++i) {
      global.mmPointer.notify_button(now(), C.BUTTON_PRIMARY, C.ButtonState.PRESSED);
      global.mmPointer.notify_button(now(), C.BUTTON_PRIMARY, C.ButtonState.RELEASED);
    }" >/dev/null
}

# Presses and releases keys by their X key names (as Clutter.KEY_<name>),
# one after another; a name joined by "+" holds the keys before the last.
press_keys() {
  local key held script=$GNOME_INPUT
  for key in "$@"; do
    IFS=+ read -ra held <<<"$key"
    for name in "${held[@]}"; do
      script+="global.mmKeys.notify_keyval(now(), C.KEY_$name, C.KeyState.PRESSED);"
    done
    for ((i = ${#held[@]} - 1; i >= 0; --i)); do
      script+="global.mmKeys.notify_keyval(now(), C.KEY_${held[i]}, C.KeyState.RELEASED);"
    done
  done
  shell_eval "$script" >/dev/null
}

# Sets the monitor's scale (a whole number, or one mutter offers for its
# mode), as the Displays panel does, for this session only.
set_gnome_scale() {
  local state serial connector mode
  state=$(gdbus call --session --timeout 5 --dest org.gnome.Mutter.DisplayConfig --object-path /org/gnome/Mutter/DisplayConfig \
    --method org.gnome.Mutter.DisplayConfig.GetCurrentState) || return 1
  serial=$(sed -E 's/^\(uint32 ([0-9]+),.*/\1/' <<<"$state")
  connector=$(sed -E "s/^[^']*'([^']+)'.*/\1/" <<<"$state")
  mode=$(grep -oE "\('[^']+', [0-9]+, [0-9]+, [0-9.]+, [0-9.]+, \[[^]]*\], \{[^}]*'is-current': <true>" <<<"$state" |
    sed -E "s/^\('([^']+)'.*/\1/")
  gdbus call --session --timeout 5 --dest org.gnome.Mutter.DisplayConfig --object-path /org/gnome/Mutter/DisplayConfig \
    --method org.gnome.Mutter.DisplayConfig.ApplyMonitorsConfig "$serial" 1 \
    "[(0, 0, $1, 0, true, [('$connector', '$mode', @a{sv} {})])]" "@a{sv} {}" >/dev/null
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  size=1600x1000 scale=
  while getopts s:c: option; do
    case $option in
    s) size=$OPTARG ;;
    c) scale=$OPTARG ;;
    *) exit 2 ;;
    esac
  done
  shift $((OPTIND - 1))
  trap stop_gnome EXIT
  start_gnome "$size" || exit 1
  if [ -n "$scale" ]; then set_gnome_scale "$scale" || exit 1; fi
  "$@"
fi
