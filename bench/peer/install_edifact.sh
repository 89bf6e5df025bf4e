#!/bin/sh
# Installs the npm packages edifact and ts-edifact, the open-source peers the
# EDIFACT benchmark compares against, into a scratch folder outside the
# library's dependencies. Running it again keeps an installed copy.
#
#   bench/peer/install_edifact.sh [folder]    (default: build/npm-peer)
#
# They go into the subfolder edifact/ of the scratch folder, and both are
# named in one install, for the reason told in install_tlv.sh: one
# `npm install --no-save` removes every other package under its prefix.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${1:-"$root/build/npm-peer"}/edifact

if [ -f "$prefix/node_modules/edifact/package.json" ] &&
   [ -f "$prefix/node_modules/ts-edifact/package.json" ]; then
    echo "edifact and ts-edifact already installed in $prefix"
    exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
    echo "npm not found: install node.js and npm first" >&2
    exit 1
fi

mkdir -p "$prefix"
npm install --prefix "$prefix" --no-save --no-audit --no-fund edifact@latest ts-edifact@latest
echo "edifact and ts-edifact installed in $prefix"
