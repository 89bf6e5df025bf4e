#!/usr/bin/env bash
# Builds payfmt (optimised) and runs the command-line tool over a few real
# field conversions, then the C tour of the support layer.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release
payfmt=./build/release/tools/payfmt

run() {
  printf '\n$ payfmt'
  printf " '%s'" "$@"
  printf '\n'
  "$payfmt" "$@" 2>&1 || true
}

# An amount of 12.50 as a twelve-digit zero-padded field, and back.
run output 'PADL("0",12)' 1250
run input 'FIX(12).TRIML("0")' 000000001250XYZ
# A one-byte binary length read as decimal, and written back.
run input 'FIX(1).RAW2DEC' '#0C'
run output 'DEC2RAW' 12
# An LLVAR field: two length digits, then the data.
run input 'LLVAR' 16411111111111111199
run output 'LLVAR' 4111111111111111
# A date field YYMMDD read into the library's YYYYMMDDhhmmss form and back.
run input 'YYMMDD' 261209
run output 'DDMMYY' 20261209093000
# A processing code as BCD-style hexadecimal, via the built-in HEX2DEC sequence.
run --hex input 'HEX2DEC' 31323334
# Input validation with a mask: two digits, then one to three letters.
run validate 'FIX(5)' 'N2+A1-3' 12ABC
run validate 'FIX(2)' N2 1X
# A format with a syntax error.
run check 'FIX(2'

# A fixed-format batch record with a repeated, length-prefixed item group:
# parsed into its template, then compiled back from the parsed tree.
run parse --defs examples/batch.json @examples/batch.msg
"$payfmt" parse --json --defs examples/batch.json @examples/batch.msg > build/release/batch_values.json
run compile build/release/batch_values.json

echo
./build/release/examples/payfmt_tour examples/record.json
