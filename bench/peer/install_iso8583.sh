#!/bin/sh
# Installs the npm package iso_8583, the open-source peer the ISO 8583
# benchmark compares against, into a scratch folder outside the library's
# dependencies. Running it again keeps an installed copy.
#
#   bench/peer/install_iso8583.sh [folder]    (default: build/npm-peer)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
exec "$root/bench/peer/npm_install.sh" "${1:-"$root/build/npm-peer"}" iso_8583
