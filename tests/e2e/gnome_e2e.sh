#!/usr/bin/env bash
# The real program on a headless GNOME Shell (Wayland, without Xwayland),
# with the desktop's GTK platform theme and font, driven through the shell's
# own interfaces:
#
#   gnome_e2e.sh PROGRAM SHOTS   opens the main window and the alert,
#                                docks the experiment's settings and the
#                                family of curves, floats the first dock
#                                and docks it again with its floating
#                                window's button; every window within the
#                                screen; screenshots into SHOTS
set -uo pipefail
program=$1
shots=$2
source "$(dirname "$0")/../../scripts/gnome-session.sh"

work=$(mktemp -d)
trap 'stop_gnome; rm -rf "$work"' EXIT
source "$(dirname "$0")/checks.sh"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORMTHEME=gtk3
mkdir -p "$shots"
main="модель асинхронного двигателя"
alert="Некорректно введенное значение Мс<30"
parameters="Параметры опыта"

start_gnome 1366x768 || exit 1
# The work area: the screen below the shell's top bar, on a screen as small
# as the program's windows are made to fit.
read -r _ top _ _ < <(shell_eval "const w = Main.layoutManager.getWorkAreaForMonitor(0);
  [w.x, w.y, w.width, w.height].join(' ')" | tr -d '"')
on_screen() { # x y width height
  [ "$1" -ge 0 ] && [ "$2" -ge "$top" ] && [ $(($1 + $3)) -le 1366 ] && [ $(($2 + $4)) -le 768 ]
}
"$program" --lang ru >/dev/null 2>"$work/stderr" &
APP_PID=$!
check "the main window opens" wait_for window_shown "$main"
sleep 1
read -r x y width height < <(window_rect "$main")
check "the main window lies on the screen ($x $y $width $height)" on_screen "$x" "$y" "$width" "$height"
# Qt's title bar is 30 pixels tall over a 3-pixel frame.
at() { click_at $((x + 3 + $1)) $((y + 30 + $2)); }

at 700 220
press_keys Control_L+a BackSpace 4 0
at 744 272
check "a load past the limit opens the alert" wait_for window_shown "$alert"
read -r ax ay awidth aheight < <(window_rect "$alert")
check "the alert lies on the screen ($ax $ay $awidth $aheight)" on_screen "$ax" "$ay" "$awidth" "$aheight"
at_least_form() { [ "$awidth" -ge 409 ] && [ "$aheight" -ge 114 ]; }
check "the alert is at least the form's width and height ($awidth x $aheight)" at_least_form
shoot_screen "$shots/alert.png"
press_keys Escape
check "Escape closes the alert" wait_for eval '! window_shown "$alert"'

at 55 19
widened() { read -r _ _ w _ < <(window_rect "$main") && [ "$w" -gt "$width" ]; }
check "the experiment's settings dock in the main window, which widens" wait_for widened
sleep 1
# The family of curves docks below them, where the column holds both. The
# window has moved as it widened.
read -r x y _ _ < <(window_rect "$main")
at 567 19
sleep 2
read -r x y docked dockedHeight < <(window_rect "$main")
check "the main window with its dock lies on the screen ($x $y $docked $dockedHeight)" \
  on_screen "$x" "$y" "$docked" "$dockedHeight"
shoot_screen "$shots/docked.png"
# The dock's float button, at the right end of its title.
click_at $((x + docked - 27)) $((y + 38))
check "its title bar's button floats the dock in a window of its own" wait_for window_shown "$parameters"
sleep 1
read -r px py pwidth pheight < <(window_rect "$parameters")
check "the floating dock lies on the screen ($px $py $pwidth $pheight)" on_screen "$px" "$py" "$pwidth" "$pheight"
shoot_screen "$shots/floating.png"
# The button that docks it again, first in its window.
click_at $((px + 60)) $((py + 42))
check "the floating window's own button docks it again" wait_for eval '! window_shown "$parameters"'
back() { read -r _ _ w _ < <(window_rect "$main") && [ "$w" = "$docked" ]; }
check "the main window takes the dock's room again" wait_for back
shoot_screen "$shots/docked-again.png"
check "the screenshots show the chart" [ "$(convert "$shots/docked-again.png" -fill black +opaque '#C0C0C0' \
  -fill white -opaque '#C0C0C0' -format '%[fx:int(mean*w*h)]' info:)" -gt $((625 * 545 / 2)) ]
check "nothing on standard error" [ ! -s "$work/stderr" ]
[ -s "$work/stderr" ] && cat "$work/stderr"
exit $((failures > 0))
