#!/usr/bin/env bash
# The window's English translation, translations/motormodel_en.ts, against
# the texts of the code and the forms (Russian, the source language).
#
#   scripts/translations.sh update   brings the file up to date with the
#                                    texts: new ones come in unfinished, for
#                                    Qt Linguist or an editor to translate,
#                                    and those the program no longer has go
#   scripts/translations.sh check    fails, naming them, if a text has no
#                                    finished translation, if the file holds
#                                    one the program no longer has, or if a
#                                    translation keeps a Cyrillic letter
#
# Needs lupdate from Debian's qt6-l10n-tools (LUPDATE names another).
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
ts=translations/motormodel_en.ts
sources=(src/ui src/chart)
options=(-silent -I src -locations none -source-language ru_RU -target-language en_US -extensions cpp,h,ui)

case "${1:-}" in
update)
  "$lupdate" "${options[@]}" -no-obsolete "${sources[@]}" -ts "$ts"
  ;;
check)
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp "$ts" "$work/current.ts"
  "$lupdate" "${options[@]}" "${sources[@]}" -ts "$work/current.ts"
  status=0
  # lupdate marks a text it found without a translation unfinished, and one
  # the program no longer has vanished or obsolete.
  if grep -B3 -E 'type="(unfinished|vanished|obsolete)"' "$work/current.ts"; then
    echo "$ts: the texts above are new without a translation, or gone from the program;" \
      "run scripts/translations.sh update and translate" >&2
    status=1
  fi
  if grep -n -P '<translation>.*[\x{0400}-\x{04FF}]' "$ts"; then
    echo "$ts: the translations above keep Cyrillic letters" >&2
    status=1
  fi
  exit $status
  ;;
*)
  echo "usage: $0 update|check" >&2
  exit 2
  ;;
esac
