# Sourced by the end-to-end scripts: each check is told as it passes or
# fails, and the failures are counted for the exit status.
failures=0
check() { # description, then a command that must succeed
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
