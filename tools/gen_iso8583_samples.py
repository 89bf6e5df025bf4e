#!/usr/bin/env python3
"""Builds the ISO 8583 sample messages of examples/iso8583/.

The messages are put together from their field values by the plain rules of
ISO 8583:1987 (bitmaps, length prefixes, numeric and text encodings), with
nothing but the Python standard library, so that they serve as an independent
reference for the definition trees next to them. For every dialect it writes

    <dialect>.msg          the raw message bytes
    <dialect>.fields.txt   one line per field in message order:
                           bit <TAB> name <TAB> value as IStr text

Dialects:

    ascii      MTI and numeric fields as ASCII digits, LLVAR/LLLVAR with
               ASCII decimal length prefixes, binary 8-byte bitmaps
    ascii_hex  as ascii, but each bitmap sent as 16 upper-case hex characters
    binary     MTI and numeric fields packed BCD (odd lengths get a leading 0
               nibble), variable numeric fields with a one-byte binary digit
               count, variable text/binary fields with a one-byte (LL) or
               two-byte big-endian (LLL) binary byte count, text in EBCDIC
               (IBM code page 037)

usage: gen_iso8583_samples.py [--check] [OUTDIR]
    OUTDIR defaults to examples/iso8583 next to this script's directory.
    --check compares with the files already there instead of writing them.
"""

import os
import sys

# ---------------------------------------------------------------------------
# ISO 8583:1987 data elements: bit -> (name, attribute, length, prefix digits)
# attribute: n numeric, a alpha, an alphanumeric, ans alphanumeric and symbols,
# ns numeric and symbols, z track 2/3 code set, x+n sign (C/D) plus digits,
# a/n alphabetic or numeric, b binary (length in bytes here).
# prefix digits: 0 fixed length, 2 LLVAR, 3 LLLVAR.
# ---------------------------------------------------------------------------
FIELDS = {
    -1: ("MessageType", "n", 4, 0),
    0: ("PrimaryBitmap", "b", 8, 0),
    1: ("SecondaryBitmap", "b", 8, 0),
    2: ("PrimaryAccountNumber", "n", 19, 2),
    3: ("ProcessingCode", "n", 6, 0),
    4: ("AmountTransaction", "n", 12, 0),
    5: ("AmountSettlement", "n", 12, 0),
    6: ("AmountCardholderBilling", "n", 12, 0),
    7: ("TransmissionDateTime", "n", 10, 0),
    8: ("AmountCardholderBillingFee", "n", 8, 0),
    9: ("ConversionRateSettlement", "n", 8, 0),
    10: ("ConversionRateCardholderBilling", "n", 8, 0),
    11: ("SystemTraceAuditNumber", "n", 6, 0),
    12: ("TimeLocalTransaction", "n", 6, 0),
    13: ("DateLocalTransaction", "n", 4, 0),
    14: ("DateExpiration", "n", 4, 0),
    15: ("DateSettlement", "n", 4, 0),
    16: ("DateConversion", "n", 4, 0),
    17: ("DateCapture", "n", 4, 0),
    18: ("MerchantType", "n", 4, 0),
    19: ("AcquiringInstitutionCountryCode", "n", 3, 0),
    20: ("PanExtendedCountryCode", "n", 3, 0),
    21: ("ForwardingInstitutionCountryCode", "n", 3, 0),
    22: ("PosEntryMode", "n", 3, 0),
    23: ("CardSequenceNumber", "n", 3, 0),
    24: ("NetworkInternationalIdentifier", "n", 3, 0),
    25: ("PosConditionCode", "n", 2, 0),
    26: ("PosCaptureCode", "n", 2, 0),
    27: ("AuthorizationIdResponseLength", "n", 1, 0),
    28: ("AmountTransactionFee", "x+n", 9, 0),
    29: ("AmountSettlementFee", "x+n", 9, 0),
    30: ("AmountTransactionProcessingFee", "x+n", 9, 0),
    31: ("AmountSettlementProcessingFee", "x+n", 9, 0),
    32: ("AcquiringInstitutionId", "n", 11, 2),
    33: ("ForwardingInstitutionId", "n", 11, 2),
    34: ("PrimaryAccountNumberExtended", "ns", 28, 2),
    35: ("Track2Data", "z", 37, 2),
    36: ("Track3Data", "z", 104, 3),
    37: ("RetrievalReferenceNumber", "an", 12, 0),
    38: ("AuthorizationIdResponse", "an", 6, 0),
    39: ("ResponseCode", "an", 2, 0),
    40: ("ServiceRestrictionCode", "an", 3, 0),
    41: ("CardAcceptorTerminalId", "ans", 8, 0),
    42: ("CardAcceptorId", "ans", 15, 0),
    43: ("CardAcceptorNameLocation", "ans", 40, 0),
    44: ("AdditionalResponseData", "an", 25, 2),
    45: ("Track1Data", "an", 76, 2),
    46: ("AdditionalDataIso", "an", 999, 3),
    47: ("AdditionalDataNational", "an", 999, 3),
    48: ("AdditionalDataPrivate", "an", 999, 3),
    49: ("CurrencyCodeTransaction", "a/n", 3, 0),
    50: ("CurrencyCodeSettlement", "a/n", 3, 0),
    51: ("CurrencyCodeCardholderBilling", "a/n", 3, 0),
    52: ("PinData", "b", 8, 0),
    53: ("SecurityRelatedControlInfo", "n", 16, 0),
    54: ("AdditionalAmounts", "an", 120, 3),
    55: ("IccData", "b", 999, 3),
    56: ("ReservedIso56", "ans", 999, 3),
    57: ("ReservedNational57", "ans", 999, 3),
    58: ("ReservedNational58", "ans", 999, 3),
    59: ("ReservedNational59", "ans", 999, 3),
    60: ("ReservedPrivate60", "ans", 999, 3),
    61: ("ReservedPrivate61", "ans", 999, 3),
    62: ("ReservedPrivate62", "ans", 999, 3),
    63: ("ReservedPrivate63", "ans", 999, 3),
    64: ("MessageAuthenticationCode", "b", 8, 0),
    65: ("BitmapExtended", "b", 1, 0),
    66: ("SettlementCode", "n", 1, 0),
    67: ("ExtendedPaymentCode", "n", 2, 0),
    68: ("ReceivingInstitutionCountryCode", "n", 3, 0),
    69: ("SettlementInstitutionCountryCode", "n", 3, 0),
    70: ("NetworkManagementInfoCode", "n", 3, 0),
    71: ("MessageNumber", "n", 4, 0),
    72: ("MessageNumberLast", "n", 4, 0),
    73: ("DateAction", "n", 6, 0),
    74: ("CreditsNumber", "n", 10, 0),
    75: ("CreditsReversalNumber", "n", 10, 0),
    76: ("DebitsNumber", "n", 10, 0),
    77: ("DebitsReversalNumber", "n", 10, 0),
    78: ("TransferNumber", "n", 10, 0),
    79: ("TransferReversalNumber", "n", 10, 0),
    80: ("InquiriesNumber", "n", 10, 0),
    81: ("AuthorizationsNumber", "n", 10, 0),
    82: ("CreditsProcessingFeeAmount", "n", 12, 0),
    83: ("CreditsTransactionFeeAmount", "n", 12, 0),
    84: ("DebitsProcessingFeeAmount", "n", 12, 0),
    85: ("DebitsTransactionFeeAmount", "n", 12, 0),
    86: ("CreditsAmount", "n", 16, 0),
    87: ("CreditsReversalAmount", "n", 16, 0),
    88: ("DebitsAmount", "n", 16, 0),
    89: ("DebitsReversalAmount", "n", 16, 0),
    90: ("OriginalDataElements", "n", 42, 0),
    91: ("FileUpdateCode", "an", 1, 0),
    92: ("FileSecurityCode", "an", 2, 0),
    93: ("ResponseIndicator", "an", 5, 0),
    94: ("ServiceIndicator", "an", 7, 0),
    95: ("ReplacementAmounts", "an", 42, 0),
    96: ("MessageSecurityCode", "b", 8, 0),
    97: ("AmountNetSettlement", "x+n", 17, 0),
    98: ("Payee", "ans", 25, 0),
    99: ("SettlementInstitutionId", "n", 11, 2),
    100: ("ReceivingInstitutionId", "n", 11, 2),
    101: ("FileName", "ans", 17, 2),
    102: ("AccountIdentification1", "ans", 28, 2),
    103: ("AccountIdentification2", "ans", 28, 2),
    104: ("TransactionDescription", "ans", 100, 3),
}
for _bit in range(105, 112):
    FIELDS[_bit] = ("ReservedIso%d" % _bit, "ans", 999, 3)
for _bit in range(112, 120):
    FIELDS[_bit] = ("ReservedNational%d" % _bit, "ans", 999, 3)
for _bit in range(120, 128):
    FIELDS[_bit] = ("ReservedPrivate%d" % _bit, "ans", 999, 3)
FIELDS[128] = ("SecondaryMessageAuthenticationCode", "b", 8, 0)

# Date and time layouts of the numeric date fields.
DATE_LAYOUTS = {7: "MMDDHHMMSS", 12: "HHMMSS", 13: "MMDD", 14: "YYMM", 15: "MMDD", 16: "MMDD", 17: "MMDD",
                73: "YYMMDD"}


# ---------------------------------------------------------------------------
# Helpers
# ---------------------------------------------------------------------------
def tlv(*items):
    """BER-TLV (EMV) encoding of (tag hex, value hex) pairs, short or long
    definite lengths."""
    out = b""
    for tag, value in items:
        v = bytes.fromhex(value)
        if len(v) < 0x80:
            length = bytes([len(v)])
        elif len(v) < 0x100:
            length = bytes([0x81, len(v)])
        else:
            length = bytes([0x82, len(v) >> 8, len(v) & 0xFF])
        out += bytes.fromhex(tag) + length + v
    return out


def istr(data):
    """IStr text: printable ASCII except "#" stands for itself, every other
    byte is "#" and two upper-case hexadecimal digits."""
    return "".join(chr(b) if 0x20 <= b <= 0x7E and b != 0x23 else "#%02X" % b for b in data)


def bitmap(bits):
    """The primary bitmap (8 bytes), followed by the secondary one when any
    bit above 64 is present (bit 1 then set)."""
    present = set(b for b in bits if b >= 2)
    if any(b > 64 for b in present):
        present.add(1)
    size = 16 if 1 in present else 8
    raw = bytearray(size)
    for b in present:
        raw[(b - 1) // 8] |= 0x80 >> ((b - 1) % 8)
    return bytes(raw)


def check_value(bit, value):
    """Length and character checks of a text or numeric value."""
    name, attr, length, prefix = FIELDS[bit]
    if prefix == 0 and len(value) != length:
        raise ValueError("bit %d (%s): %d characters, fixed length is %d" % (bit, name, len(value), length))
    if prefix and len(value) > length:
        raise ValueError("bit %d (%s): %d characters, at most %d" % (bit, name, len(value), length))
    if attr == "n" and not value.isdigit():
        raise ValueError("bit %d (%s): not numeric" % (bit, name))


def bcd(digits):
    """Packed BCD, two digits to a byte, a leading 0 nibble for an odd count.
    Track data keep their separator as the nibble D."""
    if len(digits) % 2:
        digits = "0" + digits
    return bytes.fromhex(digits)


# ---------------------------------------------------------------------------
# Encoders: (bit, value) -> field bytes. Values are str for text and numeric
# fields, bytes for binary fields.
# ---------------------------------------------------------------------------
def encode_ascii(bit, value):
    name, attr, length, prefix = FIELDS[bit]
    if attr == "b":
        data = value
        if len(data) > length or (prefix == 0 and len(data) != length):
            raise ValueError("bit %d (%s): %d bytes, length is %d" % (bit, name, len(data), length))
    else:
        check_value(bit, value)
        data = value.encode("ascii")
    if prefix:
        # ASCII decimal byte count, 2 (LLVAR) or 3 (LLLVAR) digits
        return b"%0*d" % (prefix, len(data)) + data
    return data


def encode_binary(bit, value):
    name, attr, length, prefix = FIELDS[bit]
    if attr == "b":
        if len(value) > length or (prefix == 0 and len(value) != length):
            raise ValueError("bit %d (%s): %d bytes, length is %d" % (bit, name, len(value), length))
        if prefix:
            # binary byte count, 1 byte (LLVAR) or 2 bytes big-endian (LLLVAR)
            return len(value).to_bytes(1 if prefix == 2 else 2, "big") + value
        return value
    if attr in ("n", "z", "a/n"):
        # numeric (currency codes included) and track data: packed BCD
        check_value(bit, value)
        if any(c not in ("0123456789D" if attr == "z" else "0123456789") for c in value):
            raise ValueError("bit %d (%s): not BCD digits" % (bit, name))
        if prefix:
            # one binary byte: the number of digits
            return bytes([len(value)]) + bcd(value)
        return bcd(value)
    # text: EBCDIC, IBM code page 037
    check_value(bit, value)
    data = value.encode("cp037")
    if prefix:
        return len(data).to_bytes(1 if prefix == 2 else 2, "big") + data
    return data


def build(values, encode, hex_bitmaps=False):
    """(message bytes, [(bit, name, value bytes as the parser yields them)])"""
    bits = sorted(b for b in values if b >= 2)
    bm = bitmap(bits)
    fields = [(-1, values[-1])]
    fields.append((0, bm[:8]))
    if len(bm) == 16:
        fields.append((1, bm[8:]))
    fields += [(b, values[b]) for b in bits]
    message = b""
    decoded = []
    for bit, value in fields:
        if bit in (0, 1):
            message += value.hex().upper().encode("ascii") if hex_bitmaps else value
        else:
            message += encode(bit, value)
        shown = value if isinstance(value, bytes) else value.encode("latin-1")
        decoded.append((bit, FIELDS[bit][0], shown))
    return message, decoded


# ---------------------------------------------------------------------------
# Sample values
# ---------------------------------------------------------------------------
# A chip purchase of EUR 125.00 at a Berlin coffee bar, 9 December 2025,
# 13:41:00 GMT (14:41:00 local time).
ASCII_VALUES = {
    -1: "0200",
    2: "4761739001010010",
    3: "000000",
    4: "000000012500",
    7: "1209134100",
    11: "000481",
    12: "144100",
    13: "1209",
    14: "2812",
    18: "5814",
    22: "051",
    23: "001",
    25: "00",
    32: "123456",
    35: "4761739001010010=28122011143804400000",
    37: "534313000481",
    38: "A1B2C3",
    39: "00",
    41: "TERM0042",
    42: "000000123456789",
    43: "CORNER COFFEE BAR".ljust(25) + "BERLIN".ljust(13) + "DE",
    49: "978",
    52: bytes.fromhex("3B1A7F0C92D4E561"),
    55: tlv(("9F26", "7A3C1D9E5B2F8046"),   # application cryptogram (ARQC)
            ("9F27", "80"),                 # cryptogram information data
            ("9F10", "06010A03A00000"),     # issuer application data
            ("9F37", "5D8E2A71"),           # unpredictable number
            ("9F36", "0027"),               # application transaction counter
            ("95", "0000008000"),           # terminal verification results
            ("9A", "251209"),               # transaction date
            ("9C", "00"),                   # transaction type
            ("9F02", "000000012500"),       # amount, authorised
            ("5F2A", "0978"),               # transaction currency code
            ("82", "3C00"),                 # application interchange profile
            ("9F1A", "0276"),               # terminal country code
            ("9F03", "000000000000"),       # amount, other
            ("9F33", "E0F8C8"),             # terminal capabilities
            ("9F34", "420300"),             # CVM results
            ("9F35", "22"),                 # terminal type
            ("84", "A0000000031010"),       # dedicated file name
            ("5F34", "01")),                # PAN sequence number
    62: "ORDER REF 2025-000481",
    64: bytes.fromhex("9E41C7035AB8D216"),
    102: "DE89370400440532013000",
}

# An authorisation request for USD 45.99 at a New York deli, 25 November
# 2025, 18:42:07 GMT (13:42:07 local time).
BINARY_VALUES = {
    -1: "0100",
    2: "4761739001010010",
    3: "003000",
    4: "000000004599",
    7: "1125184207",
    11: "004218",
    12: "134207",
    13: "1125",
    14: "2812",
    18: "5812",
    22: "051",
    23: "001",
    25: "00",
    32: "12345678901",
    35: "4761739001010010D28122011143804400000",
    37: "532918004218",
    38: "XK42Q7",
    39: "00",
    41: "POS00017",
    42: "NYDELI000000017",
    43: "DOWNTOWN DELI".ljust(25) + "NEW YORK".ljust(13) + "US",
    49: "840",
    52: bytes.fromhex("A7E2193C5B0D84F6"),
    55: tlv(("9F26", "1F4E8A62C09D3B75"),
            ("9F27", "80"),
            ("9F10", "06011203A00000"),
            ("9F37", "C4B19E02"),
            ("9F36", "0114"),
            ("95", "0000000000"),
            ("9A", "251125"),
            ("9C", "00"),
            ("9F02", "000000004599"),
            ("5F2A", "0840"),
            ("82", "2000"),
            ("9F1A", "0840"),
            ("9F03", "000000000000"),
            ("9F33", "E0F0C8"),
            ("9F34", "1E0300"),
            ("9F35", "22"),
            ("9F09", "0096"),
            ("84", "A0000000031010")),
    62: "CUSTOMER REF 7788120",
    64: bytes.fromhex("52C0E8194DA6B37F"),
    102: "0001234567890123",
}

DIALECTS = {
    "ascii": (ASCII_VALUES, encode_ascii, False),
    "ascii_hex": (ASCII_VALUES, encode_ascii, True),
    "binary": (BINARY_VALUES, encode_binary, False),
}


def outputs(name):
    values, encode, hex_bitmaps = DIALECTS[name]
    message, decoded = build(values, encode, hex_bitmaps)
    text = "".join("%d\t%s\t%s\n" % (bit, fname, istr(v)) for bit, fname, v in decoded)
    return {name + ".msg": message, name + ".fields.txt": text.encode("ascii")}


def write_or_check(files, outdir, check):
    """Writes each file (name -> bytes) into outdir, or with check compares
    it with the one there; answers 1 when one differs, else 0."""
    status = 0
    for fname, content in files.items():
        path = os.path.join(outdir, fname)
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == content
            except OSError:
                same = False
            if not same:
                print("differs: %s" % path)
                status = 1
        else:
            with open(path, "wb") as f:
                f.write(content)
            print("wrote %s (%d bytes)" % (path, len(content)))
    return status


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = args[0] if args else os.path.join(here, "..", "examples", "iso8583")
    status = 0
    for dialect in DIALECTS:
        status |= write_or_check(outputs(dialect), outdir, check)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
