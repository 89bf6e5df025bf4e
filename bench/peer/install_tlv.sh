#!/bin/sh
# Installs the npm packages ber-tlv and node-tlv, the open-source peers the
# BER-TLV benchmark compares against, into a scratch folder outside the
# library's dependencies. Running it again keeps an installed copy.
#
#   bench/peer/install_tlv.sh [folder]    (default: build/npm-peer)
#
# They go into the subfolder tlv/ of the scratch folder, not beside iso_8583:
# with no package.json to list what is wanted, `npm install --no-save` of one
# package removes every other package under that prefix, so the two install
# scripts sharing one node_modules would each undo the other. Both packages
# are named in one install for the same reason.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${1:-"$root/build/npm-peer"}/tlv

if [ -f "$prefix/node_modules/ber-tlv/package.json" ] &&
   [ -f "$prefix/node_modules/node-tlv/package.json" ]; then
    echo "ber-tlv and node-tlv already installed in $prefix"
    exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
    echo "npm not found: install node.js and npm first" >&2
    exit 1
fi

mkdir -p "$prefix"
npm install --prefix "$prefix" --no-save --no-audit --no-fund ber-tlv@latest node-tlv@latest
echo "ber-tlv and node-tlv installed in $prefix"
