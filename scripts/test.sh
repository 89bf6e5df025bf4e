#!/usr/bin/env bash
# Builds payfmt with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
