#!/bin/sh
# Installs the npm packages ber-tlv and node-tlv, the open-source peers the
# BER-TLV benchmark compares against, into a scratch folder outside the
# library's dependencies. Running it again keeps an installed copy.
#
#   bench/peer/install_tlv.sh [folder]    (default: build/npm-peer)
#
# They go into the subfolder tlv/ of the scratch folder, not beside
# iso_8583: one `npm install --no-save` removes every other package under
# its prefix, so the install scripts sharing one node_modules would each
# undo the other.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
exec "$root/bench/peer/npm_install.sh" "${1:-"$root/build/npm-peer"}/tlv" ber-tlv node-tlv
