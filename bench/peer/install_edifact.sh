#!/bin/sh
# Installs the npm packages edifact and ts-edifact, the open-source peers the
# EDIFACT benchmark compares against, into a scratch folder outside the
# library's dependencies. Running it again keeps an installed copy.
#
#   bench/peer/install_edifact.sh [folder]    (default: build/npm-peer)
#
# They go into the subfolder edifact/ of the scratch folder, for the reason
# told in install_tlv.sh.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
exec "$root/bench/peer/npm_install.sh" "${1:-"$root/build/npm-peer"}/edifact" edifact ts-edifact
