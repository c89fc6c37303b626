#!/usr/bin/env bash
# Builds motormodel under AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ and runs the test suite there. Arguments go to ctest, so
# `scripts/check-sanitized.sh -R StepResponse` runs only some tests.
# Expects the packages that scripts/setup.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset asan
cmake --build --preset asan
ctest --preset asan "$@"
