#!/bin/sh
# Installs the npm package iso_8583, the open-source peer the ISO 8583
# benchmark compares against, into a scratch folder outside the library's
# dependencies. Running it again keeps an installed copy.
#
#   bench/peer/install_iso8583.sh [folder]    (default: build/npm-peer)
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${1:-"$root/build/npm-peer"}

if [ -f "$prefix/node_modules/iso_8583/package.json" ]; then
    echo "iso_8583 already installed in $prefix"
    exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
    echo "npm not found: install node.js and npm first" >&2
    exit 1
fi

mkdir -p "$prefix"
npm install --prefix "$prefix" --no-save --no-audit --no-fund iso_8583@latest
echo "iso_8583 installed in $prefix"
