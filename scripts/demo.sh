#!/usr/bin/env bash
# Builds payfmt (optimised) and runs the command-line tool over a few real
# field conversions, then the C tour of the support layer.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release
payfmt=./build/release/tools/payfmt

# Parses the message file with the options after it, compiles the parsed
# tree back with the same options and checks that the bytes are the same.
roundtrip() {
  local message=$1
  shift
  local values=build/release/$(basename "$message").values.json
  "$payfmt" parse --json "$@" "@$message" 2>/dev/null > "$values"
  local rebuilt original
  rebuilt=$("$payfmt" --hex compile "$@" "$values" 2>/dev/null)
  original=$(od -An -v -tx1 "$message" | tr -d ' \n' | tr a-f A-F)
  if [ "$rebuilt" = "$original" ]; then
    echo "$(basename "$message" .msg): compiled back to the same $(( ${#original} / 2 )) bytes"
  else
    echo "$(basename "$message" .msg): compiled message differs from $message" >&2
    exit 1
  fi
}

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

# ISO 8583: an ASCII 1987 authorisation request, the same with its bitmaps
# sent as hexadecimal text, and a binary dialect (BCD numbers, EBCDIC text in
# code page 037). Each is parsed, then compiled back from the parsed tree.
iso=examples/iso8583
emv=examples/emv
# DE 55 of the ascii dialect is read on by an EMV parser opened for the run.
with_emv="--with emv=PBER:$emv/emv.json"
run parse --type P8583 --defs $iso/ascii.json $with_emv @$iso/ascii.msg
run parse --type P8583 --defs $iso/ascii_hex.json @$iso/ascii_hex.msg
run parse --codepage cp_037 --type P8583 --defs $iso/binary.json @$iso/binary.msg
for dialect in ascii ascii_hex binary; do
  roundtrip $iso/$dialect.msg --codepage cp_037 --type P8583 --defs $iso/$dialect.json $with_emv
done
# A message cut short, and one with a letter in a numeric field.
run parse --type P8583 --defs $iso/ascii.json $with_emv '0200#F2#3C#46#81#2E#E0#92#05#00#00#00#00#04#00#00#00164761739001010010'
run parse --type P8583 --defs $iso/ascii.json $with_emv '0200#F2#3C#46#81#2E#E0#92#05#00#00#00#00#04#00#00#0016476173900101001000X000'

# EMV data as BER-TLV: the DE 55 of the ascii sample, and the FCI of a
# SELECT response with nested templates and a tag the definitions lack;
# each compiled back from its parsed tree.
run parse --type PBER --defs $emv/emv.json @$emv/de55.msg
run parse --type PBER --defs $emv/emv.json @$emv/fci.msg
for sample in de55 fci; do
  roundtrip $emv/$sample.msg --type PBER --defs $emv/emv.json
done

# Bitmap records: two terminal-management messages back to back, each a
# header, a two-block bitmap, two application profiles under it and a trailer;
# and a terminal status record with a fixed 16-bit bitmap. Each compiled back.
bitmaps=examples/bitmaps
tms="--type PVBM --defs $bitmaps/tms.json --set RecordCount=2 --set GroupRecords=true --set MessageLoop=true"
status="--type PFBM --defs $bitmaps/status.json --set BitMapBits=16 --set BitMapIFO=FIX(4).HEX2RAW --set BitMapOFO=RAW2HEX"
run parse $tms @$bitmaps/tms.msg
run parse $status @$bitmaps/status.msg
roundtrip $bitmaps/tms.msg $tms
roundtrip $bitmaps/status.msg $status

# EDIFACT: a PAYMUL interchange (UNA, UNB, a message with two payment lines
# and three payments, UNZ) with released separators in its values, printed
# by segment, element and component, and compiled back.
edifact="--type PEDI --defs examples/edifact/paymul.json"
run parse $edifact @examples/edifact/paymul.msg
roundtrip examples/edifact/paymul.msg $edifact

# XML: an ISO 20022 pain.001 credit transfer initiation, validated against
# its schema, then the same document with a bad amount; the first compiled
# back from its parsed tree.
pain="--type PXML --schema urn:iso:std:iso:20022:tech:xsd:pain.001.001.03=examples/xml/pain001.xsd"
run parse $pain @examples/xml/pain001.xml
run parse $pain @examples/xml/pain001_invalid.xml
roundtrip examples/xml/pain001.xml $pain

echo
./build/release/examples/payfmt_tour examples/record.json
