#!/usr/bin/env bash
# Builds payfmt (optimised) and runs the bundled examples.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release
./build/release/examples/payfmt_tour examples/record.json
