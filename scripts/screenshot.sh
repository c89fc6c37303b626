#!/usr/bin/env bash
# Makes docs/screenshot.png: the real window, frame included, after the
# step response to a load of 10 and both random runs, on a private X server;
# then docs/mechanical-characteristic.png: the mechanical characteristic's
# window after the step response alone; then docs/family.png and
# docs/family-mechanical.png: the main window and the mechanical
# characteristic after a family of the loads 0, 10, 20 and 30.
# Run after scripts/setup.sh (the build in MOTORMODEL_BUILD if set, as build-ci).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/x11-session.sh
# The pictures show the defaults, whatever this machine's user has chosen.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'stop_x; rm -rf "$XDG_CONFIG_HOME"' EXIT

start_x
start_program "${MOTORMODEL_BUILD:-build}"/bin/motormodel
type_load 10
click Button4
click Button1
click Button3
xdotool mousemove 0 0
settled=$(mktemp --suffix=.png)
shoot_chart_settled "$settled"
rm -f "$settled"
import -window root -crop "$(outer_geometry "$MAIN")" +repage docs/screenshot.png

click Button2
click Button4
# X while the chart has the keyboard; a click that draws no rectangle
# gives it.
point_at_plot
xdotool click 1 key x
mechanical=$(find_window "$MECHANICAL_CAPTION")
xdotool mousemove 0 0
sleep 1
import -window root -crop "$(outer_geometry "$mechanical")" +repage docs/mechanical-characteristic.png

# The family window asks for the loads 0, 10, 20 and 30 unless told
# otherwise: its entry is third from the end of the chart's menu, before
# Отчёт… and Руководство, and Enter in the values builds the family.
click Button2
point_at_plot
xdotool click 3
sleep 0.3
xdotool key Up Up Up Return
family=$(find_window "$FAMILY_CAPTION")
xdotool windowactivate --sync "$family" key Tab Return
# Out of the way of the pictures.
xdotool windowminimize "$family"
xdotool mousemove 0 0
sleep 1
import -window root -crop "$(outer_geometry "$MAIN")" +repage docs/family.png
xdotool windowactivate --sync "$mechanical"
sleep 1
import -window root -crop "$(outer_geometry "$mechanical")" +repage docs/family-mechanical.png
click Button5
wait_for_exit
echo "wrote docs/screenshot.png, docs/mechanical-characteristic.png, docs/family.png and docs/family-mechanical.png"
