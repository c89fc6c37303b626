#!/usr/bin/env bash
# End-to-end checks of the real program on Xvfb: window placement, runs that
# change the chart, zooming the chart by wheel and keys and going back
# through its views, the alert and measurements windows, and exit status 0
# on both ways out.
# Usage: window_e2e.sh PROGRAM SCENARIO
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

start_x || exit 1
start_program "$program"

# The chart's pictures are taken with the pointer off it, where no tracker
# shows, and as soon as the condition checked holds.
case "$scenario" in
runs_and_exit)
  # The frame drawn by the window manager is part of the stored geometry.
  check "main window's outer geometry 881x645+68+67" [ "$(outer_geometry "$MAIN")" = "881x645+68+67" ]

  shoot_chart_settled "$work/empty.png"
  type_load 10
  click Button4
  point_away
  check "step response changes the chart" \
    shoot_chart_until "$work/step.png" pictures_differ "$work/empty.png" "$work/step.png" 1000
  click Button1
  click Button3
  point_away
  check "random runs change the chart" \
    shoot_chart_until "$work/all.png" pictures_differ "$work/step.png" "$work/all.png" 1000
  click Button2
  point_away
  check "clearing empties the chart" \
    shoot_chart_until "$work/cleared.png" pictures_alike "$work/empty.png" "$work/cleared.png" 50

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
  shoot_chart_settled "$work/empty.png"
  type_load 10
  click Button4
  point_away
  shoot_chart_until "$work/step.png" pictures_differ "$work/empty.png" "$work/step.png" 1000
  shoot_chart_settled "$work/step.png"
  point_at_plot
  xdotool click 4 click 4
  point_away
  check "a wheel turn over the chart zooms it" \
    shoot_chart_until "$work/zoomed.png" pictures_differ "$work/step.png" "$work/zoomed.png" 1000
  point_at_plot
  xdotool click --repeat 2 --delay 50 1
  point_away
  check "a double click restores the automatic ranges" \
    shoot_chart_until "$work/reset.png" pictures_alike "$work/step.png" "$work/reset.png" 50
  ;;
keys_and_history)
  shoot_chart_settled "$work/empty.png"
  type_load 10
  click Button4
  click Button1
  click Button3
  # A click gives the chart the keyboard.
  point_at_plot
  xdotool click 1
  point_away
  shoot_chart_until "$work/0.png" pictures_differ "$work/empty.png" "$work/0.png" 1000
  shoot_chart_settled "$work/0.png"
  # Each key leaves the view elsewhere than the one before, Home included.
  shot=0
  for key in Right Up plus Left Down minus Home; do
    xdotool key "$key"
    check "$key repaints the chart" \
      shoot_chart_until "$work/$((shot + 1)).png" pictures_differ "$work/$shot.png" "$work/$((shot + 1)).png" 1000
    shoot_chart_settled "$work/$((shot + 1)).png"
    shot=$((shot + 1))
  done
  xdotool key ctrl+z
  check "Ctrl+Z goes back to the view before Home" \
    shoot_chart_until "$work/back.png" pictures_alike "$work/$((shot - 1)).png" "$work/back.png" 50
  xdotool key ctrl+shift+z
  check "Ctrl+Shift+Z goes forward to the whole run again" \
    shoot_chart_until "$work/forward.png" pictures_alike "$work/$shot.png" "$work/forward.png" 50
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
*)
  echo "unknown scenario $scenario" >&2
  exit 2
  ;;
esac

exit $((failures > 0))
