#!/usr/bin/env bash
# End-to-end checks of the real program on Xvfb: window placement, runs that
# change the chart, a maximised window, zooming the chart by wheel and keys
# and going back through its views, the alert, measurements and parameters
# windows, experiment files named at start-up, a session saved and opened
# again, and exit status 0 on both ways out.
# Usage: window_e2e.sh PROGRAM SCENARIO
# The scenarios experiment_file and session also need the batch tool, named by
# MOTORMODEL_CLI.
set -uo pipefail
program=$1
scenario=$2
source "$(dirname "$0")/../../scripts/x11-session.sh"

work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
source "$(dirname "$0")/checks.sh"
# What the program remembers between starts stays in the run's folder.
export XDG_CONFIG_HOME="$work/config"

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
# A lecturer's file, as written by hand.
cat >"$work/commented.toml" <<'EOF'
# Lab 1: the loaded start

[step]
load = 15   # N*m, under the limit
profile = "ramp"
ramp = 200

# a heavier rotor
[model]
J = 0.0344
EOF
cp "$work/commented.toml" "$work/commented.toml.orig"

case "$scenario" in
# A laptop's screen, at a scale factor of 1.5 (910 x 512 of Qt's pixels, too
# short for the main window's form) and at 1, where the form fits but the
# four tool windows beside it do not.
small_screen) export QT_SCALE_FACTOR=1.5 && start_x 1366x768 || exit 1 ;;
small_screen_unscaled) start_x 1366x768 || exit 1 ;;
*) start_x || exit 1 ;;
esac
case "$scenario" in
experiment_file) CAPTION=$(file_caption "$work/lab.toml") start_program "$program" "$work/lab.toml" ;;
bad_experiment_file) start_program "$program" "$work/bad.toml" ;;
save_commented_file) CAPTION=$(file_caption "$work/commented.toml") start_program "$program" "$work/commented.toml" ;;
*) start_program "$program" ;;
esac

# Picks an item of the chart's menu by the keys given.
chart_menu_item() {
  # shellcheck disable=SC2086
  xdotool mousemove --window "$MAIN" $PLOT_POINT click 3
  sleep 0.3
  xdotool key "$@" Return
}

# Exports the chart's shown traces as CSV into FILE through its menu: with
# the view unzoomed, Сбросить масштаб, then Сохранить изображение…, then
# Экспорт данных в CSV….
export_csv() {
  chart_menu_item Down Down Down
  type_into_window "Экспорт данных в CSV" "$1"
  wait_for [ -s "$1" ]
}

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
small_screen | small_screen_unscaled)
  # Every window of the program, with the four tool windows open, lies on
  # the screen, however many pixels the form was designed with.
  on_screen() { # window id
    local width height x y
    IFS='x+' read -r width height x y <<<"$(outer_geometry "$1")"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + width)) -le 1366 ] && [ $((y + height)) -le 768 ]
  }
  check "the main window lies on the screen ($(outer_geometry "$MAIN"))" on_screen "$MAIN"
  # The tool bar's Измерения, Механическая характеристика, Семейство
  # кривых… and Параметры, in the form's pixels, scaled to the screen's;
  # each tool window may open over the tool bar, and a click made while
  # the main window is still coming up is clicked again, after as long as a
  # loaded machine may take to show the window.
  shown_now() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
  for tool in "314 20:$MEASUREMENTS_CAPTION" "437 20:$MECHANICAL_CAPTION" "584 20:$FAMILY_CAPTION" \
    "56 20:$PARAMETERS_CAPTION"; do
    for _ in 1 2 3; do
      xdotool windowactivate --sync "$MAIN"
      sleep 0.5
      # shellcheck disable=SC2046
      xdotool mousemove --window "$MAIN" $(awk -v scale="${QT_SCALE_FACTOR:-1}" -v point="${tool%%:*}" \
        'BEGIN {split(point, xy, " "); printf "%d %d", xy[1] * scale, xy[2] * scale}')
      sleep 0.3
      xdotool click 1
      for _ in $(seq 100); do shown_now "${tool#*:}" && break 2; sleep 0.1; done
    done
  done
  for caption in "$MAIN_CAPTION" "$MEASUREMENTS_CAPTION" "$MECHANICAL_CAPTION" "$FAMILY_CAPTION" \
    "$PARAMETERS_CAPTION"; do
    window=$(find_window "$caption") || { check "$caption is shown" false; continue; }
    # A window is fitted again as the window manager's frame comes, up to a
    # second after it shows.
    wait_for on_screen "$window"
    check "$caption lies on the screen ($(outer_geometry "$window"))" on_screen "$window"
  done
  if [ -n "${SCREENSHOT_DIR:-}" ]; then import -window root "$SCREENSHOT_DIR/$scenario.png"; fi
  wmctrl -F -c "$MAIN_CAPTION"
  wait_for_exit
  ;;
resize)
  # Grown by maximising, the chart takes the extra room and the column of
  # controls moves with the right edge; restored, everything is back.
  # The window manager restores the geometry it saw when maximising, so
  # the window must have fitted its frame to the form's size first.
  restored() { [ "$(outer_geometry "$MAIN")" = "881x645+68+67" ]; }
  check "the window starts at the form's size" wait_for restored
  read -r width0 height0 < <(client_size "$MAIN")
  wmctrl -F -r "$MAIN_CAPTION" -b add,maximized_vert,maximized_horz
  grown() { [ "$(client_size "$MAIN")" != "$width0 $height0" ]; }
  wait_for grown
  sleep 0.3
  read -r width height < <(client_size "$MAIN")
  dx=$((width - width0))
  dy=$((height - height0))
  check "maximising grows the window ($dx, $dy)" [ "$dx" -gt 100 -a "$dy" -gt 50 ]
  import -window "$MAIN" "$work/empty.png"
  corner=$(pixel_of "$work/empty.png" 20 44)
  check "the chart's background reaches the grown corner" \
    [ "$(pixel_of "$work/empty.png" $((16 + 625 + dx - 5)) $((40 + 545 + dy - 5)))" = "$corner" ]
  check "the chart covers where the progress bar was" [ "$(pixel_of "$work/empty.png" 300 600)" = "$corner" ]
  check "the progress bar is under the grown chart" [ "$(pixel_of "$work/empty.png" 300 $((600 + dy)))" != "$corner" ]
  # The load box and the step response's button, where they have moved to.
  read -r edit_x edit_y <<<"${CONTROL[Edit1]}"
  xdotool mousemove --window "$MAIN" $((edit_x + dx)) "$edit_y" click 1
  xdotool type --window "$MAIN" 10
  read -r step_x step_y <<<"${CONTROL[Button4]}"
  xdotool mousemove --window "$MAIN" $((step_x + dx)) "$step_y" click 1
  sleep 0.3
  import -window "$MAIN" "$work/step.png"
  for picture in empty step; do
    convert "$work/$picture.png" -crop "$((625 + dx))x$((545 + dy))+16+40" +repage "$work/$picture-chart.png"
  done
  check "the moved controls run the step response on the grown chart" \
    [ "$(pixels_differing "$work/empty-chart.png" "$work/step-chart.png")" -gt 1000 ]
  wmctrl -F -r "$MAIN_CAPTION" -b remove,maximized_vert,maximized_horz
  # Restored, the window is back at its place and at the form's size, even
  # when the window manager tells the thinner maximised frame late.
  check "restored, the window is the form's size again" wait_for restored
  xdotool windowsize "$MAIN" 400 300
  sleep 0.5
  check "the form's size is the smallest" [ "$(client_size "$MAIN")" = "$width0 $height0" ]
  click Button5
  wait_for_exit
  check "Выход ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
  ;;
experiment_file)
  check "the file's name is in the caption" window_shown "$(file_caption "$work/lab.toml")"
  click Button4
  export_csv "$work/window.csv"
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
save_commented_file)
  type_load 10
  # The caption is matched as a pattern: its brackets escaped.
  check "a load retyped marks the experiment changed" window_shown "$MAIN_CAPTION \\(параметры изменены\\)"
  xdotool key --window "$MAIN" ctrl+s
  check "Ctrl+S saves into the open file" window_shown "$(file_caption "$work/commented.toml")"
  sed 's/^load = 15 /load = 10 /' "$work/commented.toml.orig" >"$work/expected.toml"
  check "the file keeps its comments and holds the typed load" cmp "$work/expected.toml" "$work/commented.toml"
  click Button5
  wait_for_exit
  check "with nothing left unsaved, Выход ends the program with status 0" [ "$EXIT_STATUS" = 0 ]
  ;;
session)
  # A family, a random run and a hidden trace, saved as a session when the
  # window closes, and opened again in a new window.
  type_load 10
  click Button4
  click Button1
  # The chart's menu ends with Открыть сеанс…, Сохранить сеанс…,
  # Семейство кривых…, Отчёт… and Руководство.
  chart_menu_item Up Up Up
  family=$(find_window "$FAMILY_CAPTION")
  xdotool windowactivate --sync "$family" key Tab Return
  point_away
  shoot_chart_settled "$work/family.png"
  export_csv "$work/shown.csv"
  # The legend's first entry, the Gaussian run's Md.
  xdotool mousemove --window "$MAIN" 546 220 click 1
  point_away
  check "a legend click hides a trace" \
    shoot_chart_until "$work/hidden.png" pictures_differ "$work/family.png" "$work/hidden.png" 100
  export_csv "$work/before.csv"
  columns() { head -n 1 "$1" | tr ',' '\n' | wc -l; }
  check "the chart holds the family's four pins and the two runs" [ "$(columns "$work/shown.csv")" = 13 ]
  check "the hidden trace is not exported" [ "$(columns "$work/before.csv")" = 12 ]
  wmctrl -F -c "$MAIN_CAPTION"
  # The question bears the main window's caption.
  asked() { [ "$(xdotool search --onlyvisible --name "^$MAIN_CAPTION\$" | wc -l)" = 2 ]; }
  check "closing over pins asks" wait_for asked
  # The default answer saves a session.
  xdotool key Return
  type_into_window "Сохранить сеанс" "$work/lab.session.toml"
  wait_for_exit
  check "with the session saved, the window closes with status 0" [ "$EXIT_STATUS" = 0 ]

  start_program "$program"
  chart_menu_item Up Up Up Up Up
  type_into_window "Открыть сеанс" "$work/lab.session.toml"
  point_away
  check "the session opened shows the chart as it was" \
    shoot_chart_until "$work/reopened.png" pictures_alike "$work/hidden.png" "$work/reopened.png" 1
  export_csv "$work/after.csv"
  check "the session's export is the saved window's, byte for byte" cmp "$work/before.csv" "$work/after.csv"
  "$MOTORMODEL_CLI" session "$work/lab.session.toml" --csv "$work/cli.csv"
  check "the batch tool's export of the session is the window's" cmp "$work/before.csv" "$work/cli.csv"
  wmctrl -F -c "$MAIN_CAPTION"
  wait_for_exit
  check "pins kept in the session opened are not asked about" [ "$EXIT_STATUS" = 0 ]
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
