#!/usr/bin/env bash
# Makes docs/lab-fit.png: a measured start over the step response, fitted.
# The "bench" is the model itself run with J = 0.0215 kg m^2, sampled every
# 7 ms, with Gaussian noise on Omega and Md, written as a bench's logger
# would (semicolons, decimal commas); the window starts from the default J,
# fits J to it and shows the fit's table and the residual beside the data.
# Run after scripts/setup.sh (the build in MOTORMODEL_BUILD if set, as build-ci).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/x11-session.sh
build=${MOTORMODEL_BUILD:-build}
work=$(mktemp -d)
XDG_CONFIG_HOME=$work/config
export XDG_CONFIG_HOME
trap 'stop_x; rm -rf "$work"' EXIT

"$build"/bin/motormodel-cli step 10 --set model.J=0.0215 --time --csv "$work/truth.csv" >/dev/null
python3 - "$work/truth.csv" "$work/bench.csv" <<'PY'
import csv, random, sys
random.seed(4)
rows = list(csv.DictReader(open(sys.argv[1])))
with open(sys.argv[2], "w") as bench:
    bench.write("t;Omega;Md\n")
    for row in rows[::7]:
        line = "{:.5f};{:.4f};{:.4f}\n".format(float(row["t"]), float(row["Omega"]) + random.gauss(0, 1.2),
                                                float(row["Md"]) + random.gauss(0, 0.6))
        bench.write(line.replace(".", ","))
PY

start_x
start_program "$build"/bin/motormodel "$work/bench.csv"
type_load 10
click Button4
# The fit's dialog, J chosen; Enter fits.
xdotool key --window "$MAIN" ctrl+shift+f
fit=$(find_window "Подбор параметров")
# Beside the chart, over the column of buttons.
xdotool windowmove "$fit" 680 60
xdotool key --window "$fit" Return
sleep 8
point_away
import -window root +repage docs/lab-fit.png
echo "wrote docs/lab-fit.png"
