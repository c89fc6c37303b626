#!/usr/bin/env bash
# Cross-builds the libraries, the batch tool and the tests for 64-bit ARM
# into build-aarch64/ and runs the tests under qemu-aarch64: a machine
# without the x87 format, where the model's arithmetic goes through MPFR
# and must give the same bits. Arguments go to ctest, so
# `scripts/check-aarch64.sh -R StepResponse` runs only some tests.
# Expects the packages that scripts/setup.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset aarch64
cmake --build --preset aarch64
ctest --preset aarch64 "$@"
