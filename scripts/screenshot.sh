#!/usr/bin/env bash
# Makes docs/screenshot.png: the real window, frame included, after the
# step response to a load of 10 and both random runs, on a private X server.
# Run after scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/x11-session.sh
trap stop_x EXIT

start_x
start_program build/bin/motormodel
type_load 10
click Button4
click Button1
click Button3
xdotool mousemove 0 0
settled=$(mktemp --suffix=.png)
shoot_chart_settled "$settled"
rm -f "$settled"
import -window root -crop "$(outer_geometry "$MAIN")" +repage docs/screenshot.png
click Button5
wait_for_exit
echo "wrote docs/screenshot.png"
