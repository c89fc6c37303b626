# Functions for driving the real program on a private X server: sourced by
# the end-to-end tests and the screenshot script. Needs Xvfb, openbox (a
# window manager that draws frames and closes windows the usual way),
# xdotool, wmctrl, xprop and ImageMagick.
source "$(dirname "${BASH_SOURCE[0]}")/wait-for.sh"

# The program speaks Russian, whatever this machine's locale, unless
# MOTORMODEL_LANG=en asks for English.
WINDOW_LANG=${MOTORMODEL_LANG:-ru}
if [ "$WINDOW_LANG" = en ]; then
  MAIN_CAPTION="induction motor model"
  ALERT_CAPTION="Invalid load: Mc must not exceed 30"
  MEASUREMENTS_CAPTION="Measurements"
  PARAMETERS_CAPTION="Experiment settings"
  MECHANICAL_CAPTION="Mechanical characteristic"
  FAMILY_CAPTION="Family of curves"
else
  MAIN_CAPTION="модель асинхронного двигателя"
  ALERT_CAPTION="Некорректно введенное значение Мс<30"
  MEASUREMENTS_CAPTION="Измерения"
  PARAMETERS_CAPTION="Параметры опыта"
  MECHANICAL_CAPTION="Механическая характеристика"
  FAMILY_CAPTION="Семейство кривых"
fi

# Control centres in the main window's client area.
declare -A CONTROL=(
  [Button1]="744 64" [Button3]="744 128" [Edit1]="700 220" [Button4]="744 272"
  [Button2]="744 336" [Button5]="744 584"
)
CHART_AREA="625x545+16+40"
# A point inside the chart's plot area, in the main window's client area.
PLOT_POINT="300 300"
# A legend entry of the step response, in the main window's client
# area.
LEGEND_POINT="590 365"
# A point of the main window off the chart and its controls, where the
# pointer shows no tracker.
AWAY_POINT="660 20"

# Starts Xvfb on a free display, with a screen of the given size (1280x800
# unless told), and openbox on it; sets DISPLAY.
start_x() {
  local fifo screen=${1:-1280x800}
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$fifo" 2>/dev/null &
  XVFB_PID=$!
  read -r display <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$display"
  local wm_log
  wm_log=$(mktemp)
  openbox >/dev/null 2>"$wm_log" &
  WM_PID=$!
  # Wait until the window manager has taken the screen; on a busy machine
  # that can take seconds, and a window manager that gave up is started again.
  for _ in $(seq 300); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
      rm -f "$wm_log"
      return 0
    fi
    if ! kill -0 "$WM_PID" 2>/dev/null; then
      openbox >/dev/null 2>>"$wm_log" &
      WM_PID=$!
    fi
    sleep 0.1
  done
  echo "window manager did not start:" >&2
  tail -n 5 "$wm_log" >&2
  rm -f "$wm_log"
  return 1
}

stop_x() {
  [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  return 0
}

# Waits up to 10 s for a visible window with exactly this caption; prints
# its id.
find_window() {
  local caption=$1 id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no window '$caption'" >&2
  return 1
}

# Types the text into the window of this caption once it has the
# keyboard, and presses Return: on a busy machine a file dialog shows
# before it takes the focus, and keys sent meanwhile go to the window
# behind it.
type_into_window() {
  local window
  window=$(find_window "$1") || return 1
  xdotool windowactivate --sync "$window"
  xdotool type "$2"
  xdotool key Return
}

window_shown() {
  find_window "$1" >/dev/null
}

# Outer geometry, frame included, as WIDTHxHEIGHT+LEFT+TOP.
outer_geometry() {
  local left right top bottom x y width height
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  x=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left Y: *//p')
  width=$(xwininfo -id "$1" | sed -n 's/.*Width: *//p')
  height=$(xwininfo -id "$1" | sed -n 's/.*Height: *//p')
  echo "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))"
}

# Client area size, frame excluded, as "WIDTH HEIGHT".
client_size() {
  xwininfo -id "$1" | sed -n 's/.*Width: *//p; s/.*Height: *//p' | paste -sd ' '
}

# The colour of one pixel of a picture file.
pixel_of() {
  convert "$1" -format "%[pixel:p{$2,$3}]" info:
}

# Starts the program in WINDOW_LANG with any arguments after the first and
# waits for its main window, captioned MAIN_CAPTION or as CAPTION says, to
# be drawn; sets APP_PID and MAIN.
start_program() {
  local program=$1
  shift
  "$program" --lang "$WINDOW_LANG" "$@" >/dev/null 2>&1 &
  APP_PID=$!
  MAIN=$(find_window "${CAPTION:-$MAIN_CAPTION}")
  local shot
  shot=$(mktemp --suffix=.png)
  shoot_chart_settled "$shot"
  rm -f "$shot"
}

# The main window's caption once an experiment file is open.
file_caption() {
  echo "$MAIN_CAPTION — $(basename "$1")"
}

# Events reach the program in the order sent: whatever follows a click is
# handled after it.
click() {
  # shellcheck disable=SC2086
  xdotool mousemove --window "$MAIN" ${CONTROL[$1]} click 1
}

point_at_plot() {
  # shellcheck disable=SC2086
  xdotool mousemove --window "$MAIN" $PLOT_POINT
}

point_away() {
  # shellcheck disable=SC2086
  xdotool mousemove --window "$MAIN" $AWAY_POINT
}

type_load() {
  click Edit1
  xdotool key --window "$MAIN" ctrl+a BackSpace
  xdotool type --window "$MAIN" "$1"
}

# Writes the chart area of the main window to a PNG file.
shoot_chart() {
  import -window "$MAIN" -crop "$CHART_AREA" +repage "$1"
}

# Number of pixels that differ between two images.
pixels_differing() {
  compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# Whether two pictures differ in more, or in fewer, than so many pixels.
pictures_differ() {
  [ "$(pixels_differing "$1" "$2")" -gt "$3" ]
}
pictures_alike() {
  [ "$(pixels_differing "$1" "$2")" -lt "$3" ]
}

# Shoots the chart into FILE until the command after it succeeds, for up
# to 10 s; fails if it never does.
shoot_chart_until() {
  local file=$1
  shift
  for _ in $(seq 100); do
    shoot_chart "$file"
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Shoots the chart into FILE once two shots a tenth of a second apart are
# the same: whatever was asked of it is drawn.
shoot_chart_settled() {
  local previous status=1
  previous=$(mktemp --suffix=.png)
  shoot_chart "$previous"
  for _ in $(seq 100); do
    sleep 0.1
    shoot_chart "$1"
    if pictures_alike "$previous" "$1" 1; then
      status=0
      break
    fi
    cp "$1" "$previous"
  done
  rm -f "$previous"
  return $status
}

# Waits up to 10 s for the program to end and sets EXIT_STATUS ("still
# running" if it did not). Not for a subshell: only this shell can wait.
wait_for_exit() {
  EXIT_STATUS="still running"
  for _ in $(seq 100); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      wait "$APP_PID"
      EXIT_STATUS=$?
      APP_PID=
      return 0
    fi
    sleep 0.1
  done
  return 1
}
