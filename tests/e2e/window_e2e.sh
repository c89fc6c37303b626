#!/usr/bin/env bash
# End-to-end checks of the real program on Xvfb: window placement, runs that
# change the chart, zooming the chart, the alert, measurements and parameters
# windows, experiment files named at start-up, and exit status 0 on both
# ways out.
# Usage: window_e2e.sh PROGRAM SCENARIO
# The scenario experiment_file also needs the batch tool, named by
# MOTORMODEL_CLI.
set -uo pipefail
program=$1
scenario=$2
source "$(dirname "$0")/../../scripts/x11-session.sh"

work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
failures=0
check() { # description, then a command that must succeed
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# The step at steady speed, with a heavier rotor: the load is applied once
# the motor has run up.
cat >"$work/lab.toml" <<'EOF'
[model]
J = 0.0344

[run]
steps = 3000

[step]
load = 10
on = 1000
off = 3000
EOF
printf '[model]\nJ = -1\n' >"$work/bad.toml"

start_x || exit 1
case "$scenario" in
experiment_file) CAPTION=$(file_caption "$work/lab.toml") start_program "$program" "$work/lab.toml" ;;
bad_experiment_file) start_program "$program" "$work/bad.toml" ;;
*) start_program "$program" ;;
esac

case "$scenario" in
runs_and_exit)
  # The frame drawn by the window manager is part of the stored geometry.
  check "main window's outer geometry 881x645+68+67" [ "$(outer_geometry "$MAIN")" = "881x645+68+67" ]

  shoot_chart "$work/empty.png"
  type_load 10
  click Button4
  shoot_chart "$work/step.png"
  check "step response changes the chart" [ "$(pixels_differing "$work/empty.png" "$work/step.png")" -gt 1000 ]
  click Button1
  click Button3
  shoot_chart "$work/all.png"
  check "random runs change the chart" [ "$(pixels_differing "$work/step.png" "$work/all.png")" -gt 1000 ]
  click Button2
  shoot_chart "$work/cleared.png"
  check "clearing empties the chart" [ "$(pixels_differing "$work/empty.png" "$work/cleared.png")" -lt 50 ]

  type_load 31
  click Button4
  check "a refused load shows the alert window" window_shown "$ALERT_CAPTION"
  check "alert's outer geometry 409x114+324+226" [ "$(outer_geometry "$(find_window "$ALERT_CAPTION")")" = "409x114+324+226" ]
  click Button5
  wait_for_exit
  check "Выход ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
  ;;
close_with_alert_open)
  type_load 31
  click Button4
  check "a refused load shows the alert window" window_shown "$ALERT_CAPTION"
  wmctrl -F -c "$MAIN_CAPTION"
  wait_for_exit
  check "closing the main window ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
  ;;
wheel_zoom)
  type_load 10
  click Button4
  # The tracker shows while the pointer is over the plot: every picture is
  # taken with the pointer in the same place.
  point_at_plot
  shoot_chart "$work/step.png"
  xdotool click 4 click 4
  sleep 0.3
  shoot_chart "$work/zoomed.png"
  check "a wheel turn over the chart zooms it" [ "$(pixels_differing "$work/step.png" "$work/zoomed.png")" -gt 1000 ]
  xdotool click --repeat 2 --delay 50 1
  sleep 0.3
  shoot_chart "$work/reset.png"
  check "a double click restores the automatic ranges" [ "$(pixels_differing "$work/step.png" "$work/reset.png")" -lt 50 ]
  ;;
measurements_window)
  type_load 10
  click Button4
  # A click gives the chart the keyboard.
  point_at_plot
  xdotool click 1 key m
  check "M over the chart opens the measurements window" window_shown "$MEASUREMENTS_CAPTION"
  wmctrl -F -c "$MAIN_CAPTION"
  wait_for_exit
  check "closing the main window with it open ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
  ;;
experiment_file)
  check "the file's name is in the caption" window_shown "$(file_caption "$work/lab.toml")"
  click Button4
  # The chart's menu: Сбросить масштаб, then Сохранить изображение…, then
  # Экспорт данных в CSV….
  # shellcheck disable=SC2086
  xdotool mousemove --window "$MAIN" $PLOT_POINT click 3
  sleep 0.3
  xdotool key Down Down Down Return
  window_shown "Экспорт данных в CSV"
  xdotool type "$work/window.csv"
  xdotool key Return
  for _ in $(seq 50); do [ -s "$work/window.csv" ] && break; sleep 0.1; done
  "$MOTORMODEL_CLI" step --settings "$work/lab.toml" --csv "$work/cli.csv" >/dev/null
  # The window exports every shown trace; the step response's two columns
  # and their rows are the batch tool's.
  awk -F, 'NR == 1 { for (i = 1; i <= NF; ++i) column[$i] = i; print "step,Md,Omega"; next }
           $column["Md (Step)"] != "" { print $1 "," $column["Md (Step)"] "," $column["Omega (Step)"] }' \
    "$work/window.csv" >"$work/window-step.csv"
  check "the batch tool's run of the file has 3000 rows" [ "$(wc -l <"$work/cli.csv")" = 3001 ]
  check "a run made in the window from the file exports the batch tool's CSV" cmp "$work/window-step.csv" "$work/cli.csv"
  xdotool mousemove --window "$MAIN" 40 20 click 1
  check "the tool bar's Параметры opens the parameters window" window_shown "$PARAMETERS_CAPTION"
  wmctrl -F -c "$(file_caption "$work/lab.toml")"
  wait_for_exit
  check "closing the main window ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
  ;;
bad_experiment_file)
  check "a bad file at start-up is shown as an error" window_shown motormodel
  xdotool key --window "$(find_window motormodel)" Return
  sleep 0.3
  check "and the program starts with the defaults" window_shown "$MAIN_CAPTION"
  click Button5
  wait_for_exit
  check "Выход ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
  ;;
*)
  echo "unknown scenario $scenario" >&2
  exit 2
  ;;
esac

exit $((failures > 0))
