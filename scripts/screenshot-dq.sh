#!/usr/bin/env bash
# Makes docs/modelica-mechanical.png: the mechanical characteristic's window
# after the Modelica machine's start direct on line under its fan, as its
# machine file sets it, on a private X server: the curve of its T-circuit
# with the breakdown point and the starting torque, Kloss's formula, the
# fan, the operating point and the start's path.
# Run after scripts/setup.sh (the build in MOTORMODEL_BUILD if set, as build-ci).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/x11-session.sh
# The picture shows the defaults, whatever this machine's user has chosen.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'stop_x; rm -rf "$XDG_CONFIG_HOME"' EXIT

machine=examples/modelica-squirrel-cage.toml
start_x
CAPTION=$(file_caption "$machine") start_program "${MOTORMODEL_BUILD:-build}"/bin/motormodel "$PWD/$machine"
# The file's load, 0 and its fan, is in the load box: the step response is
# the start.
click Button4
# X while the chart has the keyboard; a click that draws no rectangle
# gives it.
point_at_plot
xdotool click 1 key x
mechanical=$(find_window "$MECHANICAL_CAPTION")
xdotool mousemove 0 0
sleep 1
import -window root -crop "$(outer_geometry "$mechanical")" +repage docs/modelica-mechanical.png
click Button5
wait_for_exit
echo "wrote docs/modelica-mechanical.png"
