#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang into build-fuzz/ (the fuzz
# preset) and runs each for a fixed number of inputs, starting from its seed
# corpus in tests/fuzz/corpus/.
#
#   scripts/fuzz.sh           1,000,000 inputs to the parser, to the experiment-file and
#                             session loaders and to the extended arithmetic, 200,000 to the
#                             step response
#   scripts/fuzz.sh --short   20,000 to each but the step response's 2,000 and the session
#                             loader's 5,000: a pass of a few seconds, for CI
#
# The fuzzers grow a temporary copy of the corpus, so the repository is left
# as it was; an input that fails is saved in build-fuzz/findings/. Needs
# clang, libclang-rt-14-dev and llvm (llvm-symbolizer, for readable reports),
# which scripts/setup.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

parser_runs=1000000
settings_runs=1000000
session_runs=1000000
step_runs=200000
extended_runs=1000000
case "${1:-}" in
"") ;;
--short)
  parser_runs=20000
  settings_runs=20000
  session_runs=5000
  step_runs=2000
  extended_runs=20000
  ;;
*)
  echo "usage: $0 [--short]" >&2
  exit 2
  ;;
esac

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ not found (apt-get install clang libclang-rt-14-dev llvm)" >&2
  exit 1
fi
cmake --preset fuzz
cmake --build --preset fuzz

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
findings=build-fuzz/findings
mkdir -p "$findings"

# fuzz NAME RUNS [libFuzzer options...]
fuzz() {
  local name=$1 runs=$2
  shift 2
  cp -R "tests/fuzz/corpus/$name" "$corpus/$name"
  echo "== fuzz_$name: $runs inputs from $(ls "$corpus/$name" | wc -l) seeds"
  build-fuzz/bin/"fuzz_$name" "$corpus/$name" -runs="$runs" -timeout=30 \
    -artifact_prefix="$findings/$name-" -print_final_stats=1 "$@"
  echo "== fuzz_$name: corpus now holds $(ls "$corpus/$name" | wc -l) inputs"
}

# The parser reads text of any length, so it is fed long inputs too; a step
# run costs 2000 steps, and its harness ignores inputs past 256 bytes.
fuzz strtoint "$parser_runs" -max_len=131072
fuzz step "$step_runs" -max_len=256
# Experiment files are short; the size limit is the loader's own business
# and has its test.
fuzz settings "$settings_runs" -max_len=4096
# A session holds the random sources' states, some 13 KB: inputs up to
# 16 KB hold one whole and keep the pace near 500 a second under the
# sanitizers; the rest of a longer file is read by the same code.
fuzz session "$session_runs" -max_len=16384
# An operation and two operands: 21 bytes.
fuzz extended "$extended_runs" -max_len=21
