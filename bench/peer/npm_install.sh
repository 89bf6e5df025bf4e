#!/bin/sh
# Installs npm packages into a scratch folder, outside the library's
# dependencies, unless they are there already: the work of every
# install_*.sh here.
#
#   bench/peer/npm_install.sh PREFIX PACKAGE...
#
# The packages are named in one install: with no package.json to list what
# is wanted, `npm install --no-save` of one package removes every other
# package under its prefix.
set -eu

prefix=$1
shift
missing=
for package in "$@"; do
    [ -f "$prefix/node_modules/$package/package.json" ] || missing=yes
done
if [ -z "$missing" ]; then
    echo "$* already installed in $prefix"
    exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
    echo "npm not found: install node.js and npm first" >&2
    exit 1
fi

mkdir -p "$prefix"
latest=
for package in "$@"; do latest="$latest $package@latest"; done
# shellcheck disable=SC2086 # one word per package
npm install --prefix "$prefix" --no-save --no-audit --no-fund $latest
echo "$* installed in $prefix"
