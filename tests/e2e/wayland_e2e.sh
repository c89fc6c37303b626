#!/usr/bin/env bash
# Checks under a private headless Wayland compositor, natively, without X11.
#
#   wayland_e2e.sh smoke PROGRAM     the real program, given an experiment
#                                    file: Qt's Wayland plugin opens its
#                                    window, nothing on standard error, the
#                                    caption names the file, a screenshot
#                                    through the compositor shows the chart,
#                                    and SIGTERM ends it as it ends any program
#   wayland_e2e.sh windows TESTS     the window tests that need Wayland's own
#                                    title bars and placement
set -uo pipefail
scenario=$1
program=$2
source "$(dirname "$0")/../../scripts/wayland-session.sh"

work=$(mktemp -d)
trap 'stop_weston; rm -rf "$work"' EXIT
source "$(dirname "$0")/checks.sh"
# What the program remembers between starts stays in the run's folder.
export XDG_CONFIG_HOME="$work/config"

start_weston || exit 1
case "$scenario" in
smoke)
  printf '[model]\nJ = 0.0344\n' >"$work/lab.toml"
  "$program" --lang ru "$work/lab.toml" >/dev/null 2>"$work/stderr" &
  app=$!
  check "the caption names the experiment file" wait_for caption_set "модель асинхронного двигателя — lab.toml"
  check "Qt's Wayland plugin is the one loaded" grep -q '/platforms/libqwayland' "/proc/$app/maps"
  # The chart's silver background, at least half the chart's area of it.
  chart_shown() {
    shoot_screen "$work/screen.png" &&
      [ "$(convert "$work/screen.png" -fill black +opaque '#C0C0C0' -fill white -opaque '#C0C0C0' \
        -format '%[fx:int(mean*w*h)]' info:)" -gt $((625 * 545 / 2)) ]
  }
  check "a screenshot through the compositor shows the chart" wait_for chart_shown
  kill -TERM "$app"
  wait "$app"
  status=$?
  check "SIGTERM ends it with status 143 ($status)" [ "$status" = 143 ]
  check "nothing on standard error" [ ! -s "$work/stderr" ]
  [ -s "$work/stderr" ] && cat "$work/stderr"
  ;;
windows)
  # Full allocation stacks, so that a leak inside Mesa's unloaded driver
  # shows the EGL library it came through (see the leak suppressions).
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0 "$program" || failures=1
  ;;
*)
  echo "unknown scenario $scenario" >&2
  exit 2
  ;;
esac
exit $((failures > 0))
