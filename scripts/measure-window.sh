#!/usr/bin/env bash
# Times the real program on a private X server with the paint probe
# preloaded: launch to first painted frame, click to painted frame for each
# button with all six traces full (Button2 clears them), and over the full
# chart wheel turns, arrow keys, tracker moves, pan steps of a
# middle-button drag, legend clicks that hide and show a trace, double
# clicks that reset the zoom, and steps of a cursor's drag with the
# measurements window open, each to its painted frame, and for wheel turns
# and pan steps where that time goes
# (handling the input, calls queued to the chart, the frame); and peak
# memory over a session of the three runs. Then the same over the
# mechanical characteristic's window, opened with X on the chart over the
# three runs and twelve pins (the chart's menu pins the six traces twice),
# once its tracker has sorted their paths, and the runs' clicks with that
# window open, to each chart's frame.
# With an experiment file, every launch opens it, so the runs take its
# settings; with a number of steps instead, runs of that many (10000000
# for the longest runs allowed), each given time to end before the next
# input.
# Usage: scripts/measure-window.sh [LAUNCHES [EXPERIMENT_FILE | STEPS]]
# (after scripts/setup.sh; the build in MOTORMODEL_BUILD if set: an optimised
# one without the sanitizers, whose runtime cannot be preloaded after the
# probe)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/x11-session.sh
launches=${1:-11}
build=${MOTORMODEL_BUILD:-build}
# The run command builds the programs only.
cmake --build "$build" --target motormodel paintprobe >/dev/null
experiment=()
caption=$MAIN_CAPTION
scene=$(mktemp -d)
# Seconds a click waits for its run: the 2000-step runs take milliseconds,
# a run of ten million steps a few seconds on the worker.
run_pause=0.3
sort_pause=1
if [[ "${2:-}" =~ ^[0-9]+$ ]]; then
  printf '[run]\nsteps = %s\n' "$2" >"$scene/steps-$2.toml"
  run_pause=$(awk -v steps="$2" 'BEGIN {print 0.3 + steps / 2e6}')
  sort_pause=$(awk -v steps="$2" 'BEGIN {print 1 + steps / 1e6}')
  set -- "$1" "$scene/steps-$2.toml"
fi
if [ -n "${2:-}" ]; then
  experiment=("$(realpath "$2")")
  caption=$(file_caption "$2")
fi
log=${MEASURE_LOG:-$(mktemp)}
timing=$(mktemp)
trap 'stop_x; rm -rf "$timing" "$scene"; [ -n "${MEASURE_LOG:-}" ] || rm -f "$log"' EXIT
# Room for the measurements window beside the main one.
start_x 1920x1080
# Each click timed on its own: the next waits until the last is painted.
paced_click() {
  click "$1"
  sleep "$run_pause"
}

# Gives xdotool the commands, each a word list such as "click 4", with
# PAUSE seconds after each, all in one process: a process started for each
# input would share the two cores with the program just as it answers the
# input, and its start would count as the program's time.
paced_inputs() {
  local pause=$1 command words=()
  shift
  for command in "$@"; do
    # shellcheck disable=SC2206
    words+=($command sleep "$pause")
  done
  xdotool "${words[@]}"
}

# The command repeated COUNT times.
repeated() {
  local count=$1
  shift
  for _ in $(seq "$count"); do
    printf '%s\n' "$@"
  done
}

# Over the chart in WINDOW, with points in its client area: wheel turns,
# arrow keys, tracker moves, a middle-button drag, then legend clicks each
# followed by a wheel turn and a double click that resets the zoom.
time_chart_inputs() {
  local window=$1 plot=$2 legend=$3 inputs
  # A click that draws no rectangle gives the chart the keyboard.
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $plot click 1
  sleep 0.3
  # In and out by turns, so the view stays about the whole run.
  mapfile -t inputs < <(repeated 10 "click 5" "click 4")
  paced_inputs 0.15 "${inputs[@]}"
  mapfile -t inputs < <(repeated 10 "key Right" "key Left")
  paced_inputs 0.15 "${inputs[@]}"
  # The tracker follows the pointer there and back.
  mapfile -t inputs < <(repeated 10 "mousemove_relative -- 9 3"; repeated 10 "mousemove_relative -- -9 -3")
  paced_inputs 0.1 "${inputs[@]}"
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $plot mousedown 2
  mapfile -t inputs < <(repeated 10 "mousemove_relative -- 8 4")
  paced_inputs 0.1 "${inputs[@]}"
  xdotool mouseup 2
  sleep 0.3
  mapfile -t inputs < <(repeated 10 "mousemove --window $window $legend click 1" "mousemove --window $window $plot" \
    "click 4" "click --repeat 2 --delay 60 1")
  paced_inputs 0.3 "${inputs[@]}"
}

# Picks the main chart's menu item this many items from the end.
chart_menu_item() {
  # shellcheck disable=SC2086
  xdotool mousemove --window "$MAIN" $PLOT_POINT click 3
  sleep 0.5
  # shellcheck disable=SC2046
  xdotool key $(printf 'Up %.0s' $(seq "$1")) Return
  sleep 0.5
}

# Pins every trace through the chart's menu: its eighth item from the end,
# before those of the experiment, the language, the sessions, the family
# and the report.
pin_traces() {
  chart_menu_item 8
}

# Shows the cursors A and B (the menu's fourteenth item from the end) over
# the whole run, opens the measurements window (M while the chart has the
# keyboard) and drags cursor A, at a quarter of the plot, to and fro with
# the left button.
CURSOR_A_POINT="170 300"
time_cursor_drags() {
  local inputs
  chart_menu_item 14
  # shellcheck disable=SC2086
  xdotool mousemove --window "$MAIN" $PLOT_POINT click 1 key m
  find_window "$MEASUREMENTS_CAPTION" >/dev/null
  sleep 1
  for _ in 1 2; do
    # shellcheck disable=SC2086
    xdotool mousemove --window "$MAIN" $CURSOR_A_POINT mousedown 1
    mapfile -t inputs < <(repeated 5 "mousemove_relative -- 8 0"; repeated 5 "mousemove_relative -- -8 0")
    paced_inputs 0.1 "${inputs[@]}"
    xdotool mouseup 1
    sleep 0.3
  done
  wmctrl -c "$MEASUREMENTS_CAPTION"
  sleep 0.3
}

# In the mechanical characteristic's client area: a point inside the plot
# and a legend entry of a pinned path.
PLANE_PLOT_POINT="250 300"
PLANE_LEGEND_POINT="560 300"

for _ in $(seq "$launches"); do
  echo "phase main" >>"$log"
  PAINT_PROBE_LOG=$log PAINT_PROBE_LAUNCH_NS=$(date +%s%N) LD_PRELOAD=$(realpath "$build")/bin/libpaintprobe.so \
    /usr/bin/time -v -o "$timing" "$build"/bin/motormodel "${experiment[@]}" >/dev/null 2>&1 &
  APP_PID=$!
  MAIN=$(find_window "$caption")
  sleep 0.5
  type_load 10
  paced_click Button1
  paced_click Button3
  paced_click Button4
  for _ in 1 2 3 4 5; do
    paced_click Button4
    paced_click Button1
    paced_click Button3
  done
  time_chart_inputs "$MAIN" "$PLOT_POINT" "$LEGEND_POINT"
  time_cursor_drags
  paced_click Button2

  # Not timed: the runs and pins the mechanical characteristic shows.
  echo "phase setup" >>"$log"
  for button in Button1 Button3 Button4; do
    paced_click $button
  done
  pin_traces
  pin_traces
  # X while the chart has the keyboard; a click that draws no rectangle
  # gives it.
  point_at_plot
  xdotool click 1 key x
  plane=$(find_window "$MECHANICAL_CAPTION")
  # The pointer's first move over it sorts the paths for its tracker, on
  # workers: about a second for each million steps of the three runs.
  # shellcheck disable=SC2086
  xdotool mousemove --window "$plane" $PLANE_PLOT_POINT
  sleep "$sort_pause"
  echo "phase mechanical" >>"$log"
  time_chart_inputs "$plane" "$PLANE_PLOT_POINT" "$PLANE_LEGEND_POINT"
  for _ in 1 2 3; do
    for button in Button1 Button3 Button4; do
      paced_click $button
    done
  done
  paced_click Button5
  # The pins would be lost: leave without a session, the question's second
  # answer.
  sleep 0.5
  xdotool key Tab Return
  wait_for_exit
  sed -n 's/.*Maximum resident set size (kbytes): /peak_rss_kb /p' "$timing" >>"$log"
done

median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
# The values of the log's lines in a phase whose first fields are these.
values() {
  awk -v phase="$1" -v fields="$2" '
    $1 == "phase" {shown = $2; next}
    shown == phase && index($0, fields " ") == 1 {print $NF}' "$log"
}
echo "launches: $launches"
echo "first paint after launch, ms (median): $(awk '/^first_paint_ms/ {print $2}' "$log" | median)"
report_chart() {
  local phase=$1 chart=$2 input part
  for input in wheel arrow_key pan tracker chart_click double_click; do
    echo "$input over the full chart to painted, ms (median): $(values "$phase" "${input}_to_paint_ms $chart" | median)"
  done
  for input in wheel pan; do
    for part in handling queued frame; do
      echo "  $input: $part, ms (median): $(values "$phase" "${input}_${part}_ms $chart" | median)"
    done
  done
}
for button in Button1 Button3 Button4 Button2; do
  echo "click on $button to painted, ms (median): $(values main "click_to_paint_ms $button Chart1" | median)"
done
report_chart main Chart1
echo "cursor drag with the measurements window open, to painted, ms (median): $(values main "drag_to_paint_ms Chart1" | median)"
echo "mechanical characteristic, three runs and twelve pins:"
report_chart mechanical Chart
for button in Button1 Button3 Button4; do
  echo "click on $button to painted with it open, ms (median), main chart / mechanical characteristic:" \
    "$(values mechanical "click_to_paint_ms $button Chart1" | median) /" \
    "$(values mechanical "click_to_paint_ms $button Chart" | median)"
done
echo "peak resident memory, MB (median): $(awk '/^peak_rss_kb/ {print $2 / 1024}' "$log" | median)"
