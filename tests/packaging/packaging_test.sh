#!/usr/bin/env bash
# Checks motormodel as it is installed and packaged, from a built tree:
#
#   packaging_test.sh tree       BUILD_DIR VERSION CLI   installed files, exactly
#   packaging_test.sh validators BUILD_DIR VERSION CLI   desktop entry and AppStream metadata
#   packaging_test.sh manpage    BUILD_DIR VERSION CLI   the man page says what --help says
#   packaging_test.sh manwarnings BUILD_DIR VERSION CLI  groff finds nothing to warn about in either man page
#   packaging_test.sh deb        BUILD_DIR VERSION CLI   the Debian package: name, Depends, a run, the manual, lintian
#
# CLI is the built motormodel-cli, whose output the packaged one must match.
set -euo pipefail

check=$1 build=$2 version=$3 cli=$4
app_id=io.github.motormodel.MotorModel
icon_sizes=(16 32 48 64 128 256)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

install_into_prefix() {
  cmake --install "$build" --prefix "$work/prefix" >/dev/null
}

# The value of a setting of the build's cache.
cached() {
  sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"
}

# Where the Python module installs, named for the Python it was built for;
# nothing where the build makes none.
python_module() {
  [ "$(cached MOTORMODEL_BUILD_PYTHON)" = ON ] || return 0
  local suffix
  suffix=$("$(cached Python_EXECUTABLE)" -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
  echo "lib/python3/dist-packages/motormodel$suffix"
}

# Imports the module from the folder and prints a step response's last
# Omega, as the batch tool's CSV writes it. A module built under
# AddressSanitizer needs its runtime, and the C++ one with it, loaded
# before Python.
python_last_omega() {
  local module preload=
  module=$1/$(basename "$(python_module)")
  # grep -q would stop reading early, and pipefail would then count ldd's
  # broken pipe as no match.
  if grep -q libasan <<<"$(ldd "$module")"; then
    preload=$(ldd "$module" | awk '/libasan|libstdc\+\+/ { print $3 }' | paste -sd :)
  fi
  env PYTHONPATH="$1" ${preload:+LD_PRELOAD=$preload ASAN_OPTIONS=detect_leaks=0} "$(cached Python_EXECUTABLE)" -c '
import motormodel
print(repr(motormodel.run("step", 10).Omega[-1].item()))'
}

last_omega() {
  "$1" step 10 --csv - 2>/dev/null | tail -n 1 | cut -d , -f 3
}

# The manual as the sources hold it: each topic's Markdown, the pictures
# it shows and the lab's figures script, named within docs/.
docs=$(cd "$(dirname "$0")/../../docs" && pwd)
manual_files() {
  (cd "$docs" && ls -- *.md && local_links *.md | grep '\.png$' && echo lab-figures.ipynb) | LC_ALL=C sort -u
}

# The files that the Markdown files' links lead to within their folder: no
# addresses, no anchors within the page.
local_links() {
  grep -oh '](\([^)]*\))' "$@" | sed 's/^](//; s/)$//; s/#.*//' | grep -v -e '^$' -e ':' | LC_ALL=C sort -u
}

expected_tree() {
  python_module
  manual_files | sed 's|^|share/doc/motormodel/|'
  printf '%s\n' bin/motormodel bin/motormodel-cli \
    "share/applications/$app_id.desktop" \
    share/doc/motormodel/changelog.gz share/doc/motormodel/copyright \
    share/doc/motormodel/examples/krause-2250hp.toml share/doc/motormodel/examples/krause-3hp.toml \
    share/doc/motormodel/examples/modelica-squirrel-cage.toml share/doc/motormodel/examples/three-state-default.toml \
    "share/icons/hicolor/scalable/apps/$app_id.svg" \
    share/man/man1/motormodel.1.gz share/man/man1/motormodel-cli.1.gz \
    "share/metainfo/$app_id.metainfo.xml" "share/mime/packages/$app_id.xml"
  for size in "${icon_sizes[@]}"; do
    echo "share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  done
}

check_tree() {
  install_into_prefix
  diff -u <(expected_tree | LC_ALL=C sort) <(cd "$work/prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the installed files differ from the expected ones (- expected, + installed)"
  for program in motormodel motormodel-cli; do
    [ -x "$work/prefix/bin/$program" ] || fail "bin/$program is not executable"
  done
  if [ -n "$(python_module)" ]; then
    [ "$(python_last_omega "$work/prefix/lib/python3/dist-packages")" = "$(last_omega "$cli")" ] ||
      fail "the installed Python module does not give the batch tool's numbers"
  fi
  for size in "${icon_sizes[@]}"; do
    local icon="$work/prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "the ${size}x${size} icon has another size"
  done
}

check_validators() {
  install_into_prefix
  local entry=$work/prefix/share/applications/$app_id.desktop metainfo=$work/prefix/share/metainfo/$app_id.metainfo.xml
  desktop-file-validate "$entry"
  appstreamcli validate --pedantic --no-net "$metainfo"
  # The menu and the software centre name and describe the program in both
  # of the window's languages.
  local key
  for key in Name GenericName Comment Keywords; do
    grep -q "^$key=" "$entry" || fail "the desktop entry has no $key"
    grep -q "^$key\[ru\]=" "$entry" || fail "the desktop entry has no $key[ru]"
  done
  for key in name summary p; do
    grep -q "<$key>" "$metainfo" || fail "the AppStream file has no English <$key>"
    grep -q "<$key xml:lang=\"ru\">" "$metainfo" || fail "the AppStream file has no Russian <$key>"
  done
  # The session's type compiles into a MIME database, by its name and by its
  # first line, and the menu entry offers the window for it.
  local mime=$work/prefix/share/mime
  update-mime-database "$mime" || fail "the session's MIME type does not compile"
  grep -q '^60:application/x-motormodel-session:\*\.session\.toml$' "$mime/globs2" ||
    fail "the MIME database has no glob for sessions"
  grep -aq '# motormodel session' "$mime/magic" || fail "the MIME database has no magic for sessions"
  grep -q '^MimeType=.*application/x-motormodel-session;' "$entry" || fail "the desktop entry does not open sessions"
}

squeeze() {
  tr -s '[:space:]' ' ' | sed 's/^ //; s/ $//'
}

# Every line of --help, usage lines without their "Usage:" or "or:", must
# be in the rendered page, whatever the line breaks and indents; the lines
# that head its sections become the page's own headings.
check_manpage() {
  install_into_prefix
  local page
  page=$(MANWIDTH=1000 man --local-file -E ascii "$work/prefix/share/man/man1/motormodel-cli.1.gz" | col -bx | squeeze)
  local line missing=0
  while IFS= read -r line; do
    line=$(sed -E 's/^ *(Usage:|or:)//' <<<"$line" | squeeze)
    [ -z "$line" ] && continue
    [[ "$line" =~ ^(Options:|Examples:|\*.*\*)$ ]] && continue
    if [[ "$page" != *"$line"* ]]; then
      echo "not in the man page: $line" >&2
      missing=1
    fi
  done < <("$cli" --help)
  [[ "$page" == *"motormodel-cli $version"* ]] || fail "the man page does not name version $version"
  ((missing == 0)) || fail "the man page does not match --help"
  # The date is the third field of each page's title line.
  local dates
  dates=$(for name in motormodel motormodel-cli; do
    zcat "$work/prefix/share/man/man1/$name.1.gz" | sed -n 's/^\.TH [^ ]* "*1"* "\([^"]*\)".*/\1/p'
  done | sort -u)
  [[ "$dates" =~ ^[A-Z][a-z]+\ [0-9]{4}$ ]] || fail "the man pages are dated differently: $dates"
}

# Both pages as they are installed, with every groff warning on: a warning
# is a page that renders wrong somewhere. On a terminal, as man shows them;
# the batch tool's page, all ASCII, also for groff's default PostScript
# device, which has no Cyrillic glyphs for the window's captions.
check_manwarnings() {
  install_into_prefix
  local page device warnings
  for page in motormodel:-Tutf8 motormodel-cli:-Tutf8 motormodel-cli:-Tps; do
    device=${page#*:} page=${page%:*}
    warnings=$(zcat "$work/prefix/share/man/man1/$page.1.gz" | groff -ww -man -z "$device" 2>&1) ||
      fail "groff $device failed on $page.1: $warnings"
    [ -z "$warnings" ] || fail "groff $device warns about $page.1: $warnings"
  done
}

check_deb() {
  cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
  local deb
  deb="$work/motormodel_${version}_$(dpkg --print-architecture).deb"
  [ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$work")"
  dpkg-deb --info "$deb"

  local depends
  depends=$(dpkg-deb --field "$deb" Depends)
  # Versioned library packages come only from the binaries' own links.
  for wanted in 'libc6 \(>= ' 'libqt6widgets6 \(>= ' 'libqcustomplot' fonts-liberation fonts-dejavu-core qt6-wayland \
    qt6-translations-l10n; do
    grep -Eq "(^|, )($wanted)" <<<"$depends" || fail "Depends lacks $wanted: $depends"
  done

  dpkg-deb --extract "$deb" "$work/root"
  local packaged built
  packaged=$("$work/root/usr/bin/motormodel-cli" step 10)
  built=$("$cli" step 10)
  [ "$(wc -l <<<"$packaged")" -eq 2 ] || fail "the packaged motormodel-cli printed: $packaged"
  [ "$packaged" = "$built" ] || fail "the packaged motormodel-cli printed '$packaged', the built one '$built'"
  if [ -n "$(python_module)" ]; then
    grep -Eq '(^|, )python3-numpy' <<<"$depends" || fail "Depends lacks python3-numpy: $depends"
    [ "$(python_last_omega "$work/root/usr/lib/python3/dist-packages")" = "$(last_omega "$cli")" ] ||
      fail "the packaged Python module does not give the batch tool's numbers"
  fi

  # The package holds the manual as the sources hold it, and every link
  # between its files leads to a file it holds.
  local name target
  while IFS= read -r name; do
    cmp -s "$docs/$name" "$work/root/usr/share/doc/motormodel/$name" ||
      fail "the package's /usr/share/doc/motormodel/$name is not docs/$name"
  done < <(manual_files)
  while IFS= read -r target; do
    [ -f "$work/root/usr/share/doc/motormodel/$target" ] || fail "the packaged manual links to $target, which it lacks"
  done < <(local_links "$work/root/usr/share/doc/motormodel/"*.md)
  for name in motormodel motormodel-cli; do
    grep -q '/usr/share/doc/motormodel/' <<<"$(zcat "$work/root/usr/share/man/man1/$name.1.gz")" ||
      fail "the man page $name.1 does not say where the manual is"
  done

  echo "lintian:"
  lintian --display-info --fail-on error "$deb" || fail "lintian reports errors"
}

case $check in
tree | validators | manpage | manwarnings | deb) "check_$check" ;;
*) fail "unknown check '$check'" ;;
esac
echo "PASS: $check"
