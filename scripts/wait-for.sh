# Sourced by the session scripts.

# Waits up to 20 s for a command to succeed: a guard against a hang, not a
# timing.
wait_for() {
  for _ in $(seq 200); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
